// The plain types, result codes, constants and boundary records of the VST3
// interfaces, declared from the published documentation for Windows x86-64.
// Every record that crosses between host and module is laid out with 8-byte
// packing, as the published Windows layout is, and its size is checked here.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int32_t tresult;
typedef uint8_t TBool;
typedef char16_t char16;
typedef char TUID[16];
typedef const char* FIDString;  // points at a 16-byte TUID, or at a C string
typedef char16 String128[128];

typedef uint32_t ParamID;
typedef double ParamValue;
typedef double SampleRate;
typedef float Sample32;
typedef double Sample64;
typedef uint64_t SpeakerArrangement;
typedef int32_t MediaType;
typedef int32_t BusDirection;
typedef int32_t BusType;
typedef int32_t IoMode;
typedef int32_t UnitID;
typedef int16_t CtrlNumber;

// On Windows the result codes are the COM HRESULTs of the same meaning.
enum : tresult {
    kResultOk = 0,
    kResultFalse = 1,
    kNoInterface = (tresult)0x80004002u,
    kInvalidArgument = (tresult)0x80070057u,
    kNotImplemented = (tresult)0x80004001u,
    kOutOfMemory = (tresult)0x8007000Eu
};

enum : MediaType { kAudio = 0, kEvent = 1 };
enum : BusDirection { kInput = 0, kOutput = 1 };
enum : BusType { kMain = 0 };
enum : uint32_t { kDefaultActive = 1 };
enum : int32_t { kSample32 = 0, kSample64 = 1 };
enum : int32_t { kRealtime = 0 };
enum : int32_t { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

enum : SpeakerArrangement {
    kSpeakerL = 1ull << 0,
    kSpeakerR = 1ull << 1,
    kSpeakerM = 1ull << 19,
    kMono = kSpeakerM,
    kStereo = kSpeakerL | kSpeakerR
};

// Factory and class information.
enum : int32_t {
    kManyInstances = 0x7FFFFFFF,
    kUnicode = 1 << 4,          // factory flag
    kDistributable = 1 << 0     // class flag
};
enum {
    kNameSize = 64,
    kURLSize = 256,
    kEmailSize = 128,
    kCategorySize = 32,
    kSubCategoriesSize = 128,
    kVendorSize = 64,
    kVersionSize = 64
};

#pragma pack(push, 8)

struct BusInfo {
    MediaType mediaType;
    BusDirection direction;
    int32_t channelCount;
    String128 name;
    BusType busType;
    uint32_t flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32_t busIndex;
    int32_t channel;
};

struct ParameterInfo {
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32_t stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32_t flags;
};

struct ProcessSetup {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32_t numChannels;
    uint64_t silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

struct IParameterChanges;
struct IEventList;
struct ProcessContext;

struct ProcessData {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t numSamples;
    int32_t numInputs;
    int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

struct PFactoryInfo {
    char vendor[kNameSize];
    char url[kURLSize];
    char email[kEmailSize];
    int32_t flags;
};

struct PClassInfo {
    TUID cid;
    int32_t cardinality;
    char category[kCategorySize];
    char name[kNameSize];
};

struct PClassInfo2 {
    TUID cid;
    int32_t cardinality;
    char category[kCategorySize];
    char name[kNameSize];
    uint32_t classFlags;
    char subCategories[kSubCategoriesSize];
    char vendor[kVendorSize];
    char version[kVersionSize];
    char sdkVersion[kVersionSize];
};

struct PClassInfoW {
    TUID cid;
    int32_t cardinality;
    char category[kCategorySize];
    char16 name[kNameSize];
    uint32_t classFlags;
    char subCategories[kSubCategoriesSize];
    char16 vendor[kVendorSize];
    char16 version[kVersionSize];
    char16 sdkVersion[kVersionSize];
};

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

#pragma pack(pop)

// A host reads these records at fixed offsets: any drift breaks every host.
static_assert(sizeof(BusInfo) == 276, "BusInfo");
static_assert(sizeof(RoutingInfo) == 12, "RoutingInfo");
static_assert(sizeof(ParameterInfo) == 792, "ParameterInfo");
static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776, "ParameterInfo");
static_assert(sizeof(ProcessSetup) == 24, "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24, "AudioBusBuffers");
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16, "AudioBusBuffers");
static_assert(sizeof(ProcessData) == 80, "ProcessData");
static_assert(offsetof(ProcessData, inputs) == 24, "ProcessData");
static_assert(sizeof(PFactoryInfo) == 452, "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116, "PClassInfo");
static_assert(sizeof(PClassInfo2) == 440, "PClassInfo2");
static_assert(sizeof(PClassInfoW) == 696, "PClassInfoW");
static_assert(offsetof(PClassInfoW, classFlags) == 180, "PClassInfoW");
static_assert(sizeof(ViewRect) == 16, "ViewRect");
