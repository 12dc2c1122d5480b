// The one-byte lock between the audio thread and the threads that save and
// restore the state.  It is changed only by atomic exchanges, so the audio
// thread can try it without ever waiting, while the state threads spin and
// give the processor away between tries.
#pragma once

#include <windows.h>

#include <cstdint>

// True when the lock was free and is now held.
static inline bool param_lock_try(uint8_t* lock)
{
    return __atomic_exchange_n(lock, (uint8_t)1, __ATOMIC_SEQ_CST) == 0;
}

static inline void param_lock_spin(uint8_t* lock)
{
    while (!param_lock_try(lock))
        SwitchToThread();
}

static inline void param_lock_release(uint8_t* lock)
{
    __atomic_exchange_n(lock, (uint8_t)0, __ATOMIC_SEQ_CST);
}
