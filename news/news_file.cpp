#include "news_file.h"

#include <errno.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "news_path.h"

static const int tag_length = 8;

// Every byte the file can ever have, so a lock taken on an empty file still
// covers what is written under it.
static bool lock_whole_file(FILE* file)
{
    HANDLE handle = (HANDLE)_get_osfhandle(_fileno(file));
    OVERLAPPED from_start = {};
    return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 0xFFFFFFFF, 0xFFFFFFFF, &from_start) != 0;
}

static void unlock_whole_file(FILE* file)
{
    HANDLE handle = (HANDLE)_get_osfhandle(_fileno(file));
    OVERLAPPED from_start = {};
    UnlockFileEx(handle, 0, 0xFFFFFFFF, 0xFFFFFFFF, &from_start);
}

// The whole text of a locked stream. Text mode turns each CR LF into one
// LF, so fewer characters than bytes may arrive.
static int read_locked_text(FILE* file, char** text)
{
    if (fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = ftell(file);
    if (size < 0)
        return -1;
    rewind(file);
    char* buffer = (char*)malloc((size_t)size + 1);
    if (!buffer)
        return -1;
    size_t length = fread(buffer, 1, (size_t)size, file);
    if (ferror(file)) {
        free(buffer);
        return -1;
    }
    buffer[length] = 0;
    *text = buffer;
    return 0;
}

int news_read_file(const char* const* components, int component_count, char** text)
{
    *text = NULL;
    wchar_t* path = news_build_path(false, components, component_count);
    if (!path)
        return -1;
    errno = 0;
    FILE* file = _wfopen(path, L"r");
    int open_error = errno;
    free(path);
    if (!file)
        return open_error == ENOENT ? 0 : -1;
    if (!lock_whole_file(file)) {
        fclose(file);
        return -1;
    }
    int result = read_locked_text(file, text);
    unlock_whole_file(file);
    fclose(file);
    return result;
}

// Empties the locked stream and writes text in place of what it held. An
// append-mode stream writes at the end, which after the cut is the start.
static bool replace_locked_text(FILE* file, const char* text)
{
    // A stream that was read must be positioned before it is written.
    if (fseek(file, 0, SEEK_SET) != 0 || _chsize(_fileno(file), 0) != 0)
        return false;
    fputs(text, file);
    fflush(file);
    return true;
}

void news_write_file(const char* text, const char* const* components, int component_count)
{
    if (news_make_dirs(true, components, component_count) != 0)
        return;
    wchar_t* path = news_build_path(false, components, component_count);
    if (!path)
        return;
    // Opening must not discard the old text: that waits for the lock.
    FILE* file = _wfopen(path, L"a");
    free(path);
    if (!file)
        return;
    if (lock_whole_file(file)) {
        replace_locked_text(file, text);
        unlock_whole_file(file);
    }
    fclose(file);
}

// "- <text>" needs two characters before its text, "<tag> <text>" nine.
// Looks no further than the end of the payload.
static bool payload_has_room(const char* payload)
{
    if (payload[0] == '-')
        return payload[1] != 0;
    return strnlen(payload, tag_length + 1) == (size_t)tag_length + 1;
}

static bool begins_with_tag(FILE* file, const char* tag)
{
    for (int i = 0; i < tag_length; ++i)
        if (fgetc(file) != (unsigned char)tag[i])
            return false;
    return true;
}

news_sync_result news_sync_file(const char* folder, const char* name, const char* payload, char** stored_text)
{
    *stored_text = NULL;
    if (!payload_has_room(payload))
        return news_sync_nothing;
    const char* components[2];
    int count = 0;
    if (folder)
        components[count++] = folder;
    if (news_make_dirs(false, components, count) != 0)
        return news_sync_nothing;
    components[count++] = name;
    wchar_t* path = news_build_path(false, components, count);
    if (!path)
        return news_sync_nothing;
    FILE* file = _wfopen(path, L"a+");
    free(path);
    if (!file)
        return news_sync_nothing;
    if (!lock_whole_file(file)) {
        fclose(file);
        return news_sync_nothing;
    }

    news_sync_result result = news_sync_nothing;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        size = ftell(file);
    if (size >= 0 && fseek(file, 0, SEEK_SET) == 0) {
        bool expects_nothing = payload[0] == '-';
        const char* new_text = expects_nothing ? payload + 2 : payload + tag_length + 1;
        bool matches = size == 0 || (!expects_nothing && begins_with_tag(file, payload));
        if (matches)
            result = replace_locked_text(file, new_text) ? news_sync_written : news_sync_nothing;
        else if (read_locked_text(file, stored_text) == 0)
            result = news_sync_conflict;
    }
    unlock_whole_file(file);
    fclose(file);
    return result;
}
