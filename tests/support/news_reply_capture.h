// Stands in for the editor's sender in the news tests: every reply of the
// news handler is kept, with the editor it was addressed to.
#pragma once

#include <string>
#include <vector>

struct editor;

struct captured_reply {
    editor* to;
    std::string text;
};

// Replies in the order they were sent, since the last clear().
std::vector<captured_reply>& news_captured_replies();
