#include <cerrno>
#include <cstddef>

#include "failing_malloc.h"

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
extern "C" void __real_free(void* block);

static long fail_at = -1;
static long count = 0;
static long live_blocks = 0;

void failing_malloc_fail_at(long allocation)
{
    fail_at = allocation;
    count = 0;
}

long failing_malloc_count()
{
    return count;
}

long failing_malloc_live_blocks()
{
    return live_blocks;
}

static bool this_one_fails()
{
    if (count++ != fail_at)
        return false;
    errno = ENOMEM;
    return true;
}

extern "C" void* __wrap_malloc(size_t size)
{
    if (this_one_fails())
        return nullptr;
    void* block = __real_malloc(size);
    if (block)
        ++live_blocks;
    return block;
}

extern "C" void* __wrap_realloc(void* block, size_t size)
{
    if (this_one_fails())
        return nullptr;
    void* moved = __real_realloc(block, size);
    if (moved && !block)
        ++live_blocks;
    return moved;
}

extern "C" void __wrap_free(void* block)
{
    if (block)
        --live_blocks;
    __real_free(block);
}
