// An IComponentHandler double that counts its references, and a bare host
// context that only counts.
#pragma once

#include <cstdint>

#include "vst3_interfaces.h"

struct test_handler {
    IComponentHandler face;  // first: the handler is its face
    int32_t ref_count;
    int32_t edit_calls;
};

static inline test_handler* test_handler_of(IComponentHandler* h)
{
    return (test_handler*)h;
}

static inline tresult test_handler_query_interface(IComponentHandler* self, const TUID iid, void** obj)
{
    if (vst3_uid_equal(iid, iid_FUnknown) || vst3_uid_equal(iid, iid_IComponentHandler)) {
        *obj = self;
        ++test_handler_of(self)->ref_count;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

static inline uint32_t test_handler_add_ref(IComponentHandler* self)
{
    return (uint32_t)++test_handler_of(self)->ref_count;
}

static inline uint32_t test_handler_release(IComponentHandler* self)
{
    return (uint32_t)--test_handler_of(self)->ref_count;
}

static inline tresult test_handler_begin(IComponentHandler* self, ParamID)
{
    ++test_handler_of(self)->edit_calls;
    return kResultOk;
}

static inline tresult test_handler_perform(IComponentHandler* self, ParamID, ParamValue)
{
    ++test_handler_of(self)->edit_calls;
    return kResultOk;
}

static inline tresult test_handler_end(IComponentHandler* self, ParamID)
{
    ++test_handler_of(self)->edit_calls;
    return kResultOk;
}

static inline tresult test_handler_restart(IComponentHandler*, int32_t)
{
    return kResultOk;
}

static const IComponentHandlerVtbl test_handler_table = {
    test_handler_query_interface, test_handler_add_ref, test_handler_release,
    test_handler_begin, test_handler_perform, test_handler_end, test_handler_restart,
};

static inline void test_handler_init(test_handler& h)
{
    h.face.vtbl = &test_handler_table;
    h.ref_count = 1;
    h.edit_calls = 0;
}

// A host context, or any peer object, that answers nothing and counts the
// references taken on it.
struct test_unknown {
    FUnknown face;
    int32_t ref_count;
};

static inline tresult test_unknown_query_interface(FUnknown*, const TUID, void** obj)
{
    *obj = nullptr;
    return kNoInterface;
}

static inline uint32_t test_unknown_add_ref(FUnknown* self)
{
    return (uint32_t)++((test_unknown*)self)->ref_count;
}

static inline uint32_t test_unknown_release(FUnknown* self)
{
    return (uint32_t)--((test_unknown*)self)->ref_count;
}

static const FUnknownVtbl test_unknown_table = {
    test_unknown_query_interface, test_unknown_add_ref, test_unknown_release,
};

static inline void test_unknown_init(test_unknown& u)
{
    u.face.vtbl = &test_unknown_table;
    u.ref_count = 1;
}
