#include "editor_fixture.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

std::wstring wide_of(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::wstring out((size_t)(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], n);
    return out;
}

std::string utf8_of(const std::wstring& wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, NULL, 0, NULL, NULL);
    std::string out((size_t)(n > 0 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], n, NULL, NULL);
    return out;
}

std::wstring value_message(uint32_t index, float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    wchar_t text[32];
    swprintf(text, 32, L"s %08x %08x", (unsigned)index, (unsigned)bits);
    return text;
}

static std::wstring exe_folder(void)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash)
        *slash = 0;
    return path;
}

static void delete_tree(const std::wstring& folder)
{
    std::wstring from = folder;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationW(&op);
}

static const char* binary_dir_of(void* user_data)
{
    return ((editor_world*)user_data)->binary_dir.c_str();
}

static const char* resources_dir_of(void* user_data)
{
    return ((editor_world*)user_data)->resources_dir.c_str();
}

static void record_edit(editor_world* w, char kind, uint32_t index, float value)
{
    EnterCriticalSection(&w->lock);
    w->edits.push_back({kind, index, value, GetCurrentThreadId() == w->host.thread_id});
    LeaveCriticalSection(&w->lock);
}

static void on_begin(void* user_data, uint32_t index, float value)
{
    record_edit((editor_world*)user_data, 'b', index, value);
}

static void on_perform(void* user_data, uint32_t index, float value)
{
    editor_world* w = (editor_world*)user_data;
    record_edit(w, 's', index, value);
    switch (w->reaction) {
    case react_nothing:
        return;
    case react_echo_value:
        editor_set_parameter(w->current, index, value);
        break;
    case react_echo_twice:
        editor_set_parameter(w->current, index, value);
        editor_set_parameter(w->current, index, value + 1.0f);
        break;
    case react_resize_directly:
        SetWindowPos(w->current->view_window, NULL, 0, 0, 640, 320,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        break;
    case react_resize_via_editor:
        editor_set_size(w->current, 700, 350);
        break;
    }
    w->reaction_calls++;
}

static void on_end(void* user_data, uint32_t index, float value)
{
    record_edit((editor_world*)user_data, 'e', index, value);
}

static editor_world* world_of_handler;  // the message handler gets only the editor

static void on_message(editor* e, const char* text)
{
    editor_world* w = world_of_handler;
    EnterCriticalSection(&w->lock);
    w->messages.push_back(text);
    LeaveCriticalSection(&w->lock);
    if (w->handler_sets_parameter)
        w->handler_set_result = editor_set_parameter(e, 1, 25.0f);
    if (w->reply)
        editor_send_message(e, w->reply);
}

static void write_file(const std::wstring& path, const char* text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    CloseHandle(file);
}

void editor_fixture::SetUp()
{
    world.double_module = NULL;
    world.wv2 = NULL;
    world.reaction = react_nothing;
    world.reaction_calls = 0;
    world.reply = NULL;
    world.handler_sets_parameter = 0;
    world.handler_set_result = -2;
    world.current = NULL;
    InitializeCriticalSection(&world.lock);
    world_of_handler = &world;

    // A folder of its own for each test, with a name that is not ASCII, as
    // an install path may be.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t name[64];
    swprintf(name, 64, L"vmo-editor-\u00e9\u4e2d-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    world.folder = std::wstring(temp) + name;
    ASSERT_TRUE(CreateDirectoryW(world.folder.c_str(), NULL));
    world.folder_utf8 = utf8_of(world.folder);
    world.resources_dir = world.folder_utf8;

    // The loader stands where the real one stands, in the folder the module names.
    std::wstring loader = world.folder + L"\\WebView2Loader.dll";
    ASSERT_TRUE(CopyFileW((exe_folder() + L"\\WebView2Loader.dll").c_str(), loader.c_str(), FALSE));
    write_file(world.folder + L"\\index.html", "<!doctype html><title>editor</title>\n");
    // get_binary_dir is a path in the system code page; the short form of the
    // folder is plain ASCII whatever the code page.
    wchar_t short_path[MAX_PATH];
    DWORD n = GetShortPathNameW(world.folder.c_str(), short_path, MAX_PATH);
    ASSERT_GT(n, 0u);
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, short_path, -1, ansi, MAX_PATH, NULL, NULL);
    world.binary_dir = ansi;

    world.double_module = LoadLibraryW(loader.c_str());
    ASSERT_TRUE(world.double_module != NULL);
    wv2_double_steering_fn steering =
        (wv2_double_steering_fn)(void*)GetProcAddress(world.double_module, "wv2_double_steering");
    ASSERT_TRUE(steering != NULL);
    world.wv2 = steering();
    world.wv2->reset();

    wchar_t record[MAX_PATH];
    swprintf(record, MAX_PATH, L"%ls\\rundll32.txt", world.folder.c_str());
    SetEnvironmentVariableW(L"VMO_RUNDLL32_RECORD", record);

    ASSERT_EQ(editor_host_start(&world.host), 0);
}

void editor_fixture::TearDown()
{
    if (world.wv2) {
        EXPECT_EQ(world.wv2->unexpected_calls(), 0) << world.wv2->last_unexpected_call();
    }
    editor_host_stop(&world.host);
    if (world.double_module)
        FreeLibrary(world.double_module);
    SetEnvironmentVariableW(L"VMO_RUNDLL32_RECORD", NULL);
    delete_tree(world.folder);
    DeleteCriticalSection(&world.lock);
}

void editor_fixture::on_host(editor_host_job job, void* context)
{
    if (!editor_host_run(&world.host, job, context, 20000)) {
        // The host thread is stuck, most likely in a deadlock: nothing can be
        // cleaned up, so end the run with a clear word.
        fprintf(stderr, "FATAL: a call on the host thread did not return within 20 s\n");
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

struct create_call {
    editor_world* world;
    uint8_t is_child;
    HWND parent;
    editor_message_handler handler;
    editor* result;
};

static void create_job(void* context)
{
    create_call* call = (create_call*)context;
    editor_callbacks callbacks = {call->world, "vst3", binary_dir_of, resources_dir_of, on_begin, on_perform, on_end};
    call->result = editor_create(call->is_child, call->parent, &callbacks, call->handler, 800, 400, 6);
}

editor* editor_fixture::open_editor_with(uint8_t is_child, HWND parent, editor_message_handler handler)
{
    create_call call = {&world, is_child, parent, handler, NULL};
    on_host(create_job, &call);
    if (call.result)
        world.current = call.result;
    return call.result;
}

editor* editor_fixture::open_editor(uint8_t is_child)
{
    return open_editor_with(is_child, is_child ? world.host.window : NULL, on_message);
}

static void destroy_job(void* context)
{
    editor_destroy((editor*)context);
}

void editor_fixture::close_editor(editor* e)
{
    on_host(destroy_job, e);
    if (world.current == e)
        world.current = NULL;
}

int editor_fixture::view_of(editor* e)
{
    return world.wv2->find_view(e->view_window);
}

std::vector<std::wstring> editor_fixture::sent(int view)
{
    std::vector<std::wstring> out;
    int count = world.wv2->sent_count(view);
    for (int i = 0; i < count; ++i) {
        std::vector<wchar_t> text(4096);
        int length = world.wv2->sent_text(view, i, text.data(), (int)text.size());
        if (length >= (int)text.size()) {
            text.resize((size_t)length + 1);
            world.wv2->sent_text(view, i, text.data(), (int)text.size());
        }
        out.push_back(text.data());
    }
    return out;
}

std::vector<edit_record> editor_fixture::edits()
{
    EnterCriticalSection(&world.lock);
    std::vector<edit_record> copy = world.edits;
    LeaveCriticalSection(&world.lock);
    return copy;
}

std::vector<std::string> editor_fixture::messages()
{
    EnterCriticalSection(&world.lock);
    std::vector<std::string> copy = world.messages;
    LeaveCriticalSection(&world.lock);
    return copy;
}
