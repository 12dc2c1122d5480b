// What the process holds, to show that the editor leaves nothing behind.
#pragma once

#include <windows.h>

struct process_counts {
    long handles;        // kernel handles
    long user_objects;   // USER objects, as the system reports them (0 where it does not)
    long gdi_objects;
    long windows;        // top-level and message-only windows of this process
    long threads;
    long placeholders;   // "vino*.tmp" files in the temporary folder
};

process_counts process_counts_now(void);

// Whether this system reports USER and GDI object counts (Wine does not).
bool gui_counts_reported(void);
