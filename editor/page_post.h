// The two messages the native side sends to the page, on the UI thread.
#pragma once

#include <stdint.h>

struct editor;

// "s %08x %08x": the index and the value's bit pattern.
void page_post_value(editor* e, uint32_t index, float value);

// "m " and the text; a text that is not valid UTF-8 is dropped.
void page_post_text(editor* e, const char* text);
