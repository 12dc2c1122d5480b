// Every test starts from a freshly loaded module, as a host that has just
// scanned the bundle.
#pragma once

#include <gtest/gtest.h>

#include "vst3_test_host.h"

class vst3_module_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vst3_test_module_load(module, bundle_module_path())) << bundle_module_path();
        factory = module.factory;
    }

    void TearDown() override
    {
        vst3_test_module_unload(module);
    }

    vst3_test_module module = {};
    IPluginFactory* factory = nullptr;
};
