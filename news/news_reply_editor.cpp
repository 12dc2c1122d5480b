#include "news_reply.h"

#include "editor.h"

// The handler runs on the editor's own thread, where sending posts at once.
void news_send_reply(editor* e, const char* text)
{
    editor_send_message(e, text);
}
