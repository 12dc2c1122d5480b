// How the news handler answers the page. The plug-ins send through the
// editor (news_reply_editor.cpp); tests link a stand-in that keeps the
// replies.
#pragma once

struct editor;

// Sends one UTF-8 text to the page of editor e before returning.
void news_send_reply(editor* e, const char* text);
