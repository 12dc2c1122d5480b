// A VST3 host of our own for the tests: it loads the built module from its
// bundle with LoadLibrary, takes the factory from GetPluginFactory, and
// reaches the objects only through their interfaces.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "vst3_interfaces.h"

// The folder this test program sits in, with a trailing backslash.
static inline std::string test_program_dir()
{
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

// The module file inside the bundle the build assembled.
static inline std::string bundle_module_path()
{
    std::string relative = VST3_MODULE_FROM_TESTS;
    for (char& c : relative) {
        if (c == '/')
            c = '\\';
    }
    return test_program_dir() + relative;
}

struct vst3_test_module {
    HMODULE library;
    IPluginFactory* factory;
};

typedef IPluginFactory* (*get_plugin_factory_fn)();

static inline bool vst3_test_module_load(vst3_test_module& m, const std::string& path)
{
    m.factory = nullptr;
    m.library = LoadLibraryA(path.c_str());
    if (m.library == nullptr)
        return false;
    get_plugin_factory_fn get = (get_plugin_factory_fn)(void*)GetProcAddress(m.library, "GetPluginFactory");
    m.factory = get != nullptr ? get() : nullptr;
    return m.factory != nullptr;
}

static inline void vst3_test_module_unload(vst3_test_module& m)
{
    if (m.library != nullptr)
        FreeLibrary(m.library);
    m.library = nullptr;
    m.factory = nullptr;
}

// queryInterface through any face, giving the face of the asked interface or null.
template <class Face, class Wanted = FUnknown>
static inline Wanted* query_face(Face* object, const vst3_uid& iid)
{
    void* out = nullptr;
    object->vtbl->queryInterface(object, iid.bytes, &out);
    return (Wanted*)out;
}

template <class Face>
static inline uint32_t release_face(Face* object)
{
    return object->vtbl->release(object);
}

// A host knows the classes only from the factory's class information.
static inline vst3_uid class_id_at(IPluginFactory* factory, int32_t index)
{
    PClassInfo info = {};
    factory->vtbl->getClassInfo(factory, index, &info);
    vst3_uid cid;
    memcpy(cid.bytes, info.cid, sizeof cid.bytes);
    return cid;
}

static inline IComponent* create_processor(IPluginFactory* factory)
{
    void* obj = nullptr;
    factory->vtbl->createInstance(factory, class_id_at(factory, 0).bytes, iid_IComponent.bytes, &obj);
    return (IComponent*)obj;
}

static inline IEditController* create_controller(IPluginFactory* factory)
{
    void* obj = nullptr;
    factory->vtbl->createInstance(factory, class_id_at(factory, 1).bytes, iid_IEditController.bytes, &obj);
    return (IEditController*)obj;
}
