#include "tests/support/checked_call.h"

CheckedResult CallChecked(QorMainFunction qorMain, DriverRequest* request) {
    int32_t result;
    int32_t delta;
    // esi and edi are preserved by the callee; esi keeps the caller's stack, edi the stack
    // pointer as it was right before the argument was pushed.
    __asm__ volatile(
        "movl %%esp, %%esi\n\t"
        "andl $-16, %%esp\n\t"
        "subl $12, %%esp\n\t"
        "movl %%esp, %%edi\n\t"
        "pushl %[request]\n\t"
        "call *%[function]\n\t"
        "movl %%esp, %%ecx\n\t"
        "subl %%edi, %%ecx\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(result), "=c"(delta)
        : [request] "b"(request), [function] "d"(qorMain)
        : "esi", "edi", "memory", "cc");
    return {result, delta};
}
