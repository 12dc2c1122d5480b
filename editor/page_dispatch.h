// What the page sends: "b", "s" and "e" edits with an index and a value's bit
// pattern in hexadecimal, "g" for every value, "m " followed by text for the
// message handler.  Anything else is ignored.
#pragma once

struct editor;
struct editor_page_callbacks;

// UI thread; text is the page message in UTF-8.
void page_dispatch(editor* e, const editor_page_callbacks* page, const char* text);
