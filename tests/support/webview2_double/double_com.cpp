// Function tables by slot, the trap behind every slot not implemented, and
// calls on the editor's objects by slot.
#include <stdio.h>
#include <string.h>

#include "double_internal.h"

static LONG unexpected_count;
static char unexpected_description[128];

int double_unexpected_calls(void)
{
    return (int)unexpected_count;
}

const char* double_last_unexpected_call(void)
{
    return unexpected_description;
}

static void record_unexpected(double_object* self, int slot)
{
    InterlockedIncrement(&unexpected_count);
    snprintf(unexpected_description, sizeof unexpected_description, "%s slot %d", self ? self->name : "?", slot);
}

// A trap knows its own slot; the caller's further arguments are ignored,
// which the x64 calling convention allows.
#define TRAP(n) \
    static HRESULT STDMETHODCALLTYPE trap_##n(double_object* self) { record_unexpected(self, n); return E_NOTIMPL; }
#define TRAPS8(a) TRAP(a##0) TRAP(a##1) TRAP(a##2) TRAP(a##3) TRAP(a##4) TRAP(a##5) TRAP(a##6) TRAP(a##7)
TRAPS8(0) TRAPS8(1) TRAPS8(2) TRAPS8(3) TRAPS8(4) TRAPS8(5) TRAPS8(6) TRAPS8(7)
#define TRAP_ENTRIES8(a) (void*)trap_##a##0, (void*)trap_##a##1, (void*)trap_##a##2, (void*)trap_##a##3, \
    (void*)trap_##a##4, (void*)trap_##a##5, (void*)trap_##a##6, (void*)trap_##a##7,
// Octal-looking names, decimal slots: trap_NM is slot 8*N+M.
static void* const traps[64] = {TRAP_ENTRIES8(0) TRAP_ENTRIES8(1) TRAP_ENTRIES8(2) TRAP_ENTRIES8(3)
                                TRAP_ENTRIES8(4) TRAP_ENTRIES8(5) TRAP_ENTRIES8(6) TRAP_ENTRIES8(7)};

void** double_table(int count)
{
    void** table = (void**)HeapAlloc(GetProcessHeap(), 0, sizeof(void*) * (size_t)count);
    for (int i = 0; i < count; ++i)
        table[i] = traps[i];
    table[slot_add_ref] = (void*)double_add_ref_slot;
    table[slot_release] = (void*)double_release_slot;
    return table;
}

void double_object_init(double_object* object, void** table, const char* name, double_instance* instance,
                        void (*destroy)(double_object*))
{
    object->table = table;
    object->refs = 1;
    object->name = name;
    object->instance = instance;
    object->destroy = destroy;
    double_count_object(+1);
}

void double_object_release(double_object* object)
{
    if (object && InterlockedDecrement(&object->refs) == 0) {
        object->destroy(object);
        double_count_object(-1);
    }
}

HRESULT STDMETHODCALLTYPE double_add_ref_slot(double_object* self)
{
    return (HRESULT)InterlockedIncrement(&self->refs);
}

HRESULT STDMETHODCALLTYPE double_release_slot(double_object* self)
{
    LONG refs = InterlockedDecrement(&self->refs);
    if (refs == 0) {
        self->destroy(self);
        double_count_object(-1);
    }
    return (HRESULT)refs;
}

void* client_slot(void* object, int slot)
{
    return (*(void***)object)[slot];
}

ULONG client_add_ref(void* object)
{
    double_count_client_reference(+1);
    return ((ULONG(STDMETHODCALLTYPE*)(void*))client_slot(object, slot_add_ref))(object);
}

ULONG client_release(void* object)
{
    double_count_client_reference(-1);
    return ((ULONG(STDMETHODCALLTYPE*)(void*))client_slot(object, slot_release))(object);
}

HRESULT client_invoke(void* handler, void* first, void* second)
{
    return ((HRESULT(STDMETHODCALLTYPE*)(void*, void*, void*))client_slot(handler, slot_invoke))(handler, first,
                                                                                                second);
}

struct named_iid {
    const char* name;
    const wchar_t* text;
    IID iid;
};

static named_iid iids[] = {
    {"IUnknown", L"{00000000-0000-0000-C000-000000000046}", {}},
    {"Environment", L"{B96D755E-0319-4E92-A296-23436F46A1FC}", {}},
    {"Controller", L"{4D00C0D1-9434-4EB6-8078-8697A560334F}", {}},
    {"Controller4", L"{97D418D5-A426-4E49-A151-E1A10F327D9E}", {}},
    {"WebView", L"{76ECEACB-0462-4D94-AC83-423A6793775E}", {}},
    {"Settings", L"{E562E4F0-D7FA-43AC-8D71-C05150499F00}", {}},
    {"Settings3", L"{FDB5AB74-AF33-4854-84F0-0A631DEB5EBA}", {}},
    {"Settings4", L"{CB56846C-4168-4D53-B04F-03B6D6796FF2}", {}},
    {"Settings5", L"{183E7052-1D03-43A0-AB99-98E043B66B39}", {}},
    {"Settings6", L"{11CB3ACD-9BC8-43B8-83BF-F40753714F87}", {}},
    {"MessageArgs", L"{0F99A40C-E962-4207-9E92-E3D542EFF849}", {}},
    {"NavigationArgs", L"{5B495469-E119-438A-9B18-7604F25F2E49}", {}},
    {"NewWindowArgs", L"{34ACB11C-FC37-4418-9132-F9C21D1EAFB9}", {}},
};

const IID* double_iid(const char* name)
{
    for (named_iid& entry : iids) {
        if (strcmp(entry.name, name) == 0) {
            if (entry.iid.Data1 == 0 && entry.iid.Data4[0] == 0)
                IIDFromString(entry.text, &entry.iid);
            return &entry.iid;
        }
    }
    return NULL;
}
