// Paths of the news files: everything lives below "<APPDATA>\Morvo.PHONICS",
// shared by every instance of both plug-in formats that one user runs.
#pragma once

#include <stddef.h>
#include <wchar.h>

// "<APPDATA>\Morvo.PHONICS" followed by "\<component>" for each UTF-8
// component; with directory_only the last component (the file name) is left
// out. A new UTF-16 path for the caller to free, or null when APPDATA is
// missing or empty, a component is empty or does not convert, or memory is
// short.
wchar_t* news_build_path(bool directory_only, const char* const* components, int component_count);

// Characters at the start of a path that name its root, which is never
// created: "C:", "\\?\C:" or "\\.\C:", "\\?\UNC\server\share",
// "\\server\share", or just "\\?\" before anything else.
size_t news_path_root_length(const wchar_t* path);

// Creates every folder of the path below its root that is missing: with
// directory_only all components but the last, otherwise all of them.
// 0 when they all exist afterwards, -1 otherwise.
int news_make_dirs(bool directory_only, const char* const* components, int component_count);
