// A freshly loaded module with one initialized processor, and the means to
// compare what processors make of the same input.
#pragma once

#include <algorithm>
#include <deque>
#include <vector>

#include "engine_fixture.h"
#include "vst3_module_fixture.h"
#include "vst3_test_changes.h"
#include "vst3_test_handler.h"
#include "vst3_test_processor.h"

class vst3_processor_test : public vst3_module_test {
protected:
    void SetUp() override
    {
        vst3_module_test::SetUp();
        test_unknown_init(context);
        ASSERT_TRUE(open(processor));
    }

    void TearDown() override
    {
        for (test_processor& t : extra)
            test_processor_close(t);
        test_processor_close(processor);
        vst3_module_test::TearDown();
    }

    bool open(test_processor& t)
    {
        return test_processor_open(t, factory, &context.face);
    }

    // One more processor of the same module, closed with the fixture.
    test_processor& another()
    {
        extra.push_back(test_processor{});
        test_processor& t = extra.back();
        EXPECT_TRUE(open(t));
        return t;
    }

    saved_state saved(test_processor& t)
    {
        saved_state s = {};
        EXPECT_TRUE(test_processor_saved(t, s));
        return s;
    }

    test_unknown context;
    test_processor processor = {};
    std::deque<test_processor> extra;  // stable addresses while more are made
};

// The output of consecutive blocks of one signal, each block with its own
// parameter changes (null for none).
static inline std::vector<float> run_blocks(test_processor& t, const std::vector<float>& signal, int32_t block,
                                            const std::vector<IParameterChanges*>& changes)
{
    std::vector<float> out(signal.size(), 0.0f);
    for (size_t b = 0; b * block < signal.size(); ++b) {
        int32_t n = (int32_t)std::min<size_t>(block, signal.size() - b * block);
        IParameterChanges* c = b < changes.size() ? changes[b] : nullptr;
        test_processor_run(t, signal.data() + b * block, out.data() + b * block, n, c);
    }
    return out;
}

static inline bool same_samples(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}
