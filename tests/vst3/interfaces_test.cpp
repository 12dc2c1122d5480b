#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "vst3_class_ids.h"
#include "vst3_interfaces.h"

namespace {

// An ID in the registry form hosts and tools print, as Windows parses it.
vst3_uid uid_from_text(const char* text)
{
    GUID g = {};
    unsigned d[11];
    sscanf(text, "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &d[0], &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7],
           &d[8], &d[9], &d[10]);
    g.Data1 = d[0];
    g.Data2 = (unsigned short)d[1];
    g.Data3 = (unsigned short)d[2];
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = (unsigned char)d[3 + i];
    vst3_uid u;
    memcpy(u.bytes, &g, sizeof u.bytes);
    return u;
}

// The byte order is the COM one: the base interface is IUnknown itself.
TEST(vst3_interfaces, funknown_is_the_com_iunknown)
{
    EXPECT_EQ(memcmp(iid_FUnknown.bytes, &IID_IUnknown, 16), 0);
}

TEST(vst3_interfaces, ids_in_guid_byte_order)
{
    struct id_case {
        const char* name;
        const vst3_uid* uid;
        const char* text;
    };
    const id_case cases[] = {
        {"IPluginBase", &iid_IPluginBase, "22888DDB-156E-45AE-8358-B34808190625"},
        {"IPluginFactory", &iid_IPluginFactory, "7A4D811C-5211-4A1F-AED9-D2EE0B43BF9F"},
        {"IPluginFactory2", &iid_IPluginFactory2, "0007B650-F24B-4C0B-A464-EDB9F00B2ABB"},
        {"IPluginFactory3", &iid_IPluginFactory3, "4555A2AB-C123-4E57-9B12-291036878931"},
        {"IComponent", &iid_IComponent, "E831FF31-F2D5-4301-928E-BBEE25697802"},
        {"IAudioProcessor", &iid_IAudioProcessor, "42043F99-B7DA-453C-A569-E79D9AAEC33D"},
        {"IProcessContextRequirements", &iid_IProcessContextRequirements, "2A654303-EF76-4E3D-95B5-FE83730EF6D0"},
        {"IConnectionPoint", &iid_IConnectionPoint, "70A4156F-6E6E-4026-9891-48BFAA60D8D1"},
        {"IEditController", &iid_IEditController, "DCD7BBE3-7742-448D-A874-AACC979C759E"},
        {"IMidiMapping", &iid_IMidiMapping, "DF0FF9F7-49B7-4669-B63A-B7327ADBF5E5"},
        {"IComponentHandler", &iid_IComponentHandler, "93A0BEA3-0BD0-45DB-8E89-0B0CC1E46AC6"},
        {"IBStream", &iid_IBStream, "C3BF6EA2-3099-4752-9B6B-F9901EE33E9B"},
        {"IParameterChanges", &iid_IParameterChanges, "A4779663-0BB6-4A56-B443-84A8466FEB9D"},
        {"IParamValueQueue", &iid_IParamValueQueue, "01263A18-ED07-4F6F-98C9-D3564686F9BA"},
        {"IMessage", &iid_IMessage, "936F033B-C6C0-47DB-BB08-82F813C1E613"},
        {"IPlugView", &iid_IPlugView, "5BC32507-D060-49EA-A615-1B522B755B29"},
        {"IPlugFrame", &iid_IPlugFrame, "367FAF01-AFA9-4693-8D4D-A2A0ED0882A3"},
        {"processor class", &processor_class_id, "FFF04346-99D8-4A7D-95F9-AA7BEDAD8C96"},
        {"controller class", &controller_class_id, "3A37B1CB-3629-43ED-8FD7-C34B5876139F"},
    };
    for (const id_case& c : cases) {
        vst3_uid expected = uid_from_text(c.text);
        EXPECT_EQ(memcmp(c.uid->bytes, expected.bytes, 16), 0) << c.name;
    }
}

}  // namespace
