// The editor's tests run it as a format layer does: on a host thread with its
// own message loop and window, with the WebView2 test double and an
// index.html in a temporary folder.
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor.h"
#include "editor_host.h"
#include "webview2_double.h"

struct edit_record {
    char kind;  // 'b', 's' or 'e'
    uint32_t index;
    float value;
    bool on_host_thread;
};

// What the host does from inside perform_edit.
enum host_reaction {
    react_nothing,
    react_echo_value,        // editor_set_parameter for the same parameter (the nested set)
    react_echo_twice,        // two nested sets in one callback
    react_resize_directly,   // a synchronous SetWindowPos on the view window
    react_resize_via_editor, // editor_set_size
};

struct editor_world {
    editor_host host;
    std::wstring folder;        // temporary folder with the double and index.html
    std::string folder_utf8;
    std::string binary_dir;     // what get_binary_dir answers
    std::string resources_dir;  // what get_resources_dir answers
    HMODULE double_module;
    const wv2_double_api* wv2;
    CRITICAL_SECTION lock;
    std::vector<edit_record> edits;
    std::vector<std::string> messages;  // payloads the message handler received
    host_reaction reaction;
    int reaction_calls;
    const char* reply;               // the handler answers every message with this
    int handler_sets_parameter;      // the handler calls editor_set_parameter(1, 25)
    int handler_set_result;
    editor* current;
};

class editor_fixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // editor_create and editor_destroy on the host thread.
    editor* open_editor(uint8_t is_child);
    editor* open_editor_with(uint8_t is_child, HWND parent, editor_message_handler handler);
    void close_editor(editor* e);

    // Runs job on the host thread; a job that does not return ends the run.
    void on_host(editor_host_job job, void* context);

    int view_of(editor* e);
    std::vector<std::wstring> sent(int view);
    std::vector<edit_record> edits();
    std::vector<std::string> messages();

    editor_world world;
};

std::wstring wide_of(const std::string& utf8);
std::string utf8_of(const std::wstring& wide);
// The value message the page is sent for an index and a value.
std::wstring value_message(uint32_t index, float value);
