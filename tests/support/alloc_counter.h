// Counts heap allocations (malloc, calloc, realloc, operator new) made between start and stop, so
// that a test can show a call allocates nothing. Link velum_alloc_counter to use it.
#pragma once

#include <stdint.h>

// [test thread] Starts counting from zero. Other threads must not allocate while counting.
void alloc_counter_start();

// [test thread] Stops counting and returns the number of allocation calls since the start.
uint64_t alloc_counter_stop();
