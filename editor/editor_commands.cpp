// What the format layers call on an open editor, from whatever thread.
#include "editor.h"
#include "editor_channel.h"
#include "page_post.h"
#include "value_bits.h"

static int on_ui_thread(const editor* e)
{
    return GetCurrentThreadId() == e->ui_thread_id;
}

static int on_host_thread(const editor* e)
{
    return GetCurrentThreadId() == e->host_thread_id;
}

// Posts one command to the UI thread and waits until it is done.
static int exchange(editor* e, UINT message, WPARAM wparam, LPARAM lparam)
{
    int taken = on_host_thread(e) ? channel_take_host(e) : channel_take_other(e);
    if (taken != 0)
        return taken;
    int result = -1;
    if (PostMessageW(e->view_window, message, wparam, lparam))
        result = wait_serving_sent_messages(e->reply_sem);
    channel_release(e);
    return result;
}

int editor_set_parameter(editor* e, uint32_t index, float value)
{
    if (!e || index >= e->page_callbacks.param_count)
        return -1;
    if (on_ui_thread(e)) {
        e->page_callbacks.values[index] = value;
        page_post_value(e, index, value);
        return 0;
    }
    if (on_host_thread(e) && e->in_host_callback) {
        // The UI thread holds the token and waits in its relay for this
        // callback: hand the value over instead.
        e->pending_index = index;
        e->pending_value = value;
        ReleaseSemaphore(e->relay_sem, 1, NULL);
        return wait_serving_sent_messages(e->reply_sem);
    }
    return exchange(e, EDITOR_MSG_SET_PARAMETER, index, bits_from_float(value));
}

void editor_send_message(editor* e, const char* text)
{
    if (!e || !text)
        return;
    if (on_ui_thread(e)) {
        page_post_text(e, text);
        return;
    }
    // Inside an edit callback the UI thread holds the token and waits for
    // us: waiting for it in turn would never end.
    if (on_host_thread(e) && e->in_host_callback)
        return;
    exchange(e, EDITOR_MSG_SEND_TEXT, 0, (LPARAM)text);
}

void editor_idle(editor*)
{
}

int editor_set_size(editor* e, int width, int height)
{
    if (!e || width < 0 || height < 0)
        return -1;
    if (on_ui_thread(e))
        return SetWindowPos(e->view_window, NULL, 0, 0, width, height,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) ? 0 : -1;
    return PostMessageW(e->view_window, EDITOR_MSG_SET_SIZE, (WPARAM)width, (LPARAM)height) ? 0 : -1;
}
