#include "lv2_test_host.h"

#include "param_table.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifndef VMO_LV2_BUNDLE_DIR
#error "the build gives the bundle's location"
#endif

std::string lv2_test_bundle_path()
{
    return VMO_LV2_BUNDLE_DIR;
}

bool lv2_test_module_load(lv2_test_module* module)
{
    std::string path = lv2_test_bundle_path() + "/" VMO_LV2_BINARY_NAME;
    lv2_descriptor_function entry = nullptr;
#ifdef _WIN32
    HMODULE library = LoadLibraryA(path.c_str());
    if (library)
        entry = (lv2_descriptor_function)(void*)GetProcAddress(library, "lv2_descriptor");
#else
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library)
        entry = (lv2_descriptor_function)dlsym(library, "lv2_descriptor");
#endif
    module->library = (void*)library;
    module->entry = entry;
    module->descriptor = entry ? entry(0) : nullptr;
    return module->descriptor != nullptr;
}

void lv2_test_module_unload(lv2_test_module* module)
{
    if (!module->library)
        return;
#ifdef _WIN32
    FreeLibrary((HMODULE)module->library);
#else
    dlclose(module->library);
#endif
    module->library = nullptr;
}

static LV2_URID map_uri(LV2_URID_Map_Handle handle, const char* uri)
{
    return lv2_test_host_map((lv2_test_host*)handle, uri);
}

uint32_t lv2_test_host_map(lv2_test_host* host, const char* uri)
{
    for (size_t i = 0; i < host->uris.size(); ++i) {
        if (host->uris[i] == uri)
            return (uint32_t)(i + 1);
    }
    host->uris.push_back(uri);
    return (uint32_t)host->uris.size();
}

static int log_vprintf(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list args)
{
    lv2_test_host* host = (lv2_test_host*)handle;
    char text[1024];
    int n = vsnprintf(text, sizeof text, format, args);
    // Only errors are expected (type 0 when the plug-in got no map to name
    // them); anything else shows up in the captured text.
    if (type != 0 && type != lv2_test_host_map(host, LV2_LOG__Error))
        host->log += "[not an error] ";
    host->log += text;
    return n;
}

static int log_printf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = log_vprintf(handle, type, format, args);
    va_end(args);
    return n;
}

void lv2_test_host_init(lv2_test_host* host, int features)
{
    host->map.handle = host;
    host->map.map = map_uri;
    host->log_feature.handle = host;
    host->log_feature.printf = log_printf;
    host->log_feature.vprintf = log_vprintf;
    host->map_feature.URI = LV2_URID__map;
    host->map_feature.data = &host->map;
    host->log_feature_entry.URI = LV2_LOG__log;
    host->log_feature_entry.data = &host->log_feature;
    int n = 0;
    if (features & lv2_test_with_map)
        host->features[n++] = &host->map_feature;
    if (features & lv2_test_with_log)
        host->features[n++] = &host->log_feature_entry;
    host->features[n] = nullptr;
    host->store_result = 0;
}

LV2_Handle lv2_test_start(lv2_test_host* host, const lv2_test_module* module, double rate, const float* in,
                          float* out, const float* controls)
{
    const LV2_Descriptor* d = module->descriptor;
    LV2_Handle instance = d->instantiate(d, rate, lv2_test_bundle_path().c_str(), host->features);
    if (!instance)
        return nullptr;
    d->connect_port(instance, 0, (void*)in);
    d->connect_port(instance, 1, out);
    for (uint32_t i = 0; i < param_count; ++i)
        d->connect_port(instance, i + 2, (void*)&controls[i]);
    d->activate(instance);
    return instance;
}

static LV2_State_Status store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                              uint32_t flags)
{
    lv2_test_host* host = (lv2_test_host*)handle;
    if (host->store_result != 0)
        return (LV2_State_Status)host->store_result;
    const uint8_t* bytes = (const uint8_t*)value;
    host->properties.push_back({key, std::vector<uint8_t>(bytes, bytes + size), type, flags});
    return LV2_STATE_SUCCESS;
}

static const void* retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    lv2_test_host* host = (lv2_test_host*)handle;
    for (const lv2_test_host::property& p : host->properties) {
        if (p.key == key) {
            *size = p.value.size();
            *type = p.type;
            *flags = p.flags;
            return p.value.data();
        }
    }
    return nullptr;
}

static const LV2_State_Interface* state_interface(const LV2_Descriptor* descriptor)
{
    return (const LV2_State_Interface*)descriptor->extension_data(LV2_STATE__interface);
}

LV2_State_Status lv2_test_save(lv2_test_host* host, const LV2_Descriptor* descriptor, LV2_Handle instance)
{
    host->properties.clear();
    return state_interface(descriptor)->save(instance, store, host, LV2_STATE_IS_POD, host->features);
}

LV2_State_Status lv2_test_restore(lv2_test_host* host, const LV2_Descriptor* descriptor, LV2_Handle instance)
{
    return state_interface(descriptor)->restore(instance, retrieve, host, 0, host->features);
}
