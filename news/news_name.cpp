#include "news_name.h"

#include <ctype.h>
#include <string.h>

static const int longest_name = 64;

// The next code point of strict UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), advancing the text; -1 when the bytes are not
// UTF-8. Never reads past a NUL, as a NUL is not a continuation byte.
static long next_code_point(const unsigned char*& text)
{
    unsigned char lead = *text++;
    if (lead < 0x80)
        return lead;
    int extra;
    long code, lowest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, code = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, code = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, code = lead & 0x07, lowest = 0x10000;
    } else {
        return -1;
    }
    for (int i = 0; i < extra; ++i) {
        if ((*text & 0xC0) != 0x80)
            return -1;
        code = (code << 6) | (*text++ & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return -1;
    return code;
}

static bool is_forbidden(long c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    return c < 0x7F && strchr("\\/:*?\"<>|", (int)c) != NULL;
}

static bool same_letters(const char* text, const char* upper, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (toupper((unsigned char)text[i]) != upper[i])
            return false;
    return true;
}

// Windows takes these names for devices whatever follows a dot, and ignores
// spaces before that dot.
static bool is_device_name(const char* name)
{
    size_t length = strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (length == strlen(device) && same_letters(name, device, length))
            return true;
    if (length < 4 || !(same_letters(name, "COM", 3) || same_letters(name, "LPT", 3)))
        return false;
    if (length == 4 && name[3] >= '1' && name[3] <= '9')
        return true;
    // The superscript digits one to three count as digits here.
    return length == 5 && (unsigned char)name[3] == 0xC2 &&
           ((unsigned char)name[4] == 0xB9 || (unsigned char)name[4] == 0xB2 || (unsigned char)name[4] == 0xB3);
}

bool news_name_is_safe(const char* name)
{
    const unsigned char* at = (const unsigned char*)name;
    int count = 0;
    long last = 0;
    while (*at) {
        last = next_code_point(at);
        if (last < 0 || is_forbidden(last) || ++count > longest_name)
            return false;
    }
    if (count == 0 || last == '.' || last == ' ')
        return false;
    // "." and ".." end in a dot and are refused above.
    return !is_device_name(name);
}
