#pragma once

#include <cstddef>

// Counts the heap allocator's calls while armed. Two ways of watching, one per build:
// interposing malloc and its family (allocation_counter_libc.cpp), or, under the sanitizers,
// whose allocator replaces malloc, the sanitizer's allocation hooks
// (allocation_counter_sanitizer.cpp). operator new reaches the allocator through malloc in
// both, so it is counted too.
void ArmAllocationCounter();
// Stops counting; returns the number of allocations and frees made since arming.
size_t DisarmAllocationCounter();
