// One stand-in for the INI engine's allocator: it counts the allocations and their bytes, and
// lets only a given number of allocations through before further ones fail: all of them, or a
// given number, after which allocations go through again.
#pragma once

#include <stdint.h>
#include <stdlib.h>

#include "options/ini_document.h"

struct AllocationFake {
    int allowed = -1;  // allocations still let through; -1: all
    int failing = -1;  // then, allocations that fail; -1: all the rest
    size_t count = 0;  // allocations made
    uint64_t bytes = 0;
};

inline AllocationFake allocationFake;

inline void* FakeAllocate(size_t size) {
    if (allocationFake.allowed == 0 && allocationFake.failing != 0) {
        if (allocationFake.failing > 0) --allocationFake.failing;
        return nullptr;
    }
    if (allocationFake.allowed > 0) --allocationFake.allowed;
    ++allocationFake.count;
    allocationFake.bytes += size;
    return malloc(size);
}

// The engine allocates through the fake from now on, counting from zero.
inline void UseAllocationFake(int allowed = -1, int failing = -1) {
    allocationFake = AllocationFake();
    allocationFake.allowed = allowed;
    allocationFake.failing = failing;
    iniAllocate = FakeAllocate;
}
