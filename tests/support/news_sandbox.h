// A fresh APPDATA for each news test, and ways to look at what the news
// store left in it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "news_messages.h"
#include "news_reply_capture.h"

namespace fs = std::filesystem;

// Everything a test may touch lies below root. APPDATA sits three folders
// down, so that names climbing out of the news folder still land inside
// root, where a test sees them.
struct news_sandbox {
    fs::path root;
    fs::path appdata;  // root\outer\inner\appdata
    fs::path base;     // appdata\Morvo.PHONICS, not yet created
};

static inline news_sandbox sandbox_create()
{
    static int serial = 0;
    news_sandbox box;
    box.root = fs::temp_directory_path() /
               ("vmo-news-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
    fs::remove_all(box.root);
    box.appdata = box.root / "outer" / "inner" / "appdata";
    box.base = box.appdata / "Morvo.PHONICS";
    fs::create_directories(box.appdata);
    SetEnvironmentVariableW(L"APPDATA", box.appdata.c_str());
    return box;
}

static inline void sandbox_remove(const news_sandbox& box)
{
    std::error_code ignored;
    fs::remove_all(box.root, ignored);
}

// Marks a folder in file listings.
static const char* const is_folder = "<folder>";

// The bytes as they are on disk (text mode turns "\n" into "\r\n").
static inline std::string file_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A file with exactly these bytes, or a folder for is_folder; parents made.
static inline void put_file(const fs::path& path, const std::string& bytes)
{
    if (bytes == is_folder) {
        fs::create_directories(path);
        return;
    }
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Every file (with its bytes) and folder below dir, by path relative to it
// with forward slashes; empty when dir does not exist.
static inline std::map<std::string, std::string> tree_listing(const fs::path& dir)
{
    std::map<std::string, std::string> listing;
    std::error_code missing;
    for (fs::recursive_directory_iterator it(dir, missing), end; !missing && it != end; ++it) {
        std::string name = it->path().lexically_relative(dir).generic_string();
        listing[name] = it->is_directory() ? std::string(is_folder) : file_bytes(it->path());
    }
    return listing;
}

// Ends the test program with a failure when it crashes, instead of leaving
// it to a debugger that would wait for someone.
static inline LONG WINAPI report_crash(EXCEPTION_POINTERS* info)
{
    fprintf(stderr, "crashed with exception %08lx\n", (unsigned long)info->ExceptionRecord->ExceptionCode);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The handler reads a request with its terminator as the last byte of a
// page, followed by a page it may not touch: reading past the end of a
// request crashes the test.
static inline std::vector<std::string> handle_request(const std::string& request)
{
    static const bool crash_filter_set = (SetUnhandledExceptionFilter(report_crash), true);
    (void)crash_filter_set;
    static char test_editor;
    editor* e = (editor*)&test_editor;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    size_t page = system.dwPageSize;
    size_t used = (request.size() + 1 + page - 1) / page * page;
    char* block = (char*)VirtualAlloc(NULL, used + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old_protection;
    VirtualProtect(block + used, page, PAGE_NOACCESS, &old_protection);
    char* text = block + used - request.size() - 1;
    memcpy(text, request.c_str(), request.size() + 1);

    news_captured_replies().clear();
    news_handle_message(e, text);
    VirtualFree(block, 0, MEM_RELEASE);

    std::vector<std::string> replies;
    for (const captured_reply& reply : news_captured_replies()) {
        EXPECT_EQ(reply.to, e) << "a reply to another editor, for " << request;
        replies.push_back(reply.text);
    }
    return replies;
}
