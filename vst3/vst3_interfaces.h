// The VST3 interfaces the module implements or calls, declared from the
// published documentation: each interface is an object whose first member
// points to a table of functions in the published slot order, and each has
// a 16-byte interface ID.  Only the parts of IPlugView and IPlugFrame that
// a view needs are declared; the interfaces it never calls stay opaque.
#pragma once

#include <cstring>

#include "vst3_types.h"

// A class or interface ID.  The IDs are published as four 32-bit words; on
// Windows VST3 stores them in the COM GUID byte order: the first word and
// the two halves of the second little-endian, the last two words big-endian.
struct vst3_uid {
    char bytes[16];
};

constexpr vst3_uid vst3_uid_of(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3)
{
    return vst3_uid{{
        (char)(w0 & 0xFF), (char)((w0 >> 8) & 0xFF), (char)((w0 >> 16) & 0xFF), (char)(w0 >> 24),
        (char)((w1 >> 16) & 0xFF), (char)(w1 >> 24), (char)(w1 & 0xFF), (char)((w1 >> 8) & 0xFF),
        (char)(w2 >> 24), (char)((w2 >> 16) & 0xFF), (char)((w2 >> 8) & 0xFF), (char)(w2 & 0xFF),
        (char)(w3 >> 24), (char)((w3 >> 16) & 0xFF), (char)((w3 >> 8) & 0xFF), (char)(w3 & 0xFF),
    }};
}

static inline bool vst3_uid_equal(const char* id, const vst3_uid& uid)
{
    return id != nullptr && std::memcmp(id, uid.bytes, sizeof uid.bytes) == 0;
}

inline constexpr vst3_uid iid_FUnknown = vst3_uid_of(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
inline constexpr vst3_uid iid_IPluginBase = vst3_uid_of(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
inline constexpr vst3_uid iid_IPluginFactory = vst3_uid_of(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
inline constexpr vst3_uid iid_IPluginFactory2 = vst3_uid_of(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
inline constexpr vst3_uid iid_IPluginFactory3 = vst3_uid_of(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
inline constexpr vst3_uid iid_IComponent = vst3_uid_of(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
inline constexpr vst3_uid iid_IAudioProcessor = vst3_uid_of(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
inline constexpr vst3_uid iid_IProcessContextRequirements =
    vst3_uid_of(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
inline constexpr vst3_uid iid_IConnectionPoint = vst3_uid_of(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);
inline constexpr vst3_uid iid_IEditController = vst3_uid_of(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
inline constexpr vst3_uid iid_IMidiMapping = vst3_uid_of(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);
inline constexpr vst3_uid iid_IComponentHandler = vst3_uid_of(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
inline constexpr vst3_uid iid_IBStream = vst3_uid_of(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
inline constexpr vst3_uid iid_IParameterChanges = vst3_uid_of(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
inline constexpr vst3_uid iid_IParamValueQueue = vst3_uid_of(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
inline constexpr vst3_uid iid_IMessage = vst3_uid_of(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613);
inline constexpr vst3_uid iid_IPlugView = vst3_uid_of(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
inline constexpr vst3_uid iid_IPlugFrame = vst3_uid_of(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

// The first slots of every table.  Each slot takes the face it was called
// through, which for a later face of a multi-face object is not the object.
#define VST3_FUNKNOWN_SLOTS(Face)                                      \
    tresult (*queryInterface)(Face * self, const TUID iid, void** obj); \
    uint32_t (*addRef)(Face * self);                                   \
    uint32_t (*release)(Face * self)

#define VST3_IPLUGINBASE_SLOTS(Face)                 \
    VST3_FUNKNOWN_SLOTS(Face);                       \
    tresult (*initialize)(Face * self, FUnknown* context); \
    tresult (*terminate)(Face * self)

struct FUnknown;
struct IPluginBase;
struct IPluginFactory;
struct IPluginFactory2;
struct IPluginFactory3;
struct IComponent;
struct IAudioProcessor;
struct IProcessContextRequirements;
struct IConnectionPoint;
struct IEditController;
struct IMidiMapping;
struct IComponentHandler;
struct IBStream;
struct IParameterChanges;
struct IParamValueQueue;
struct IMessage;
struct IAttributeList;
struct IPlugView;
struct IPlugFrame;

struct FUnknownVtbl {
    VST3_FUNKNOWN_SLOTS(FUnknown);
};

struct IPluginBaseVtbl {
    VST3_IPLUGINBASE_SLOTS(IPluginBase);
};

#define VST3_IPLUGINFACTORY_SLOTS(Face)                                               \
    VST3_FUNKNOWN_SLOTS(Face);                                                        \
    tresult (*getFactoryInfo)(Face * self, PFactoryInfo * info);                      \
    int32_t (*countClasses)(Face * self);                                             \
    tresult (*getClassInfo)(Face * self, int32_t index, PClassInfo* info);            \
    tresult (*createInstance)(Face * self, FIDString cid, FIDString iid, void** obj)

struct IPluginFactoryVtbl {
    VST3_IPLUGINFACTORY_SLOTS(IPluginFactory);
};

struct IPluginFactory2Vtbl {
    VST3_IPLUGINFACTORY_SLOTS(IPluginFactory2);
    tresult (*getClassInfo2)(IPluginFactory2* self, int32_t index, PClassInfo2* info);
};

struct IPluginFactory3Vtbl {
    VST3_IPLUGINFACTORY_SLOTS(IPluginFactory3);
    tresult (*getClassInfo2)(IPluginFactory3* self, int32_t index, PClassInfo2* info);
    tresult (*getClassInfoUnicode)(IPluginFactory3* self, int32_t index, PClassInfoW* info);
    tresult (*setHostContext)(IPluginFactory3* self, FUnknown* context);
};

struct IComponentVtbl {
    VST3_IPLUGINBASE_SLOTS(IComponent);
    tresult (*getControllerClassId)(IComponent* self, TUID classId);
    tresult (*setIoMode)(IComponent* self, IoMode mode);
    int32_t (*getBusCount)(IComponent* self, MediaType type, BusDirection dir);
    tresult (*getBusInfo)(IComponent* self, MediaType type, BusDirection dir, int32_t index, BusInfo* bus);
    tresult (*getRoutingInfo)(IComponent* self, RoutingInfo* inInfo, RoutingInfo* outInfo);
    tresult (*activateBus)(IComponent* self, MediaType type, BusDirection dir, int32_t index, TBool state);
    tresult (*setActive)(IComponent* self, TBool state);
    tresult (*setState)(IComponent* self, IBStream* state);
    tresult (*getState)(IComponent* self, IBStream* state);
};

struct IAudioProcessorVtbl {
    VST3_FUNKNOWN_SLOTS(IAudioProcessor);
    tresult (*setBusArrangements)(IAudioProcessor* self, SpeakerArrangement* inputs, int32_t numIns,
                                  SpeakerArrangement* outputs, int32_t numOuts);
    tresult (*getBusArrangement)(IAudioProcessor* self, BusDirection dir, int32_t index, SpeakerArrangement* arr);
    tresult (*canProcessSampleSize)(IAudioProcessor* self, int32_t symbolicSampleSize);
    uint32_t (*getLatencySamples)(IAudioProcessor* self);
    tresult (*setupProcessing)(IAudioProcessor* self, ProcessSetup* setup);
    tresult (*setProcessing)(IAudioProcessor* self, TBool state);
    tresult (*process)(IAudioProcessor* self, ProcessData* data);
    uint32_t (*getTailSamples)(IAudioProcessor* self);
};

struct IProcessContextRequirementsVtbl {
    VST3_FUNKNOWN_SLOTS(IProcessContextRequirements);
    uint32_t (*getProcessContextRequirements)(IProcessContextRequirements* self);
};

struct IConnectionPointVtbl {
    VST3_FUNKNOWN_SLOTS(IConnectionPoint);
    tresult (*connect)(IConnectionPoint* self, IConnectionPoint* other);
    tresult (*disconnect)(IConnectionPoint* self, IConnectionPoint* other);
    tresult (*notify)(IConnectionPoint* self, IMessage* message);
};

struct IEditControllerVtbl {
    VST3_IPLUGINBASE_SLOTS(IEditController);
    tresult (*setComponentState)(IEditController* self, IBStream* state);
    tresult (*setState)(IEditController* self, IBStream* state);
    tresult (*getState)(IEditController* self, IBStream* state);
    int32_t (*getParameterCount)(IEditController* self);
    tresult (*getParameterInfo)(IEditController* self, int32_t paramIndex, ParameterInfo* info);
    tresult (*getParamStringByValue)(IEditController* self, ParamID id, ParamValue valueNormalized,
                                     char16* string);
    tresult (*getParamValueByString)(IEditController* self, ParamID id, char16* string,
                                     ParamValue* valueNormalized);
    ParamValue (*normalizedParamToPlain)(IEditController* self, ParamID id, ParamValue valueNormalized);
    ParamValue (*plainParamToNormalized)(IEditController* self, ParamID id, ParamValue plainValue);
    ParamValue (*getParamNormalized)(IEditController* self, ParamID id);
    tresult (*setParamNormalized)(IEditController* self, ParamID id, ParamValue value);
    tresult (*setComponentHandler)(IEditController* self, IComponentHandler* handler);
    IPlugView* (*createView)(IEditController* self, FIDString name);
};

struct IMidiMappingVtbl {
    VST3_FUNKNOWN_SLOTS(IMidiMapping);
    tresult (*getMidiControllerAssignment)(IMidiMapping* self, int32_t busIndex, int16_t channel,
                                           CtrlNumber midiControllerNumber, ParamID* id);
};

struct IComponentHandlerVtbl {
    VST3_FUNKNOWN_SLOTS(IComponentHandler);
    tresult (*beginEdit)(IComponentHandler* self, ParamID id);
    tresult (*performEdit)(IComponentHandler* self, ParamID id, ParamValue valueNormalized);
    tresult (*endEdit)(IComponentHandler* self, ParamID id);
    tresult (*restartComponent)(IComponentHandler* self, int32_t flags);
};

struct IBStreamVtbl {
    VST3_FUNKNOWN_SLOTS(IBStream);
    tresult (*read)(IBStream* self, void* buffer, int32_t numBytes, int32_t* numBytesRead);
    tresult (*write)(IBStream* self, void* buffer, int32_t numBytes, int32_t* numBytesWritten);
    tresult (*seek)(IBStream* self, int64_t pos, int32_t mode, int64_t* result);
    tresult (*tell)(IBStream* self, int64_t* pos);
};

struct IParameterChangesVtbl {
    VST3_FUNKNOWN_SLOTS(IParameterChanges);
    int32_t (*getParameterCount)(IParameterChanges* self);
    IParamValueQueue* (*getParameterData)(IParameterChanges* self, int32_t index);
    IParamValueQueue* (*addParameterData)(IParameterChanges* self, const ParamID* id, int32_t* index);
};

struct IParamValueQueueVtbl {
    VST3_FUNKNOWN_SLOTS(IParamValueQueue);
    ParamID (*getParameterId)(IParamValueQueue* self);
    int32_t (*getPointCount)(IParamValueQueue* self);
    tresult (*getPoint)(IParamValueQueue* self, int32_t index, int32_t* sampleOffset, ParamValue* value);
    tresult (*addPoint)(IParamValueQueue* self, int32_t sampleOffset, ParamValue value, int32_t* index);
};

struct IMessageVtbl {
    VST3_FUNKNOWN_SLOTS(IMessage);
    FIDString (*getMessageID)(IMessage* self);
    void (*setMessageID)(IMessage* self, FIDString id);
    IAttributeList* (*getAttributes)(IMessage* self);
};

struct IPlugViewVtbl {
    VST3_FUNKNOWN_SLOTS(IPlugView);
    tresult (*isPlatformTypeSupported)(IPlugView* self, FIDString type);
    tresult (*attached)(IPlugView* self, void* parent, FIDString type);
    tresult (*removed)(IPlugView* self);
    tresult (*onWheel)(IPlugView* self, float distance);
    tresult (*onKeyDown)(IPlugView* self, char16 key, int16_t keyCode, int16_t modifiers);
    tresult (*onKeyUp)(IPlugView* self, char16 key, int16_t keyCode, int16_t modifiers);
    tresult (*getSize)(IPlugView* self, ViewRect* size);
    tresult (*onSize)(IPlugView* self, ViewRect* newSize);
    tresult (*onFocus)(IPlugView* self, TBool state);
    tresult (*setFrame)(IPlugView* self, IPlugFrame* frame);
    tresult (*canResize)(IPlugView* self);
    tresult (*checkSizeConstraint)(IPlugView* self, ViewRect* rect);
};

struct IPlugFrameVtbl {
    VST3_FUNKNOWN_SLOTS(IPlugFrame);
    tresult (*resizeView)(IPlugFrame* self, IPlugView* view, ViewRect* newSize);
};

#undef VST3_IPLUGINFACTORY_SLOTS
#undef VST3_IPLUGINBASE_SLOTS
#undef VST3_FUNKNOWN_SLOTS

// The objects: a pointer to the table, as the host sees them.
struct FUnknown { const FUnknownVtbl* vtbl; };
struct IPluginBase { const IPluginBaseVtbl* vtbl; };
struct IPluginFactory { const IPluginFactoryVtbl* vtbl; };
struct IPluginFactory2 { const IPluginFactory2Vtbl* vtbl; };
struct IPluginFactory3 { const IPluginFactory3Vtbl* vtbl; };
struct IComponent { const IComponentVtbl* vtbl; };
struct IAudioProcessor { const IAudioProcessorVtbl* vtbl; };
struct IProcessContextRequirements { const IProcessContextRequirementsVtbl* vtbl; };
struct IConnectionPoint { const IConnectionPointVtbl* vtbl; };
struct IEditController { const IEditControllerVtbl* vtbl; };
struct IMidiMapping { const IMidiMappingVtbl* vtbl; };
struct IComponentHandler { const IComponentHandlerVtbl* vtbl; };
struct IBStream { const IBStreamVtbl* vtbl; };
struct IParameterChanges { const IParameterChangesVtbl* vtbl; };
struct IParamValueQueue { const IParamValueQueueVtbl* vtbl; };
struct IMessage { const IMessageVtbl* vtbl; };
struct IPlugView { const IPlugViewVtbl* vtbl; };
struct IPlugFrame { const IPlugFrameVtbl* vtbl; };

// Slot counts: a missing or extra slot shifts every later call.
static_assert(sizeof(FUnknownVtbl) == 3 * sizeof(void*), "FUnknown");
static_assert(sizeof(IPluginBaseVtbl) == 5 * sizeof(void*), "IPluginBase");
static_assert(sizeof(IPluginFactoryVtbl) == 7 * sizeof(void*), "IPluginFactory");
static_assert(sizeof(IPluginFactory2Vtbl) == 8 * sizeof(void*), "IPluginFactory2");
static_assert(sizeof(IPluginFactory3Vtbl) == 10 * sizeof(void*), "IPluginFactory3");
static_assert(sizeof(IComponentVtbl) == 14 * sizeof(void*), "IComponent");
static_assert(sizeof(IAudioProcessorVtbl) == 11 * sizeof(void*), "IAudioProcessor");
static_assert(sizeof(IProcessContextRequirementsVtbl) == 4 * sizeof(void*), "IProcessContextRequirements");
static_assert(sizeof(IConnectionPointVtbl) == 6 * sizeof(void*), "IConnectionPoint");
static_assert(sizeof(IEditControllerVtbl) == 18 * sizeof(void*), "IEditController");
static_assert(sizeof(IMidiMappingVtbl) == 4 * sizeof(void*), "IMidiMapping");
static_assert(sizeof(IComponentHandlerVtbl) == 7 * sizeof(void*), "IComponentHandler");
static_assert(sizeof(IBStreamVtbl) == 7 * sizeof(void*), "IBStream");
static_assert(sizeof(IParameterChangesVtbl) == 6 * sizeof(void*), "IParameterChanges");
static_assert(sizeof(IParamValueQueueVtbl) == 7 * sizeof(void*), "IParamValueQueue");
static_assert(sizeof(IMessageVtbl) == 6 * sizeof(void*), "IMessage");
static_assert(sizeof(IPlugViewVtbl) == 15 * sizeof(void*), "IPlugView");
static_assert(sizeof(IPlugFrameVtbl) == 4 * sizeof(void*), "IPlugFrame");
