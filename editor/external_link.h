// Links that leave the page open in the user's default browser, through the
// system's URL handler started with rundll32.
#pragma once

// UI thread; waits until the handler process has ended.  Only http:, https:
// and mailto: addresses are handed over, and none that could break out of
// the quoted command-line argument: anything else is dropped.
void open_link_externally(const wchar_t* uri);
