// IParameterChanges and IParamValueQueue doubles: a block's changes given
// as a table of queues and points, recording which points the plug-in read
// and the MXCSR it ran under.
#pragma once

#include <xmmintrin.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "vst3_interfaces.h"

struct test_point {
    int32_t offset;
    double value;
};

struct test_queue {
    IParamValueQueue face;  // first: the queue is its face
    ParamID id;
    std::vector<test_point> points;
    bool point_fails;
    std::vector<int32_t> points_read;
};

struct test_changes {
    IParameterChanges face;  // first: the changes are their face
    std::deque<test_queue> queues;  // stable addresses while queues are added
    std::vector<bool> absent;       // per queue: getParameterData gives null
    unsigned csr_seen;
};

static inline tresult test_no_interface(void** obj)
{
    *obj = nullptr;
    return kNoInterface;
}

// The host owns these; the plug-in only borrows them for one call.
static inline tresult test_queue_query_interface(IParamValueQueue*, const TUID, void** obj)
{
    return test_no_interface(obj);
}

static inline uint32_t test_queue_count(IParamValueQueue*)
{
    return 1;
}

static inline ParamID test_queue_id(IParamValueQueue* self)
{
    return ((test_queue*)self)->id;
}

static inline int32_t test_queue_point_count(IParamValueQueue* self)
{
    return (int32_t)((test_queue*)self)->points.size();
}

static inline tresult test_queue_get_point(IParamValueQueue* self, int32_t index, int32_t* offset, ParamValue* value)
{
    test_queue* q = (test_queue*)self;
    q->points_read.push_back(index);
    if (q->point_fails || index < 0 || index >= (int32_t)q->points.size())
        return kResultFalse;
    *offset = q->points[(size_t)index].offset;
    *value = q->points[(size_t)index].value;
    return kResultOk;
}

static inline tresult test_queue_add_point(IParamValueQueue*, int32_t, ParamValue, int32_t*)
{
    return kResultFalse;
}

static const IParamValueQueueVtbl test_queue_table = {
    test_queue_query_interface, test_queue_count, test_queue_count,
    test_queue_id, test_queue_point_count, test_queue_get_point, test_queue_add_point,
};

static inline tresult test_changes_query_interface(IParameterChanges*, const TUID, void** obj)
{
    return test_no_interface(obj);
}

static inline uint32_t test_changes_count(IParameterChanges*)
{
    return 1;
}

static inline int32_t test_changes_parameter_count(IParameterChanges* self)
{
    test_changes* c = (test_changes*)self;
    c->csr_seen = _mm_getcsr();
    return (int32_t)c->queues.size();
}

static inline IParamValueQueue* test_changes_data(IParameterChanges* self, int32_t index)
{
    test_changes* c = (test_changes*)self;
    if (index < 0 || index >= (int32_t)c->queues.size() || c->absent[(size_t)index])
        return nullptr;
    return &c->queues[(size_t)index].face;
}

static inline IParamValueQueue* test_changes_add(IParameterChanges*, const ParamID*, int32_t*)
{
    return nullptr;
}

static const IParameterChangesVtbl test_changes_table = {
    test_changes_query_interface, test_changes_count, test_changes_count,
    test_changes_parameter_count, test_changes_data, test_changes_add,
};

static inline void test_changes_init(test_changes& c)
{
    c.face.vtbl = &test_changes_table;
    c.queues.clear();
    c.absent.clear();
    c.csr_seen = 0;
}

static inline test_queue& test_changes_add_queue(test_changes& c, ParamID id, std::vector<test_point> points)
{
    c.queues.push_back(test_queue{{&test_queue_table}, id, points, false, {}});
    c.absent.push_back(false);
    return c.queues.back();
}

// A slot whose queue the host reports as missing.
static inline void test_changes_add_absent(test_changes& c)
{
    test_changes_add_queue(c, 0, {});
    c.absent.back() = true;
}
