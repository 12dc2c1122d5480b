// The editor under Wine with the WebView2 test double (indicative figures
// only): the time from editor_create to a ready control, and the round trip
// of one page edit to the host's callback and back to the page.
#include <algorithm>
#include <stdio.h>
#include <string>
#include <vector>

#include "editor.h"
#include "editor_host.h"
#include "webview2_double.h"

struct bench_world {
    std::string folder;
    editor* e;
    const wv2_double_api* wv2;
};

static const char* folder_of(void* user_data)
{
    return ((bench_world*)user_data)->folder.c_str();
}

static void on_edit(void*, uint32_t, float)
{
}

// The host echoes the change back, as a VST3 host's setParamNormalized does.
static void on_perform(void* user_data, uint32_t index, float value)
{
    editor_set_parameter(((bench_world*)user_data)->e, index, value);
}

struct create_call {
    bench_world* world;
    HWND parent;
    double seconds;
};

static double now_seconds(void)
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

static void create_job(void* context)
{
    create_call* call = (create_call*)context;
    editor_callbacks callbacks = {call->world, "vst3", folder_of, folder_of, on_edit, on_perform, on_edit};
    double start = now_seconds();
    call->world->e = editor_create(1, call->parent, &callbacks, NULL, 800, 400, 6);
    call->seconds = now_seconds() - start;
}

static void destroy_job(void* context)
{
    editor_destroy((editor*)context);
}

static void report(const char* what, std::vector<double>& seconds)
{
    std::sort(seconds.begin(), seconds.end());
    printf("%-34s median %8.1f us   min %8.1f us   90%% %8.1f us   (%zu runs)\n", what,
           seconds[seconds.size() / 2] * 1e6, seconds.front() * 1e6, seconds[seconds.size() * 9 / 10] * 1e6,
           seconds.size());
}

int main()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    *wcsrchr(exe, L'\\') = 0;
    char folder[MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, exe, -1, folder, MAX_PATH, NULL, NULL);
    std::wstring index = std::wstring(exe) + L"\\index.html";
    HANDLE page = CreateFileW(index.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(page);

    HMODULE loader = LoadLibraryW((std::wstring(exe) + L"\\WebView2Loader.dll").c_str());
    if (!loader) {
        fprintf(stderr, "editor_bench: the WebView2 test double is not beside the program\n");
        return 1;
    }
    bench_world world = {folder, NULL, ((wv2_double_steering_fn)(void*)GetProcAddress(loader, "wv2_double_steering"))()};
    editor_host host;
    if (editor_host_start(&host) != 0)
        return 1;

    std::vector<double> opening;
    for (int run = 0; run < 100; ++run) {
        create_call call = {&world, host.window, 0.0};
        editor_host_run(&host, create_job, &call, INFINITE);
        if (!world.e)
            return 1;
        opening.push_back(call.seconds);
        editor_host_run(&host, destroy_job, world.e, INFINITE);
        world.wv2->reset();
    }
    report("editor_create to ready", opening);

    create_call call = {&world, host.window, 0.0};
    editor_host_run(&host, create_job, &call, INFINITE);
    int view = world.wv2->find_view(world.e->view_window);
    std::vector<double> round_trips;
    for (int run = 0; run < 2000; ++run) {
        wchar_t edit[32];
        swprintf(edit, 32, L"s 0 %08x", 0x42000000u + (unsigned)run);
        double start = now_seconds();
        world.wv2->deliver_string(view, edit);  // returns once the echo is on its way to the page
        round_trips.push_back(now_seconds() - start);
    }
    if (world.wv2->sent_count(view) != 2000)
        fprintf(stderr, "editor_bench: %d echoes reached the page, not 2000\n", world.wv2->sent_count(view));
    report("page edit to host and back", round_trips);
    editor_host_run(&host, destroy_job, world.e, INFINITE);

    editor_host_stop(&host);
    FreeLibrary(loader);
    DeleteFileW(index.c_str());
    return 0;
}
