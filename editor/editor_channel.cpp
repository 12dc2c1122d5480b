#include "editor_channel.h"

#include "editor.h"
#include "editor_thread.h"

// A wait for the token sleeps until it or a new message comes, but never
// longer than this, in case a wake-up is missed.
static const DWORD poll_ms = 5;

int wait_serving_sent_messages(HANDLE object)
{
    for (;;) {
        DWORD r = MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0)
            return 0;
        if (r != WAIT_OBJECT_0 + 1)
            return 1;
        // Looking at the queue runs the sent messages; posted ones stay queued.
        MSG msg;
        PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

int channel_take_host(editor* e)
{
    for (;;) {
        DWORD r = WaitForSingleObject(e->channel_sem, 0);
        if (r == WAIT_OBJECT_0)
            return 0;
        if (r != WAIT_TIMEOUT)
            return 1;
        // The UI thread holds the token and waits for an edit callback that
        // is queued here: run it.
        MSG msg;
        while (PeekMessageW(&msg, e->relay_window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        r = MsgWaitForMultipleObjectsEx(1, &e->channel_sem, poll_ms, QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
        if (r == WAIT_OBJECT_0)
            return 0;
        if (r != WAIT_OBJECT_0 + 1 && r != WAIT_TIMEOUT)
            return 1;
    }
}

int channel_take_ui(editor* e)
{
    for (;;) {
        if (e->ui_closing)
            return 2;
        DWORD r = WaitForSingleObject(e->channel_sem, 0);
        if (r == WAIT_OBJECT_0)
            return 0;
        if (r != WAIT_TIMEOUT)
            return 1;
        // The other side holds the token and waits for a command queued here.
        // Only the commands are taken: a page message dispatched now would
        // overtake the one being handled, and its edit reach the host first.
        MSG msg;
        if (PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            e->ui_closing = 1;
            return 2;
        }
        while (e->view_window &&
               PeekMessageW(&msg, e->view_window, EDITOR_MSG_QUIT, EDITOR_MSG_SEND_TEXT, PM_REMOVE)) {
            if (editor_ui_command(e, &msg) == editor_command_quit) {
                e->ui_closing = 1;
                return 2;
            }
        }
        r = MsgWaitForMultipleObjectsEx(1, &e->channel_sem, poll_ms, QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
        if (r == WAIT_OBJECT_0)
            return 0;
        if (r != WAIT_OBJECT_0 + 1 && r != WAIT_TIMEOUT)
            return 1;
    }
}

int channel_take_other(editor* e)
{
    return wait_serving_sent_messages(e->channel_sem) ? 1 : 0;
}

void channel_release(editor* e)
{
    ReleaseSemaphore(e->channel_sem, 1, NULL);
}
