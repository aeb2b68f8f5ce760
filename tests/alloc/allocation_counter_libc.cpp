// The allocator's entry points, defined in the program so that every caller in the process
// (the driver's code, the C++ runtime's operator new, the C library) reaches them first;
// each counts while armed and hands over to the C library's own allocator.
#include <cerrno>
#include <cstddef>

#include "tests/alloc/allocation_counter.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {
bool armed = false;
size_t calls = 0;
void Count() {
    if (armed) ++calls;
}
}  // namespace

void ArmAllocationCounter() {
    calls = 0;
    armed = true;
}

size_t DisarmAllocationCounter() {
    armed = false;
    return calls;
}

extern "C" {

void* malloc(size_t size) {
    Count();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    Count();
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    Count();
    return __libc_realloc(block, size);
}

void free(void* block) {
    if (block != nullptr) Count();
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    Count();
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) return ENOMEM;
    *result = block;
    return 0;
}

}  // extern "C"
