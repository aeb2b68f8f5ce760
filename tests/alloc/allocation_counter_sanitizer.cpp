// Under AddressSanitizer the sanitizer's allocator serves malloc and operator new; it calls
// these hooks on every allocation and free.
#include <cstddef>

#include "tests/alloc/allocation_counter.h"

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));

namespace {
bool armed = false;
size_t calls = 0;

void OnMalloc(const volatile void*, size_t) {
    if (armed) ++calls;
}
void OnFree(const volatile void* block) {
    if (armed && block != nullptr) ++calls;
}

const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
}  // namespace

void ArmAllocationCounter() {
    (void)installed;
    calls = 0;
    armed = true;
}

size_t DisarmAllocationCounter() {
    armed = false;
    return calls;
}
