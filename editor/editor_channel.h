// The token (channel_sem) that lets one synchronous exchange between the
// threads run at a time, and the waits of both sides.  Whoever waits for the
// token serves the other side meanwhile, so neither side can block the other.
#pragma once

#include <windows.h>

struct editor;

// Waits for an object while answering messages other threads send to this
// one, so that a window call of the other thread cannot hang on us.
// 0 when the object was signalled.
int wait_serving_sent_messages(HANDLE object);

// Host thread: dispatches the relay window's messages while it waits.
// 0 taken, 1 the wait failed.
int channel_take_host(editor* e);

// UI thread: runs posted commands while it waits.  0 taken, 1 the wait
// failed, 2 the editor is closing (nothing may start any more).
int channel_take_ui(editor* e);

// Any other thread serves nobody and simply waits.  0 taken, 1 failed.
int channel_take_other(editor* e);

void channel_release(editor* e);
