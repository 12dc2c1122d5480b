#include <gtest/gtest.h>

#include <set>

#include "news_sandbox.h"

namespace {

const int worker_count = 4;
const int round_count = 40;

fs::path worker_program()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    return fs::path(self).parent_path() / "news_sync_worker.exe";
}

// Several processes each add their entries by check-and-replace; every entry
// must end up in the file exactly once, and the file must be whole.
TEST(news_concurrency, processes_syncing_at_once_lose_no_entry)
{
    news_sandbox box = sandbox_create();
    fs::path program = worker_program();
    ASSERT_TRUE(fs::exists(program)) << program;

    // Started suspended and then released together, so that they collide.
    PROCESS_INFORMATION workers[worker_count] = {};
    HANDLE processes[worker_count];
    for (int i = 0; i < worker_count; ++i) {
        std::wstring command = L"\"" + program.wstring() + L"\" " + std::to_wstring(i) + L" " +
                               std::to_wstring(round_count);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(program.c_str(), &command[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL,
                                   &startup, &workers[i]));
        processes[i] = workers[i].hProcess;
    }
    for (PROCESS_INFORMATION& w : workers)
        ResumeThread(w.hThread);

    // A guard against a hang, not a measure of speed.
    DWORD waited = WaitForMultipleObjects(worker_count, processes, TRUE, 300000);
    EXPECT_EQ(waited, (DWORD)WAIT_OBJECT_0) << "the workers did not finish";
    for (int i = 0; i < worker_count; ++i) {
        DWORD status = 1;
        if (waited != WAIT_OBJECT_0)
            TerminateProcess(workers[i].hProcess, 1);
        GetExitCodeProcess(workers[i].hProcess, &status);
        EXPECT_EQ(status, 0u) << "worker " << i;
        CloseHandle(workers[i].hThread);
        CloseHandle(workers[i].hProcess);
    }

    std::string bytes = file_bytes(box.base / "kesta-news");
    ASSERT_GE(bytes.size(), 9u);
    EXPECT_EQ(bytes.find_first_not_of("0123456789abcdef"), 8u) << "no tag at the start";
    std::multiset<std::string> entries;
    std::string rest = bytes.substr(9);
    for (size_t at = 0; at < rest.size();) {
        size_t end = rest.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "the text ends inside an entry";
        entries.insert(rest.substr(at, end - at));
        at = end + 2;
    }
    std::multiset<std::string> expected;
    for (int w = 0; w < worker_count; ++w)
        for (int r = 0; r < round_count; ++r)
            expected.insert("w" + std::to_string(w) + "." + std::to_string(r));
    EXPECT_TRUE(entries == expected) << "entries lost or doubled: " << entries.size() << " of " << expected.size();
    sandbox_remove(box);
}

}  // namespace
