#include <gtest/gtest.h>

#include <errno.h>
#include <stdlib.h>

#include "news_file.h"
#include "news_sandbox.h"

namespace {

const char* const system_file[] = {"kesta-system"};

TEST(news_file, reads_tell_missing_from_empty_and_give_line_feeds)
{
    news_sandbox box = sandbox_create();
    char* text = (char*)"untouched";
    EXPECT_EQ(news_read_file(system_file, 1, &text), 0);
    EXPECT_EQ(text, nullptr);

    put_file(box.base / "kesta-system", "");
    EXPECT_EQ(news_read_file(system_file, 1, &text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    free(text);

    put_file(box.base / "kesta-system", "a\r\nb\r\n");
    EXPECT_EQ(news_read_file(system_file, 1, &text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "a\nb\n");
    free(text);

    fs::remove(box.base / "kesta-system");
    put_file(box.base / "kesta-system", is_folder);
    EXPECT_EQ(news_read_file(system_file, 1, &text), -1);
    EXPECT_EQ(text, nullptr);
    sandbox_remove(box);
}

// A "file not found" left over from earlier work must not make a path that
// cannot be built look like a missing file.
TEST(news_file, a_path_that_cannot_be_built_is_a_failure)
{
    news_sandbox box = sandbox_create();
    const char* const empty_name[] = {"", "latest"};
    char* text = NULL;
    errno = ENOENT;
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(news_read_file(empty_name, 2, &text), -1);
    SetEnvironmentVariableW(L"APPDATA", NULL);
    errno = ENOENT;
    EXPECT_EQ(news_read_file(system_file, 1, &text), -1);
    EXPECT_EQ(text, nullptr);
    sandbox_remove(box);
}

TEST(news_file, a_replace_makes_the_news_folder_and_round_trips)
{
    news_sandbox box = sandbox_create();
    news_write_file("one\ntwo", system_file, 1);
    EXPECT_EQ(file_bytes(box.base / "kesta-system"), "one\r\ntwo");
    char* text = NULL;
    EXPECT_EQ(news_read_file(system_file, 1, &text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "one\ntwo");
    free(text);
    sandbox_remove(box);
}

DWORD WINAPI replace_sid(void*)
{
    news_write_file("new", system_file, 1);
    return 0;
}

// While another handle holds the lock, a replace waits, and the text stays
// whole until the lock is released: opening the file discards nothing.
TEST(news_file, a_replace_waits_for_the_lock_before_discarding)
{
    news_sandbox box = sandbox_create();
    put_file(box.base / "kesta-system", "old text");
    std::wstring path = (box.base / "kesta-system").wstring();
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    OVERLAPPED from_start = {};
    ASSERT_TRUE(LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0, 0xFFFFFFFF, 0xFFFFFFFF, &from_start));

    HANDLE writer = CreateThread(NULL, 0, replace_sid, NULL, 0, NULL);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(WaitForSingleObject(writer, 300), (DWORD)WAIT_TIMEOUT);
    char held[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(holder, held, sizeof held - 1, &got, NULL));
    EXPECT_STREQ(held, "old text");

    UnlockFileEx(holder, 0, 0xFFFFFFFF, 0xFFFFFFFF, &from_start);
    CloseHandle(holder);
    // Bounded, so a writer that never wakes fails the test instead of hanging it.
    EXPECT_EQ(WaitForSingleObject(writer, 60000), (DWORD)WAIT_OBJECT_0);
    CloseHandle(writer);
    EXPECT_EQ(file_bytes(box.base / "kesta-system"), "new");
    sandbox_remove(box);
}

}  // namespace
