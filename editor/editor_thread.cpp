#include "editor_thread.h"

#include "editor.h"
#include "editor_channel.h"
#include "editor_window.h"
#include "page_post.h"
#include "value_bits.h"
#include "webview2_control.h"

int editor_ui_command(editor* e, const MSG* msg)
{
    if (msg->hwnd == e->view_window && msg->hwnd) {
        switch (msg->message) {
        case EDITOR_MSG_QUIT:
            return editor_command_quit;
        case EDITOR_MSG_SET_PARAMETER:
            if ((uint32_t)msg->wParam < e->page_callbacks.param_count) {
                float value = float_from_bits((uint32_t)msg->lParam);
                e->page_callbacks.values[msg->wParam] = value;
                page_post_value(e, (uint32_t)msg->wParam, value);
            }
            ReleaseSemaphore(e->reply_sem, 1, NULL);
            return editor_command_handled;
        case EDITOR_MSG_SEND_TEXT:
            page_post_text(e, (const char*)msg->lParam);
            ReleaseSemaphore(e->reply_sem, 1, NULL);
            return editor_command_handled;
        }
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return editor_command_handled;
}

// The control is ready: parent the view and let editor_create return.
static int finish_startup(editor* e, const editor_startup* startup, WPARAM ready)
{
    if (!ready || !e->controller)
        return -1;
    SetLastError(0);
    if (!SetParent(e->view_window, startup->parent) && GetLastError() != 0)
        return -1;
    if (!SetWindowPos(e->view_window, NULL, 0, 0, 0, 0,
                      SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED))
        return -1;
    if (webview2_show(e) != 0)
        return -1;
    if (!ReleaseSemaphore(e->reply_sem, 1, NULL))
        return -1;
    ShowWindow(e->view_window, SW_SHOW);
    return 0;
}

// 0 on a normal end (quit command, WM_QUIT), -1 when the loop failed.
// *started tells whether the start-up ended successfully on the way.
static int run_message_loop(editor* e, const editor_startup* startup, int* started)
{
    for (;;) {
        MSG msg;
        BOOL got = GetMessageW(&msg, NULL, 0, 0);
        if (got == -1)
            return -1;
        if (got == 0)
            return 0;
        if (msg.message == EDITOR_MSG_READY && msg.hwnd == e->view_window) {
            if (startup) {
                if (finish_startup(e, startup, msg.wParam) != 0)
                    return -1;
                startup = NULL;
                *started = 1;
            }
            continue;
        }
        if (editor_ui_command(e, &msg) == editor_command_quit || e->ui_closing)
            return 0;
    }
}

DWORD WINAPI editor_ui_thread(void* argument)
{
    const editor_startup* startup = (const editor_startup*)argument;
    editor* e = startup->owner;
    e->ui_thread_id = GetCurrentThreadId();
    e->controller = NULL;

    webview2_session session = {};
    int started = 0;
    int loop_failed = 1;
    int com_ready = 0;
    int class_ready = view_window_class_register(e) == 0;
    if (class_ready && view_window_create(e, startup) == 0) {
        com_ready = SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        if (com_ready && webview2_start(e, &session, startup) == 0)
            loop_failed = run_message_loop(e, startup, &started) != 0;
    }

    // Normal and failed exits are the same steps, as far as the start-up got.
    webview2_stop(e, &session);
    if (e->view_window)
        DestroyWindow(e->view_window);
    if (class_ready)
        view_window_class_unregister(e);
    if (com_ready)
        CoUninitialize();
    if (loop_failed || !started)
        e->view_window = NULL;  // tells editor_create that the start-up failed
    ReleaseSemaphore(e->reply_sem, 1, NULL);
    return 0;
}
