// The module's one class factory and its export.  It has no state, so any
// thread may call it at any time; it is never created or freed.
#include <cstring>

#include "vst3_class_ids.h"
#include "vst3_controller.h"
#include "vst3_processor.h"

struct class_description {
    const vst3_uid* cid;
    const char* category;
    const char* name;
    uint32_t class_flags;
    const char* sub_categories;
};

static const class_description classes[] = {
    {&processor_class_id, "Audio Module Class", "Vellomarquin Overdrive", kDistributable, "Fx|Distortion"},
    {&controller_class_id, "Component Controller Class", "Vellomarquin Overdrive Controller", 0, ""},
};
static const int32_t class_count = 2;

static const char product_version[] = "1.1.3.1";
// The 8-bit text names the framework; the UTF-16 one gives the version only.
static const char sdk_version[] = "VST 3.8.0 | Pavek";
static const char sdk_version_utf16[] = "VST 3.8.0";

// Into a zeroed field: cut to fit, always terminated.
static void copy_text(char* to, size_t size, const char* from)
{
    size_t n = strlen(from);
    memcpy(to, from, n < size ? n : size - 1);
}

static void copy_text_utf16(char16* to, size_t size, const char* ascii)
{
    for (size_t i = 0; i + 1 < size && ascii[i] != 0; ++i)
        to[i] = (char16)(unsigned char)ascii[i];
}

// The part that the three forms of class information share: the index
// checked, the record zeroed, identity, cardinality and category filled.
template <typename class_info_form>
static const class_description* class_info_start(int32_t index, class_info_form* info)
{
    if (index < 0 || index >= class_count || info == nullptr)
        return nullptr;
    const class_description& c = classes[index];
    memset(info, 0, sizeof *info);
    memcpy(info->cid, c.cid->bytes, sizeof info->cid);
    info->cardinality = kManyInstances;
    copy_text(info->category, sizeof info->category, c.category);
    return &c;
}

static tresult factory_query_interface(IPluginFactory3* self, const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (vst3_uid_equal(iid, iid_FUnknown) || vst3_uid_equal(iid, iid_IPluginFactory) ||
        vst3_uid_equal(iid, iid_IPluginFactory2) || vst3_uid_equal(iid, iid_IPluginFactory3)) {
        *obj = self;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

static uint32_t factory_add_ref(IPluginFactory3*)
{
    return 1;
}

static uint32_t factory_release(IPluginFactory3*)
{
    return 1;
}

static tresult factory_get_factory_info(IPluginFactory3*, PFactoryInfo* info)
{
    if (info == nullptr)
        return kInvalidArgument;
    memset(info, 0, sizeof *info);
    copy_text(info->vendor, sizeof info->vendor, "Morvo.PHONICS");
    copy_text(info->url, sizeof info->url, "https://www.morvo-phonics.com");
    copy_text(info->email, sizeof info->email, "support@morvo-phonics.com");
    info->flags = kUnicode;
    return kResultOk;
}

static int32_t factory_count_classes(IPluginFactory3*)
{
    return class_count;
}

static tresult factory_get_class_info(IPluginFactory3*, int32_t index, PClassInfo* info)
{
    const class_description* c = class_info_start(index, info);
    if (c == nullptr)
        return kInvalidArgument;
    copy_text(info->name, sizeof info->name, c->name);
    return kResultOk;
}

static bool is_one_of(const char* iid, const vst3_uid& a, const vst3_uid& b, const vst3_uid& c)
{
    return vst3_uid_equal(iid, a) || vst3_uid_equal(iid, b) || vst3_uid_equal(iid, c);
}

// Each class is made through its first interface only; a host asks the
// object for its other interfaces afterwards.
static tresult factory_create_instance(IPluginFactory3*, FIDString cid, FIDString iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    *obj = nullptr;
    if (vst3_uid_equal(cid, processor_class_id)) {
        if (!is_one_of(iid, iid_FUnknown, iid_IPluginBase, iid_IComponent))
            return kNoInterface;
        IComponent* processor = vst3_processor_create();
        if (processor == nullptr)
            return kOutOfMemory;
        *obj = processor;
        return kResultOk;
    }
    if (vst3_uid_equal(cid, controller_class_id)) {
        if (!is_one_of(iid, iid_FUnknown, iid_IPluginBase, iid_IEditController))
            return kNoInterface;
        IEditController* controller = vst3_controller_create();
        if (controller == nullptr)
            return kOutOfMemory;
        *obj = controller;
        return kResultOk;
    }
    return kNoInterface;
}

static tresult factory_get_class_info2(IPluginFactory3*, int32_t index, PClassInfo2* info)
{
    const class_description* c = class_info_start(index, info);
    if (c == nullptr)
        return kInvalidArgument;
    copy_text(info->name, sizeof info->name, c->name);
    info->classFlags = c->class_flags;
    copy_text(info->subCategories, sizeof info->subCategories, c->sub_categories);
    copy_text(info->version, sizeof info->version, product_version);
    copy_text(info->sdkVersion, sizeof info->sdkVersion, sdk_version);
    return kResultOk;
}

static tresult factory_get_class_info_unicode(IPluginFactory3*, int32_t index, PClassInfoW* info)
{
    const class_description* c = class_info_start(index, info);
    if (c == nullptr)
        return kInvalidArgument;
    copy_text_utf16(info->name, kNameSize, c->name);
    info->classFlags = c->class_flags;
    copy_text(info->subCategories, sizeof info->subCategories, c->sub_categories);
    copy_text_utf16(info->version, kVersionSize, product_version);
    copy_text_utf16(info->sdkVersion, kVersionSize, sdk_version_utf16);
    return kResultOk;
}

static tresult factory_set_host_context(IPluginFactory3*, FUnknown*)
{
    return kNotImplemented;
}

static const IPluginFactory3Vtbl factory_table = {
    factory_query_interface, factory_add_ref, factory_release,
    factory_get_factory_info, factory_count_classes, factory_get_class_info, factory_create_instance,
    factory_get_class_info2,
    factory_get_class_info_unicode, factory_set_host_context,
};

static IPluginFactory3 vst3_factory = {&factory_table};

extern "C" IPluginFactory* GetPluginFactory()
{
    return (IPluginFactory*)&vst3_factory;
}
