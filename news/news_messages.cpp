#include "news_messages.h"

#include <stdlib.h>
#include <string.h>

#include "news_file.h"
#include "news_name.h"
#include "news_reply.h"

static const char* const system_file[] = {"kesta-system"};
static const char* const news_file[] = {"kesta-news"};

// Sends prefix followed by text; a missing text sends nothing and counts as
// sent. False only when memory for the reply is short.
static bool send_prefixed(editor* e, const char* prefix, const char* text)
{
    if (!text)
        return true;
    size_t prefix_length = strlen(prefix);
    size_t text_length = strlen(text);
    char* reply = (char*)malloc(prefix_length + text_length + 1);
    if (!reply)
        return false;
    memcpy(reply, prefix, prefix_length);
    memcpy(reply + prefix_length, text, text_length + 1);
    news_send_reply(e, reply);
    free(reply);
    return true;
}

// "<name> <rest>": a copy of the name for the caller to free, with *rest
// after the space; null when there is no space, the name is not a plain
// folder name, or memory is short.
static char* split_name(const char* text, const char** rest)
{
    const char* space = strchr(text, ' ');
    if (!space)
        return NULL;
    size_t length = (size_t)(space - text);
    char* name = (char*)malloc(length + 1);
    if (!name)
        return NULL;
    memcpy(name, text, length);
    name[length] = 0;
    if (!news_name_is_safe(name)) {
        free(name);
        return NULL;
    }
    *rest = space + 1;
    return name;
}

// A read that fails sends nothing at all: without "initDone" the page does
// not take a text it could not get for one that is not stored.
static void request_init(editor* e, const char* name)
{
    if (!news_name_is_safe(name))
        return;
    const char* const latest_file[] = {name, "latest"};
    char* sid = NULL;
    char* news = NULL;
    char* latest = NULL;
    if (news_read_file(system_file, 1, &sid) == 0) {
        if (news_read_file(news_file, 1, &news) == 0) {
            if (news_read_file(latest_file, 2, &latest) == 0 &&
                send_prefixed(e, "kestaV1 initSid ", sid) &&
                send_prefixed(e, "kestaV1 initNews ", news) &&
                send_prefixed(e, "kestaV1 initLatest ", latest))
                news_send_reply(e, "kestaV1 initDone ");
            free(latest);
        }
        free(news);
    }
    free(sid);
}

static void request_get_news(editor* e, const char*)
{
    char* news = NULL;
    if (news_read_file(news_file, 1, &news) != 0)
        return;
    send_prefixed(e, "kestaV1 getNews ", news ? news : "");
    free(news);
}

static void request_new_sid(editor*, const char* sid)
{
    news_write_file(sid, system_file, 1);
}

static void sync_and_answer(editor* e, const char* folder, const char* name, const char* payload,
                            const char* conflict_prefix)
{
    char* stored = NULL;
    if (news_sync_file(folder, name, payload, &stored) == news_sync_conflict)
        send_prefixed(e, conflict_prefix, stored);
    free(stored);
}

static void request_sync_news(editor* e, const char* payload)
{
    sync_and_answer(e, NULL, "kesta-news", payload, "kestaV1 syncNewsConflict ");
}

static void request_sync_latest(editor* e, const char* rest)
{
    const char* payload;
    char* name = split_name(rest, &payload);
    if (!name)
        return;
    sync_and_answer(e, name, "latest", payload, "kestaV1 syncLatestConflict ");
    free(name);
}

static void request_sync_news_force(editor*, const char* news)
{
    news_write_file(news, news_file, 1);
}

static void request_sync_latest_force(editor*, const char* rest)
{
    const char* latest;
    char* name = split_name(rest, &latest);
    if (!name)
        return;
    const char* const latest_file[] = {name, "latest"};
    news_write_file(latest, latest_file, 2);
    free(name);
}

struct news_request {
    const char* prefix;
    void (*serve)(editor* e, const char* rest);
};

// Tried in this order; the first prefix that matches wins. The trailing
// space belongs to each prefix, which keeps "syncNews " from ever matching
// "syncNewsForce ".
static const news_request requests[] = {
    {"kestaV1 init ", request_init},
    {"kestaV1 getNews ", request_get_news},
    {"kestaV1 newSid ", request_new_sid},
    {"kestaV1 syncNews ", request_sync_news},
    {"kestaV1 syncLatest ", request_sync_latest},
    {"kestaV1 syncNewsForce ", request_sync_news_force},
    {"kestaV1 syncLatestForce ", request_sync_latest_force},
};

void news_handle_message(editor* e, const char* text)
{
    for (const news_request& request : requests) {
        size_t length = strlen(request.prefix);
        if (strncmp(text, request.prefix, length) == 0) {
            request.serve(e, text + length);
            return;
        }
    }
}
