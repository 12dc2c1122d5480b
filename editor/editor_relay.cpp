#include "editor_relay.h"

#include "editor.h"
#include "editor_channel.h"
#include "page_post.h"
#include "value_bits.h"

static void relay(editor* e, UINT message, uint32_t index, float value)
{
    if (channel_take_ui(e) != 0)
        return;
    InterlockedExchange(&e->relay_waiting, 1);
    if (PostMessageW(e->relay_window, message, index, bits_from_float(value))) {
        wait_serving_sent_messages(e->relay_sem);
        // The host answered the callback with editor_set_parameter: it
        // cannot take the token we hold, so it handed its value over.
        while (e->in_host_callback) {
            if (e->pending_index < e->page_callbacks.param_count) {
                e->page_callbacks.values[e->pending_index] = e->pending_value;
                page_post_value(e, e->pending_index, e->pending_value);
            }
            ReleaseSemaphore(e->reply_sem, 1, NULL);
            wait_serving_sent_messages(e->relay_sem);
        }
    }
    InterlockedExchange(&e->relay_waiting, 0);
    channel_release(e);
}

void relay_begin_edit(void* user_data, uint32_t index, float value)
{
    relay((editor*)user_data, EDITOR_MSG_BEGIN_EDIT, index, value);
}

void relay_perform_edit(void* user_data, uint32_t index, float value)
{
    relay((editor*)user_data, EDITOR_MSG_PERFORM_EDIT, index, value);
}

void relay_end_edit(void* user_data, uint32_t index, float value)
{
    relay((editor*)user_data, EDITOR_MSG_END_EDIT, index, value);
}
