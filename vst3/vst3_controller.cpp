#include "vst3_controller.h"

#include <cstdlib>
#include <cstring>

#include "param_text.h"
#include "plugin_state.h"
#include "silent_connection.h"
#include "vst3_stream.h"

static vst3_controller* from_edit_controller(IEditController* face)
{
    return (vst3_controller*)face;
}

static vst3_controller* from_midi_mapping(IMidiMapping* face)
{
    return (vst3_controller*)((char*)face - offsetof(vst3_controller, midi_mapping_face));
}

static vst3_controller* from_connection(IConnectionPoint* face)
{
    return (vst3_controller*)((char*)face - offsetof(vst3_controller, connection_face));
}

// FUnknown, the same on every face.

static tresult controller_query_interface(vst3_controller* c, const char* iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    void* face = nullptr;
    if (vst3_uid_equal(iid, iid_FUnknown) || vst3_uid_equal(iid, iid_IPluginBase) ||
        vst3_uid_equal(iid, iid_IEditController))
        face = &c->edit_controller_face;
    else if (vst3_uid_equal(iid, iid_IMidiMapping))
        face = &c->midi_mapping_face;
    else if (vst3_uid_equal(iid, iid_IConnectionPoint))
        face = &c->connection_face;
    *obj = face;
    if (face == nullptr)
        return kNoInterface;
    ++c->ref_count;
    return kResultOk;
}

static uint32_t controller_add_ref(vst3_controller* c)
{
    return (uint32_t)++c->ref_count;
}

static uint32_t controller_release(vst3_controller* c)
{
    int32_t count = --c->ref_count;
    if (count == 0) {
        if (c->component_handler != nullptr)
            c->component_handler->vtbl->release(c->component_handler);
        free(c);
    }
    return (uint32_t)count;
}

// IPluginBase and IEditController.

static tresult edit_query_interface(IEditController* self, const TUID iid, void** obj)
{
    return controller_query_interface(from_edit_controller(self), iid, obj);
}

static uint32_t edit_add_ref(IEditController* self)
{
    return controller_add_ref(from_edit_controller(self));
}

static uint32_t edit_release(IEditController* self)
{
    return controller_release(from_edit_controller(self));
}

static tresult edit_initialize(IEditController* self, FUnknown* context)
{
    vst3_controller* c = from_edit_controller(self);
    if (c->host_context != nullptr)
        return kResultFalse;
    c->host_context = context;
    for (int i = 0; i < param_count; ++i)
        c->values[i] = param_table[i].default_value;
    return kResultOk;
}

static tresult edit_terminate(IEditController* self)
{
    from_edit_controller(self)->host_context = nullptr;
    return kResultOk;
}

static tresult edit_set_component_state(IEditController* self, IBStream* stream)
{
    if (stream == nullptr)
        return kResultFalse;
    void* blob = nullptr;
    size_t length = 0;
    if (!read_stream(stream, &blob, &length))
        return kResultFalse;
    float values[param_count];
    int restored = plugin_state_restore("vst3", blob, length, values);
    free(blob);
    if (restored != 0)
        return kResultFalse;
    vst3_controller* c = from_edit_controller(self);
    for (int i = 0; i < param_count; ++i)
        c->values[i] = values[i];
    return kResultOk;
}

// The processor holds the whole state; the controller has none to keep.
static tresult edit_set_state(IEditController*, IBStream*)
{
    return kNotImplemented;
}

static tresult edit_get_state(IEditController*, IBStream*)
{
    return kNotImplemented;
}

static int32_t edit_get_parameter_count(IEditController*)
{
    return param_count;
}

static void copy_title(String128 to, const char16_t* from)
{
    for (int i = 0; i < 127 && from[i] != 0; ++i)
        to[i] = from[i];
}

static tresult edit_get_parameter_info(IEditController*, int32_t index, ParameterInfo* info)
{
    if (index < 0 || index >= param_count || info == nullptr)
        return kResultFalse;
    const param_desc& p = param_table[index];
    memset(info, 0, sizeof *info);
    info->id = p.vst3_id;
    copy_title(info->title, p.title);
    copy_title(info->shortTitle, p.short_title);
    copy_title(info->units, p.units);
    info->stepCount = p.step_count;
    info->defaultNormalizedValue = p.default_normalized;
    info->unitId = p.vst3_unit_id;
    info->flags = p.vst3_flags;
    return kResultOk;
}

static tresult edit_get_param_string_by_value(IEditController*, ParamID id, ParamValue normalized, char16* string)
{
    int index = param_index_of_vst3_id(id);
    if (index < 0 || string == nullptr)
        return kResultFalse;
    String128 text;
    if (!format_plain_value(param_plain_from_normalized(index, normalized), text))
        return kResultFalse;
    memcpy(string, text, sizeof text);
    return kResultOk;
}

static tresult edit_get_param_value_by_string(IEditController*, ParamID id, char16* string, ParamValue* normalized)
{
    int index = param_index_of_vst3_id(id);
    if (index < 0 || string == nullptr || normalized == nullptr)
        return kResultFalse;
    *normalized = param_normalized_from_plain(index, parse_plain_value(string));
    return kResultOk;
}

// These three cannot report an error: an id that names no parameter gives 0.

static ParamValue edit_normalized_param_to_plain(IEditController*, ParamID id, ParamValue normalized)
{
    int index = param_index_of_vst3_id(id);
    return index < 0 ? 0.0 : param_plain_from_normalized(index, normalized);
}

static ParamValue edit_plain_param_to_normalized(IEditController*, ParamID id, ParamValue plain)
{
    int index = param_index_of_vst3_id(id);
    return index < 0 ? 0.0 : param_normalized_from_plain(index, plain);
}

static ParamValue edit_get_param_normalized(IEditController* self, ParamID id)
{
    int index = param_index_of_vst3_id(id);
    return index < 0 ? 0.0 : param_normalized_from_plain(index, from_edit_controller(self)->values[index]);
}

static tresult edit_set_param_normalized(IEditController* self, ParamID id, ParamValue value)
{
    int index = param_index_of_vst3_id(id);
    if (index < 0)
        return kResultFalse;
    // Not a number cannot be clamped into the range; it is refused instead.
    if (value != value)
        return kInvalidArgument;
    from_edit_controller(self)->values[index] = param_snap_and_clamp(index, param_plain_from_normalized(index, value));
    return kResultOk;
}

static tresult edit_set_component_handler(IEditController* self, IComponentHandler* handler)
{
    vst3_controller* c = from_edit_controller(self);
    if (handler == c->component_handler)
        return kResultOk;
    if (c->component_handler != nullptr)
        c->component_handler->vtbl->release(c->component_handler);
    c->component_handler = handler;
    if (handler != nullptr)
        handler->vtbl->addRef(handler);
    return kResultOk;
}

// No view is offered: hosts run the effect without an editor.
static IPlugView* edit_create_view(IEditController*, FIDString)
{
    return nullptr;
}

static const IEditControllerVtbl edit_controller_table = {
    edit_query_interface, edit_add_ref, edit_release,
    edit_initialize, edit_terminate,
    edit_set_component_state, edit_set_state, edit_get_state,
    edit_get_parameter_count, edit_get_parameter_info,
    edit_get_param_string_by_value, edit_get_param_value_by_string,
    edit_normalized_param_to_plain, edit_plain_param_to_normalized,
    edit_get_param_normalized, edit_set_param_normalized,
    edit_set_component_handler, edit_create_view,
};

// IMidiMapping: no MIDI controller is mapped to any parameter.

static tresult midi_query_interface(IMidiMapping* self, const TUID iid, void** obj)
{
    return controller_query_interface(from_midi_mapping(self), iid, obj);
}

static uint32_t midi_add_ref(IMidiMapping* self)
{
    return controller_add_ref(from_midi_mapping(self));
}

static uint32_t midi_release(IMidiMapping* self)
{
    return controller_release(from_midi_mapping(self));
}

static tresult midi_get_controller_assignment(IMidiMapping*, int32_t, int16_t, CtrlNumber, ParamID*)
{
    return kInvalidArgument;
}

static const IMidiMappingVtbl midi_mapping_table = {
    midi_query_interface, midi_add_ref, midi_release, midi_get_controller_assignment,
};

// IConnectionPoint: the controller learns the processor's state only through
// the host, so it accepts and forgets.

static tresult connection_query_interface(IConnectionPoint* self, const TUID iid, void** obj)
{
    return controller_query_interface(from_connection(self), iid, obj);
}

static uint32_t connection_add_ref(IConnectionPoint* self)
{
    return controller_add_ref(from_connection(self));
}

static uint32_t connection_release(IConnectionPoint* self)
{
    return controller_release(from_connection(self));
}

static const IConnectionPointVtbl connection_table = {
    connection_query_interface, connection_add_ref, connection_release,
    silent_connection_connect, silent_connection_disconnect, silent_connection_notify,
};

IEditController* vst3_controller_create()
{
    vst3_controller* c = (vst3_controller*)calloc(1, sizeof(vst3_controller));
    if (c == nullptr)
        return nullptr;
    c->edit_controller_face = &edit_controller_table;
    c->midi_mapping_face = &midi_mapping_table;
    c->connection_face = &connection_table;
    c->ref_count = 1;
    c->host_context = nullptr;
    c->component_handler = nullptr;
    return (IEditController*)&c->edit_controller_face;
}
