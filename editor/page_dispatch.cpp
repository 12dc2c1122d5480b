#include "page_dispatch.h"

#include <math.h>
#include <stdint.h>

#include "editor.h"
#include "page_post.h"
#include "value_bits.h"

static int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static int is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One number as "%x" reads it (leading white space, an optional 0x, either
// case), except that a number beyond 32 bits is refused rather than cut.
static const char* read_hex(const char* at, uint32_t* out)
{
    while (is_space(*at))
        ++at;
    if (at[0] == '0' && (at[1] == 'x' || at[1] == 'X') && hex_digit(at[2]) >= 0)
        at += 2;
    if (hex_digit(*at) < 0)
        return NULL;
    uint64_t value = 0;
    for (; hex_digit(*at) >= 0; ++at) {
        value = value * 16 + (uint64_t)hex_digit(*at);
        if (value > 0xFFFFFFFFu)
            return NULL;
    }
    *out = (uint32_t)value;
    return at;
}

void page_dispatch(editor* e, const editor_page_callbacks* page, const char* text)
{
    const char* payload = text[0] && text[1] ? text + 2 : "";
    void (*relay)(void*, uint32_t, float) = NULL;
    switch (text[0]) {
    case 'b':
        relay = page->begin_edit;
        break;
    case 's':
        relay = page->perform_edit;
        break;
    case 'e':
        relay = page->end_edit;
        break;
    case 'g':
        for (uint32_t i = 0; i < page->param_count; ++i)
            page_post_value(e, i, page->values[i]);
        return;
    case 'm':
        if (page->message_handler)
            page->message_handler(e, payload);
        return;
    default:
        return;
    }
    uint32_t index, bits;
    const char* at = read_hex(payload, &index);
    if (!at || !read_hex(at, &bits) || index >= page->param_count)
        return;
    float value = float_from_bits(bits);
    // No plain value is infinite or NaN; such an edit would reach the host.
    if (!isfinite(value))
        return;
    page->values[index] = value;
    relay(page->user_data, index, value);
}
