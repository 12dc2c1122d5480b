// Opening and closing an editor, on the host thread.
#include <stdlib.h>

#include "editor.h"
#include "editor_channel.h"
#include "editor_relay.h"
#include "editor_thread.h"
#include "editor_window.h"
#include "webview2_loader.h"

// Everything the host thread made, in reverse order of creation; also what
// is left of a failed editor_create.
static void free_host_side(editor* e)
{
    if (e->channel_sem)
        CloseHandle(e->channel_sem);
    if (e->relay_sem)
        CloseHandle(e->relay_sem);
    relay_window_destroy(e);
    free(e->page_callbacks.values);
    if (e->reply_sem)
        CloseHandle(e->reply_sem);
    if (e->loader)
        FreeLibrary(e->loader);
    free(e);
}

// The thread's end, not only its last signal: once this returns, none of our
// code runs on it any more and the module may be unloaded.
static void wait_for_ui_thread(editor* e)
{
    if (!e->ui_thread)
        return;
    wait_serving_sent_messages(e->ui_thread);
    CloseHandle(e->ui_thread);
    e->ui_thread = NULL;
}

editor* editor_create(uint8_t is_child, HWND parent, const editor_callbacks* callbacks,
                      editor_message_handler handler, int width, int height, uint32_t param_count)
{
    if (!callbacks || !callbacks->get_binary_dir || !callbacks->get_resources_dir)
        return NULL;
    HMODULE loader = NULL;
    create_environment_with_options_fn create_environment = NULL;
    if (webview2_loader_open(callbacks->get_binary_dir(callbacks->user_data), &loader, &create_environment) != 0)
        return NULL;
    wchar_t* page_path = webview2_page_path(callbacks->get_resources_dir(callbacks->user_data));
    editor* e = page_path ? (editor*)calloc(1, sizeof(editor)) : NULL;
    if (!e) {
        free(page_path);
        FreeLibrary(loader);
        return NULL;
    }
    e->loader = loader;
    e->host_thread_id = GetCurrentThreadId();
    e->reply_sem = CreateSemaphoreW(NULL, 0, 1, NULL);

    e->callbacks = *callbacks;
    e->page_callbacks.user_data = e;
    e->page_callbacks.format_name = callbacks->format_name;
    e->page_callbacks.get_binary_dir = callbacks->get_binary_dir;
    e->page_callbacks.get_resources_dir = callbacks->get_resources_dir;
    e->page_callbacks.begin_edit = relay_begin_edit;
    e->page_callbacks.perform_edit = relay_perform_edit;
    e->page_callbacks.end_edit = relay_end_edit;
    e->page_callbacks.message_handler = handler;
    e->page_callbacks.param_count = param_count;
    e->page_callbacks.values = (float*)calloc(param_count ? param_count : 1, sizeof(float));

    wchar_t* reserved_name = NULL;
    if (e->reply_sem && e->page_callbacks.values)
        reserved_name = webview2_reserve_user_data_name();
    if (reserved_name && relay_window_create(e, is_child, parent) == 0) {
        e->relay_sem = CreateSemaphoreW(NULL, 0, 1, NULL);
        e->channel_sem = CreateSemaphoreW(NULL, 1, 1, NULL);
    }
    if (e->relay_sem && e->channel_sem) {
        editor_startup startup = {e, is_child, parent, width, height, create_environment, page_path, reserved_name};
        DWORD thread_id = 0;
        e->ui_thread = CreateThread(NULL, 0, editor_ui_thread, &startup, 0, &thread_id);
        if (e->ui_thread) {
            e->ui_thread_id = thread_id;
            if (wait_serving_sent_messages(e->reply_sem) != 0 || !e->view_window) {
                // A failed start-up ends the thread; a failed wait must still see it end.
                PostThreadMessageW(thread_id, WM_QUIT, 0, 0);
                wait_for_ui_thread(e);
            }
        }
    }
    if (reserved_name)
        DeleteFileW(reserved_name);
    free(reserved_name);
    free(page_path);
    if (e->ui_thread && e->view_window)
        return e;
    wait_for_ui_thread(e);
    free_host_side(e);
    return NULL;
}

void editor_destroy(editor* e)
{
    if (!e)
        return;
    // The token is never given back: nothing may start after this.
    if (channel_take_host(e) == 0 && !PostMessageW(e->view_window, EDITOR_MSG_QUIT, 0, 0))
        // The view window is gone (the host destroyed its window, or the user
        // closed ours) but the thread may still be on its way out.
        PostThreadMessageW(e->ui_thread_id, WM_QUIT, 0, 0);
    wait_for_ui_thread(e);
    free_host_side(e);
}
