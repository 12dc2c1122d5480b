// The page's "kestaV1" requests: loading and storing its sid, its news and
// each product's latest record in the news files.
#pragma once

struct editor;

// The editor's message handler: text is the UTF-8 payload of one "m"
// message from the page. Performs the request it names, answers through the
// editor before returning, and ignores anything it does not recognise.
void news_handle_message(editor* e, const char* text);
