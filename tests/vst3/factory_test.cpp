#include <gtest/gtest.h>

#include <string>

#include "vst3_class_ids.h"
#include "vst3_module_fixture.h"
#include "vst3_test_handler.h"

namespace {

typedef vst3_module_test vst3_factory;

std::string utf8_of(const char16* text, size_t width)
{
    std::string s;
    for (size_t i = 0; i < width && text[i] != 0; ++i)
        s += (char)text[i];
    return s;
}

// Every unit after the text is zero, to the end of the field.
bool zero_filled_after_text(const char16* field, size_t width)
{
    size_t i = 0;
    while (i < width && field[i] != 0)
        ++i;
    for (; i < width; ++i) {
        if (field[i] != 0)
            return false;
    }
    return true;
}

TEST_F(vst3_factory, one_static_object_under_every_factory_interface)
{
    get_plugin_factory_fn get = (get_plugin_factory_fn)(void*)GetProcAddress(module.library, "GetPluginFactory");
    EXPECT_EQ(get(), factory);
    for (const vst3_uid* iid : {&iid_FUnknown, &iid_IPluginFactory, &iid_IPluginFactory2, &iid_IPluginFactory3})
        EXPECT_EQ(query_face(factory, *iid), (FUnknown*)factory);
    void* obj = factory;
    EXPECT_EQ(factory->vtbl->queryInterface(factory, iid_IComponent.bytes, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    // It is never counted and never freed.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(factory->vtbl->addRef(factory), 1u);
        EXPECT_EQ(factory->vtbl->release(factory), 1u);
        EXPECT_EQ(factory->vtbl->release(factory), 1u);
    }
    EXPECT_EQ(factory->vtbl->countClasses(factory), 2);
}

TEST_F(vst3_factory, factory_information)
{
    PFactoryInfo info;
    memset(&info, 0xAB, sizeof info);
    ASSERT_EQ(factory->vtbl->getFactoryInfo(factory, &info), kResultOk);
    EXPECT_STREQ(info.vendor, "Morvo.PHONICS");
    EXPECT_STREQ(info.url, "https://www.morvo-phonics.com");
    EXPECT_STREQ(info.email, "support@morvo-phonics.com");
    EXPECT_EQ(info.flags, 16);
}

struct class_case {
    const vst3_uid* cid;
    const char* category;
    const char* name;
    uint32_t flags;
    const char* sub_categories;
};

const class_case classes[2] = {
    {&processor_class_id, "Audio Module Class", "Vellomarquin Overdrive", 1, "Fx|Distortion"},
    {&controller_class_id, "Component Controller Class", "Vellomarquin Overdrive Controller", 0, ""},
};

TEST_F(vst3_factory, class_information_in_all_three_forms)
{
    IPluginFactory3* f3 = query_face<IPluginFactory, IPluginFactory3>(factory, iid_IPluginFactory3);
    ASSERT_NE(f3, nullptr);
    for (int32_t i = 0; i < 2; ++i) {
        const class_case& c = classes[i];
        PClassInfo info;
        memset(&info, 0xAB, sizeof info);
        ASSERT_EQ(factory->vtbl->getClassInfo(factory, i, &info), kResultOk);
        EXPECT_EQ(memcmp(info.cid, c.cid->bytes, 16), 0) << i;
        EXPECT_EQ(info.cardinality, 0x7FFFFFFF);
        EXPECT_STREQ(info.category, c.category);
        EXPECT_STREQ(info.name, c.name);

        PClassInfo2 info2;
        memset(&info2, 0xAB, sizeof info2);
        ASSERT_EQ(f3->vtbl->getClassInfo2(f3, i, &info2), kResultOk);
        EXPECT_EQ(memcmp(info2.cid, c.cid->bytes, 16), 0) << i;
        EXPECT_EQ(info2.cardinality, 0x7FFFFFFF);
        EXPECT_STREQ(info2.category, c.category);
        EXPECT_STREQ(info2.name, c.name);
        EXPECT_EQ(info2.classFlags, c.flags) << i;
        EXPECT_STREQ(info2.subCategories, c.sub_categories);
        EXPECT_STREQ(info2.vendor, "");
        EXPECT_STREQ(info2.version, "1.1.3.1");
        EXPECT_STREQ(info2.sdkVersion, "VST 3.8.0 | Pavek");

        PClassInfoW infow;
        memset(&infow, 0xAB, sizeof infow);
        ASSERT_EQ(f3->vtbl->getClassInfoUnicode(f3, i, &infow), kResultOk);
        EXPECT_EQ(memcmp(infow.cid, c.cid->bytes, 16), 0) << i;
        EXPECT_EQ(infow.cardinality, 0x7FFFFFFF);
        EXPECT_STREQ(infow.category, c.category);
        EXPECT_EQ(utf8_of(infow.name, 64), c.name);
        EXPECT_EQ(infow.classFlags, c.flags) << i;
        EXPECT_STREQ(infow.subCategories, c.sub_categories);
        EXPECT_EQ(utf8_of(infow.vendor, 64), "");
        EXPECT_EQ(utf8_of(infow.version, 64), "1.1.3.1");
        // The UTF-16 form carries no framework word.
        EXPECT_EQ(utf8_of(infow.sdkVersion, 64), "VST 3.8.0");
        EXPECT_TRUE(zero_filled_after_text(infow.name, 64));
        EXPECT_TRUE(zero_filled_after_text(infow.version, 64));
        EXPECT_TRUE(zero_filled_after_text(infow.sdkVersion, 64));
    }
    release_face(f3);
}

TEST_F(vst3_factory, other_class_indices_are_refused_and_nothing_written)
{
    IPluginFactory3* f3 = query_face<IPluginFactory, IPluginFactory3>(factory, iid_IPluginFactory3);
    for (int32_t index : {-1, 2, 1000}) {
        PClassInfo info;
        PClassInfo2 info2;
        PClassInfoW infow;
        memset(&info, 0xAB, sizeof info);
        memset(&info2, 0xAB, sizeof info2);
        memset(&infow, 0xAB, sizeof infow);
        EXPECT_EQ(factory->vtbl->getClassInfo(factory, index, &info), kInvalidArgument) << index;
        EXPECT_EQ(f3->vtbl->getClassInfo2(f3, index, &info2), kInvalidArgument) << index;
        EXPECT_EQ(f3->vtbl->getClassInfoUnicode(f3, index, &infow), kInvalidArgument) << index;
        EXPECT_EQ((unsigned char)info.name[0], 0xAB);
        EXPECT_EQ((unsigned char)info2.name[0], 0xAB);
        EXPECT_EQ((unsigned char)infow.category[0], 0xAB);
    }
    test_unknown context;
    test_unknown_init(context);
    EXPECT_EQ(f3->vtbl->setHostContext(f3, &context.face), kNotImplemented);
    EXPECT_EQ(context.ref_count, 1);
    release_face(f3);
}

struct creation_case {
    const char* what;
    const vst3_uid* cid;
    const vst3_uid* iid;
    tresult result;
};

TEST_F(vst3_factory, create_instance_makes_each_class_through_its_first_interface_only)
{
    const vst3_uid unknown_class = vst3_uid_of(0x01234567, 0x89ABCDEF, 0x01234567, 0x89ABCDEF);
    const creation_case cases[] = {
        {"processor as IComponent", &processor_class_id, &iid_IComponent, kResultOk},
        {"processor as FUnknown", &processor_class_id, &iid_FUnknown, kResultOk},
        {"processor as IPluginBase", &processor_class_id, &iid_IPluginBase, kResultOk},
        {"processor as IAudioProcessor", &processor_class_id, &iid_IAudioProcessor, kNoInterface},
        {"processor as IEditController", &processor_class_id, &iid_IEditController, kNoInterface},
        {"controller as IEditController", &controller_class_id, &iid_IEditController, kResultOk},
        {"controller as FUnknown", &controller_class_id, &iid_FUnknown, kResultOk},
        {"controller as IPluginBase", &controller_class_id, &iid_IPluginBase, kResultOk},
        {"controller as IComponent", &controller_class_id, &iid_IComponent, kNoInterface},
        {"controller as IMidiMapping", &controller_class_id, &iid_IMidiMapping, kNoInterface},
        {"unknown class", &unknown_class, &iid_FUnknown, kNoInterface},
    };
    for (const creation_case& c : cases) {
        void* obj = (void*)&c;
        EXPECT_EQ(factory->vtbl->createInstance(factory, c.cid->bytes, c.iid->bytes, &obj), c.result) << c.what;
        if (c.result != kResultOk) {
            EXPECT_EQ(obj, nullptr) << c.what;
            continue;
        }
        // A new object holds exactly the one reference handed out.
        FUnknown* object = (FUnknown*)obj;
        EXPECT_EQ(object->vtbl->addRef(object), 2u) << c.what;
        EXPECT_EQ(object->vtbl->release(object), 1u) << c.what;
        EXPECT_EQ(object->vtbl->release(object), 0u) << c.what;
    }
}

TEST_F(vst3_factory, the_processor_names_the_controller_class)
{
    IComponent* processor = create_processor(factory);
    ASSERT_NE(processor, nullptr);
    TUID cid;
    ASSERT_EQ(processor->vtbl->getControllerClassId(processor, cid), kResultOk);
    EXPECT_EQ(memcmp(cid, class_id_at(factory, 1).bytes, 16), 0);
    EXPECT_EQ(processor->vtbl->getControllerClassId(processor, nullptr), kResultFalse);
    release_face(processor);
}

}  // namespace
