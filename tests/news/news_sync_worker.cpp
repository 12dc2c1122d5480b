// One of several processes that add entries to "kesta-news" at once, the way
// the page does: read, write with the tag it read, and on a conflict start
// again from the text the conflict carries.
// usage: news_sync_worker WORKER ROUNDS
// The text is a tag, a space, then one line "w<worker>.<round>" per entry.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "news_messages.h"
#include "news_reply_capture.h"

static const int most_attempts = 10000;

static std::string ask(editor* e, const std::string& request)
{
    news_captured_replies().clear();
    news_handle_message(e, request.c_str());
    return news_captured_replies().empty() ? std::string() : news_captured_replies().back().text;
}

static bool starts_with(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    int worker = atoi(argv[1]);
    int rounds = atoi(argv[2]);
    static char this_editor;
    editor* e = (editor*)&this_editor;
    const std::string get_reply = "kestaV1 getNews ";
    const std::string conflict_reply = "kestaV1 syncNewsConflict ";
    unsigned writes = 0;

    for (int round = 0; round < rounds; ++round) {
        std::string reply = ask(e, get_reply);
        if (!starts_with(reply, get_reply))
            return 3;
        std::string stored = reply.substr(get_reply.size());
        for (int attempt = 0;; ++attempt) {
            if (attempt == most_attempts)
                return 4;
            std::string expected = stored.empty() ? "-" : stored.substr(0, 8);
            std::string entries = stored.size() > 9 ? stored.substr(9) : "";
            // Tags unique across workers, so no write is taken for another's.
            char tag[9];
            snprintf(tag, sizeof tag, "%02x%06x", worker & 0xFF, ++writes & 0xFFFFFF);
            std::string text = std::string(tag) + " " + entries + "w" + std::to_string(worker) + "." +
                               std::to_string(round) + "\n";
            reply = ask(e, "kestaV1 syncNews " + expected + " " + text);
            if (reply.empty())
                break;
            if (!starts_with(reply, conflict_reply))
                return 5;
            stored = reply.substr(conflict_reply.size());
        }
    }
    return 0;
}
