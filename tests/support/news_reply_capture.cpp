#include "news_reply_capture.h"

#include "news_reply.h"

std::vector<captured_reply>& news_captured_replies()
{
    static std::vector<captured_reply> replies;
    return replies;
}

void news_send_reply(editor* e, const char* text)
{
    news_captured_replies().push_back({e, text});
}
