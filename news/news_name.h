// The page names the folder of each product's "latest" record. Such a name
// is used only when it is one plain folder name, so the page can reach no
// file outside the news folder and no device.
#pragma once

// True for valid UTF-8 of 1 to 64 characters that is not "." or "..", holds
// no path separator, colon, character Windows forbids in a file name or
// control character, does not end in a dot or a space, and is not a reserved
// device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9, also
// with an extension).
bool news_name_is_safe(const char* name);
