// An allocator that can be told to fail: the state tests link with
// --wrap=malloc,realloc,free, so every call the state code makes lands here
// first.  Used to drive each out-of-memory path and to count what a failed
// call leaves allocated.
#pragma once

// The allocation (0 = the next one) that fails with ENOMEM, as the C library
// does; every allocation after it succeeds again.  -1 lets all succeed.
void failing_malloc_fail_at(long allocation);
// Allocations made since the last failing_malloc_fail_at.
long failing_malloc_count();
// Blocks allocated and not yet freed through the wrapped functions.
long failing_malloc_live_blocks();
