// Whole-file reads and writes of the news texts. Every access holds an
// exclusive lock on the whole file, so editors in this and in other
// processes never see or make half a change.
#pragma once

// 0 with *text a new NUL-terminated text for the caller to free, 0 with
// *text null when the file does not exist, -1 on any other failure
// (including a path that cannot be built).
int news_read_file(const char* const* components, int component_count, char** text);

// Replaces the file's content with text, creating its folders and the file
// as needed. Failures are silent.
void news_write_file(const char* text, const char* const* components, int component_count);

enum news_sync_result {
    news_sync_nothing,   // not written: bad payload, or the file could not be used
    news_sync_written,
    news_sync_conflict,  // not written; *stored_text holds the file's text
};

// Check-and-replace of the file name, in folder (or, when null, in the news
// folder itself). The payload is "- <text>", which writes only when the file
// is empty or missing, or "<8-character tag> <text>", which writes only when
// the file is empty or its text begins with the tag. On a conflict
// *stored_text is a new text for the caller to free; otherwise it is null.
news_sync_result news_sync_file(const char* folder, const char* name, const char* payload, char** stored_text);
