// A plug-in host's user-interface thread for the editor's tests and bench: a
// thread with a top-level window and a message loop, on which a test runs
// jobs the way a host calls into a view, from inside its loop.
#pragma once

#include <windows.h>

struct editor_host {
    HANDLE thread;
    DWORD thread_id;
    HWND window;  // 1000 x 600, visible; the parent of child-mode views
    HANDLE started;
};

int editor_host_start(editor_host* host);
// Ends the loop and the thread; destroys the window if it still exists.
void editor_host_stop(editor_host* host);

typedef void (*editor_host_job)(void* context);
// Runs job(context) on the host thread; 1 once it has returned, 0 when it
// did not return within timeout_ms (the host thread is then stuck).
int editor_host_run(editor_host* host, editor_host_job job, void* context, DWORD timeout_ms);
