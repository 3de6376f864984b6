// Counts heap allocations made through the global operator new, so a benchmark can show that a
// hot path does not allocate. Linking allocation_counter.cpp replaces the global operators.
#pragma once

#include <cstdint>

uint64_t AllocationCount();
