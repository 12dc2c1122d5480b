#include "page_post.h"

#include <stdlib.h>
#include <wchar.h>

#include "editor.h"
#include "value_bits.h"
#include "webview2.h"

// Without a control or its core view nothing is sent.
static void post_string(editor* e, const wchar_t* text)
{
    if (!e->controller)
        return;
    ICoreWebView2* webview = NULL;
    if (FAILED(e->controller->get_CoreWebView2(&webview)) || !webview)
        return;
    webview->PostWebMessageAsString(text);
    webview->Release();
}

static void put_hex8(wchar_t* out, uint32_t v)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    for (int i = 7; i >= 0; --i) {
        out[i] = digits[v & 15];
        v >>= 4;
    }
}

void page_post_value(editor* e, uint32_t index, float value)
{
    wchar_t text[20];
    text[0] = L's';
    text[1] = L' ';
    put_hex8(text + 2, index);
    text[10] = L' ';
    put_hex8(text + 11, bits_from_float(value));
    text[19] = 0;
    post_string(e, text);
}

void page_post_text(editor* e, const char* text)
{
    if (!text)
        return;
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, NULL, 0);
    if (units <= 0)
        return;
    wchar_t* message = (wchar_t*)malloc((size_t)units * sizeof(wchar_t) + 4);
    if (!message)
        return;
    message[0] = L'm';
    message[1] = L' ';
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, message + 2, units);
    post_string(e, message);
    free(message);
}
