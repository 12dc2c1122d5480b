// The environment: it creates one controller, asynchronously.
#include <stdlib.h>
#include <string.h>

#include "double_internal.h"

void double_instance_window_gone(double_instance* instance);

static void destroy_environment(double_object* self)
{
    self->instance->environment = NULL;
    double_instance_window_gone(self->instance);
    free(self);
}

static HRESULT STDMETHODCALLTYPE environment_query_interface(double_object* self, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, *double_iid("IUnknown")) || IsEqualIID(iid, *double_iid("Environment"))) {
        InterlockedIncrement(&self->refs);
        *out = self;
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

static HRESULT STDMETHODCALLTYPE environment_create_controller_slot(double_object* self, HWND parent, void* handler)
{
    double_instance* instance = self->instance;
    if (!handler)
        return E_POINTER;
    instance->view.parent = parent;
    instance->view.parent_visible_at_creation = IsWindowVisible(parent) ? 1 : 0;
    GetWindowRect(parent, &instance->view.parent_rect_at_creation);
    if (double_is(wv2_fail_create_controller, instance))
        return E_FAIL;
    // The pending creation keeps the environment, as the runtime does.
    InterlockedIncrement(&self->refs);
    client_add_ref(handler);
    if (!double_post_task(instance, task_controller_completed, handler, NULL, NULL, NULL, NULL)) {
        client_release(handler);
        double_object_release(self);
        return E_FAIL;
    }
    return S_OK;
}

double_object* double_environment_create(double_instance* instance)
{
    static void** table;
    if (!table) {
        table = double_table(environment_slots);
        table[slot_query_interface] = (void*)environment_query_interface;
        table[environment_create_controller] = (void*)environment_create_controller_slot;
    }
    double_object* environment = (double_object*)calloc(1, sizeof *environment);
    double_object_init(environment, table, "ICoreWebView2Environment", instance, destroy_environment);
    instance->environment = environment;
    return environment;
}
