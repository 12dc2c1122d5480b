#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <cmath>

#include "vst3_processor_fixture.h"

namespace {

typedef vst3_processor_test vst3_processor;

const float defaults[param_count] = {50, 50, 50, 100, 100, 0};
const ParamID drive_id = 0x74888ACA;
const ParamID tone_id = 0x4C2D6AF2;
const ParamID bypass_id = 0x08FC0058;

// A face's reference count, seen through the count addRef returns.
uint32_t count_of(FUnknown* face)
{
    face->vtbl->addRef(face);
    return face->vtbl->release(face);
}

TEST_F(vst3_processor, every_face_answers_for_all_four)
{
    IComponent* c = processor.component;
    FUnknown* faces[4] = {
        (FUnknown*)c,
        (FUnknown*)processor.audio,
        query_face(c, iid_IProcessContextRequirements),
        query_face(c, iid_IConnectionPoint),
    };
    for (FUnknown* f : faces)
        ASSERT_NE(f, nullptr);
    EXPECT_EQ(faces[1], (FUnknown*)((char*)c + sizeof(void*)));

    struct expect_case {
        const vst3_uid* iid;
        FUnknown* face;
    };
    const expect_case cases[] = {
        {&iid_FUnknown, faces[0]}, {&iid_IPluginBase, faces[0]}, {&iid_IComponent, faces[0]},
        {&iid_IAudioProcessor, faces[1]}, {&iid_IProcessContextRequirements, faces[2]},
        {&iid_IConnectionPoint, faces[3]}, {&iid_IEditController, nullptr}, {&iid_IMidiMapping, nullptr},
    };
    uint32_t base = count_of(faces[0]);
    for (FUnknown* from : faces) {
        for (const expect_case& e : cases) {
            void* obj = (void*)&e;
            tresult r = from->vtbl->queryInterface(from, e.iid->bytes, &obj);
            EXPECT_EQ(obj, (void*)e.face);
            EXPECT_EQ(r, e.face != nullptr ? kResultOk : kNoInterface);
            if (e.face == nullptr)
                continue;
            // One reference more, whichever face it is counted on.
            EXPECT_EQ(count_of(from), base + 1);
            EXPECT_EQ(e.face->vtbl->release(e.face), base);
        }
    }
    release_face(faces[2]);
    release_face(faces[3]);
}

TEST_F(vst3_processor, initialize_keeps_the_first_context_and_takes_no_reference)
{
    IComponent* c = processor.component;
    test_unknown other;
    test_unknown_init(other);
    EXPECT_EQ(c->vtbl->initialize(c, &other.face), kResultFalse);
    EXPECT_EQ(context.ref_count, 1);
    EXPECT_EQ(other.ref_count, 1);
    EXPECT_EQ(c->vtbl->terminate(c), kResultOk);
    EXPECT_EQ(c->vtbl->initialize(c, &other.face), kResultOk);
    EXPECT_EQ(other.ref_count, 1);
}

TEST_F(vst3_processor, one_mono_audio_bus_each_way)
{
    IComponent* c = processor.component;
    struct count_case {
        MediaType type;
        BusDirection dir;
        int32_t count;
    };
    const count_case counts[] = {
        {kAudio, kInput, 1}, {kAudio, kOutput, 1}, {kEvent, kInput, 0}, {kEvent, kOutput, 0}, {kAudio, 2, 0},
    };
    for (const count_case& k : counts)
        EXPECT_EQ(c->vtbl->getBusCount(c, k.type, k.dir), k.count) << k.type << " " << k.dir;

    const char16* names[2] = {u"Input", u"Output"};
    for (BusDirection dir : {kInput, kOutput}) {
        BusInfo bus;
        memset(&bus, 0xAB, sizeof bus);
        ASSERT_EQ(c->vtbl->getBusInfo(c, kAudio, dir, 0, &bus), kResultOk);
        EXPECT_EQ(bus.mediaType, kAudio);
        EXPECT_EQ(bus.direction, dir);
        EXPECT_EQ(bus.channelCount, 1);
        EXPECT_EQ(std::u16string(bus.name), std::u16string(names[dir]));
        for (size_t i = std::u16string(names[dir]).size(); i < 128; ++i)
            EXPECT_EQ(bus.name[i], 0);
        EXPECT_EQ(bus.busType, kMain);
        EXPECT_EQ(bus.flags, 1u);
    }

    struct bus_case {
        MediaType type;
        BusDirection dir;
        int32_t index;
    };
    const bus_case invalid[] = {{kEvent, kInput, 0}, {kAudio, 2, 0}, {kAudio, -1, 0}, {kAudio, kInput, 1},
                                {kAudio, kOutput, -1}};
    for (const bus_case& b : invalid) {
        BusInfo bus;
        EXPECT_EQ(c->vtbl->getBusInfo(c, b.type, b.dir, b.index, &bus), kInvalidArgument);
        EXPECT_EQ(c->vtbl->activateBus(c, b.type, b.dir, b.index, 1), kInvalidArgument);
    }
    RoutingInfo in = {}, out = {};
    EXPECT_EQ(c->vtbl->getRoutingInfo(c, &in, &out), kNotImplemented);
    EXPECT_EQ(c->vtbl->setIoMode(c, 0), kNotImplemented);
}

TEST_F(vst3_processor, only_mono_in_and_out_is_accepted)
{
    IAudioProcessor* a = processor.audio;
    SpeakerArrangement mono[2] = {kMono, kMono};
    SpeakerArrangement stereo[2] = {kStereo, kStereo};
    struct arrangement_case {
        const char* what;
        SpeakerArrangement* ins;
        int32_t num_ins;
        SpeakerArrangement* outs;
        int32_t num_outs;
        tresult result;
    };
    const arrangement_case cases[] = {
        {"mono to mono", mono, 1, mono, 1, kResultOk},
        {"stereo to stereo", stereo, 1, stereo, 1, kResultFalse},
        {"two stereo buses", stereo, 2, stereo, 2, kResultFalse},
        {"mono to stereo", mono, 1, stereo, 1, kResultFalse},
        {"two mono inputs", mono, 2, mono, 1, kResultFalse},
        {"no buses", mono, 0, mono, 0, kResultFalse},
        {"negative input count", mono, -1, mono, 1, kInvalidArgument},
        {"negative output count", mono, 1, mono, -1, kInvalidArgument},
    };
    for (const arrangement_case& k : cases)
        EXPECT_EQ(a->vtbl->setBusArrangements(a, k.ins, k.num_ins, k.outs, k.num_outs), k.result) << k.what;

    for (BusDirection dir : {kInput, kOutput}) {
        SpeakerArrangement arr = 0;
        EXPECT_EQ(a->vtbl->getBusArrangement(a, dir, 0, &arr), kResultOk);
        EXPECT_EQ(arr, (SpeakerArrangement)0x80000);
    }
    SpeakerArrangement arr = 0;
    EXPECT_EQ(a->vtbl->getBusArrangement(a, kInput, 1, &arr), kInvalidArgument);
    EXPECT_EQ(a->vtbl->getBusArrangement(a, 2, 0, &arr), kInvalidArgument);
}

TEST_F(vst3_processor, processing_properties)
{
    IAudioProcessor* a = processor.audio;
    EXPECT_EQ(a->vtbl->canProcessSampleSize(a, kSample32), kResultOk);
    EXPECT_EQ(a->vtbl->canProcessSampleSize(a, kSample64), kNotImplemented);
    EXPECT_EQ(a->vtbl->getLatencySamples(a), 0u);
    EXPECT_EQ(a->vtbl->getTailSamples(a), 0u);
    EXPECT_EQ(a->vtbl->setProcessing(a, 1), kNotImplemented);
    IProcessContextRequirements* r =
        query_face<IComponent, IProcessContextRequirements>(processor.component, iid_IProcessContextRequirements);
    EXPECT_EQ(r->vtbl->getProcessContextRequirements(r), 0u);
    release_face(r);
}

TEST_F(vst3_processor, the_connection_point_accepts_and_keeps_nothing)
{
    IConnectionPoint* p = query_face<IComponent, IConnectionPoint>(processor.component, iid_IConnectionPoint);
    test_unknown peer;
    test_unknown_init(peer);
    EXPECT_EQ(p->vtbl->connect(p, nullptr), kInvalidArgument);
    EXPECT_EQ(p->vtbl->connect(p, (IConnectionPoint*)&peer.face), kResultOk);
    EXPECT_EQ(peer.ref_count, 1);
    EXPECT_EQ(p->vtbl->notify(p, nullptr), kResultOk);
    EXPECT_EQ(p->vtbl->disconnect(p, (IConnectionPoint*)&peer.face), kResultOk);
    release_face(p);
}

// The before-block pass takes a queue's point at offset 0, the after-block
// pass its last point at a later offset.  Seen in the audio: a processor
// given the late point holds the same output as one given it at offset 0
// of the next block.
TEST_F(vst3_processor, changes_apply_before_and_after_the_block)
{
    const int32_t block = 256;
    std::vector<float> signal = plucked_signal(3 * block, 48000.0f);
    test_processor& both = processor;
    test_processor& split = another();
    test_processor& untouched = another();
    for (test_processor* t : {&both, &split, &untouched})
        test_processor_start(*t, 48000.0);

    test_changes first_and_last, first, last_as_first;
    test_changes_init(first_and_last);
    test_changes_init(first);
    test_changes_init(last_as_first);
    test_queue& q = test_changes_add_queue(first_and_last, drive_id, {{0, 0.9}, {50, 0.5}, {100, 0.1}});
    test_changes_add_queue(first, drive_id, {{0, 0.9}});
    test_changes_add_queue(last_as_first, drive_id, {{0, 0.1}});

    std::vector<float> a = run_blocks(both, signal, block, {&first_and_last.face});
    std::vector<float> b = run_blocks(split, signal, block, {&first.face, &last_as_first.face});
    std::vector<float> c = run_blocks(untouched, signal, block, {});
    EXPECT_TRUE(same_samples(a, b));
    EXPECT_FALSE(same_samples(a, c));
    // The point in between is never read.
    EXPECT_EQ(q.points_read, (std::vector<int32_t>{0, 2}));
    EXPECT_FLOAT_EQ(saved(both).values[param_drive], 10.0f);
}

TEST_F(vst3_processor, a_single_late_point_is_first_heard_in_the_next_block)
{
    const int32_t block = 128;
    std::vector<float> signal = plucked_signal(3 * block, 48000.0f);
    test_processor& late = processor;
    test_processor& next = another();
    test_processor& untouched = another();
    for (test_processor* t : {&late, &next, &untouched})
        test_processor_start(*t, 48000.0);

    test_changes at_64, at_0;
    test_changes_init(at_64);
    test_changes_init(at_0);
    test_queue& q = test_changes_add_queue(at_64, drive_id, {{64, 0.95}});
    test_changes_add_queue(at_0, drive_id, {{0, 0.95}});

    std::vector<float> a = run_blocks(late, signal, block, {&at_64.face});
    std::vector<float> b = run_blocks(next, signal, block, {nullptr, &at_0.face});
    std::vector<float> c = run_blocks(untouched, signal, block, {});
    EXPECT_TRUE(same_samples(a, b));
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + block, c.begin()));
    EXPECT_FALSE(same_samples(a, c));
    EXPECT_EQ(q.points_read, (std::vector<int32_t>{0, 0}));
}

// Queues the processor cannot use are passed over; the others still count.
TEST_F(vst3_processor, unusable_queues_are_skipped)
{
    test_processor_start(processor, 48000.0);
    test_changes changes;
    test_changes_init(changes);
    test_changes_add_queue(changes, 0x12345678, {{0, 0.7}});
    test_changes_add_absent(changes);
    test_changes_add_queue(changes, drive_id, {});
    test_changes_add_queue(changes, drive_id, {{0, 0.3}}).point_fails = true;
    test_changes_add_queue(changes, tone_id, {{0, 0.2}});
    EXPECT_EQ(test_processor_flush(processor, &changes.face), kResultOk);
    saved_state s = saved(processor);
    for (int i = 0; i < param_count; ++i)
        EXPECT_FLOAT_EQ(s.values[i], i == param_tone ? 20.0f : defaults[i]) << i;
}

struct mapping_case {
    const char* what;
    int index;
    double normalized;
    float plain;
};

TEST_F(vst3_processor, host_values_are_snapped_and_clamped)
{
    const mapping_case cases[] = {
        {"bypass at exactly 0.5 is on", param_bypass, 0.5, 1.0f},
        {"bypass at 0.49 is off", param_bypass, 0.49, 0.0f},
        {"drive above the range", param_drive, 1.5, 100.0f},
        {"drive below the range", param_drive, -0.5, 0.0f},
        {"volume", param_volume, 0.75, 150.0f},
        {"mix", param_mix, 0.25, 25.0f},
        // Not a number is no value at all: the engine keeps the last good one.
        {"drive not a number", param_drive, std::nan(""), 50.0f},
    };
    test_processor_start(processor, 48000.0);
    for (const mapping_case& k : cases) {
        test_changes changes;
        test_changes_init(changes);
        test_changes_add_queue(changes, param_table[k.index].vst3_id, {{0, k.normalized}});
        test_processor_flush(processor, &changes.face);
        EXPECT_EQ(saved(processor).values[k.index], k.plain) << k.what;
        // Back to the default for the next case.
        test_changes reset;
        test_changes_init(reset);
        test_changes_add_queue(reset, param_table[k.index].vst3_id, {{0, param_table[k.index].default_normalized}});
        test_processor_flush(processor, &reset.face);
    }
}

// Buses the host never activated make the processor silent, yet it still
// follows the host's parameter changes.
TEST_F(vst3_processor, inactive_buses_give_silence_on_every_output)
{
    SpeakerArrangement mono = kMono;
    processor.audio->vtbl->setBusArrangements(processor.audio, &mono, 1, &mono, 1);
    processor.component->vtbl->activateBus(processor.component, kAudio, kInput, 0, 1);
    test_processor_setup(processor, 48000.0);
    processor.component->vtbl->setActive(processor.component, 1);

    std::vector<float> in(64, 0.5f), ch[4];
    for (std::vector<float>& c : ch)
        c.assign(64, 1.0f);
    float* in_channels[1] = {in.data()};
    float* bus0[2] = {ch[0].data(), ch[1].data()};
    float* bus1[2] = {ch[2].data(), ch[3].data()};
    AudioBusBuffers inputs[1] = {{1, 0, {in_channels}}};
    AudioBusBuffers outputs[2] = {{2, 0, {bus0}}, {2, 0, {bus1}}};
    test_changes changes;
    test_changes_init(changes);
    test_changes_add_queue(changes, bypass_id, {{0, 1.0}});
    ProcessData data = {};
    data.numSamples = 64;
    data.numInputs = 1;
    data.numOutputs = 2;
    data.inputs = inputs;
    data.outputs = outputs;
    data.inputParameterChanges = &changes.face;
    EXPECT_EQ(processor.audio->vtbl->process(processor.audio, &data), kResultOk);
    for (const std::vector<float>& c : ch)
        EXPECT_EQ(c, std::vector<float>(64, 0.0f));
    EXPECT_EQ(saved(processor).values[param_bypass], 1.0f);
}

// More than the negotiated mono: the first channel is processed, every
// other output channel cleared; a missing side never makes it read a null
// pointer.
TEST_F(vst3_processor, extra_and_missing_channels)
{
    test_processor& reference = another();
    test_processor_start(processor, 48000.0);
    test_processor_start(reference, 48000.0);
    std::vector<float> signal = plucked_signal(256, 48000.0f);
    std::vector<float> expected = run_blocks(reference, signal, 256, {});

    std::vector<float> second_in(256, 0.25f), out0(256, 1.0f), out1(256, 1.0f), aux(256, 1.0f);
    float* in_channels[2] = {signal.data(), second_in.data()};
    float* out_channels[2] = {out0.data(), out1.data()};
    float* aux_channels[1] = {aux.data()};
    AudioBusBuffers inputs[1] = {{2, 0, {in_channels}}};
    AudioBusBuffers outputs[2] = {{2, 0, {out_channels}}, {1, 0, {aux_channels}}};
    ProcessData data = {};
    data.numSamples = 256;
    data.numInputs = 1;
    data.numOutputs = 2;
    data.inputs = inputs;
    data.outputs = outputs;
    processor.audio->vtbl->process(processor.audio, &data);
    EXPECT_TRUE(same_samples(out0, expected));
    EXPECT_EQ(out1, std::vector<float>(256, 0.0f));
    EXPECT_EQ(aux, std::vector<float>(256, 0.0f));

    // No input bus at all, or one without channel buffers: heard as silence,
    // which the effect, freshly reset, turns into silence.
    for (int32_t num_inputs : {0, 1}) {
        processor.component->vtbl->setActive(processor.component, 0);
        processor.component->vtbl->setActive(processor.component, 1);
        AudioBusBuffers empty_input = {1, 0, {nullptr}};
        out0.assign(256, 1.0f);
        data.numInputs = num_inputs;
        data.inputs = num_inputs ? &empty_input : nullptr;
        data.numOutputs = 1;
        processor.audio->vtbl->process(processor.audio, &data);
        EXPECT_EQ(out0, std::vector<float>(256, 0.0f)) << num_inputs;
    }

    // Nothing to write to: the block passes, its changes still count.
    test_changes changes;
    test_changes_init(changes);
    test_changes_add_queue(changes, tone_id, {{0, 0.8}});
    AudioBusBuffers null_channel = {1, 0, {nullptr}};
    float* null_buffer[1] = {nullptr};
    AudioBusBuffers null_buffer_bus = {1, 0, {null_buffer}};
    for (AudioBusBuffers* out_bus : {(AudioBusBuffers*)nullptr, &null_channel, &null_buffer_bus}) {
        data.numInputs = 1;
        data.inputs = inputs;
        data.numOutputs = out_bus != nullptr ? 1 : 0;
        data.outputs = out_bus;
        data.inputParameterChanges = &changes.face;
        EXPECT_EQ(processor.audio->vtbl->process(processor.audio, &data), kResultOk);
    }
    EXPECT_FLOAT_EQ(saved(processor).values[param_tone], 80.0f);
}

// Without a rate the engine can work at, activation leaves the processor
// silent (never dividing by zero, never giving not-a-number) until the host
// sets up a usable rate and activates again.
TEST_F(vst3_processor, unusable_rates_give_silence_until_a_usable_one)
{
    std::vector<float> signal = plucked_signal(512, 48000.0f);
    const double unusable[] = {-1.0, 0.0, 0.5, std::nan(""), 1e300, 1e12};
    SpeakerArrangement mono = kMono;
    IComponent* c = processor.component;
    processor.audio->vtbl->setBusArrangements(processor.audio, &mono, 1, &mono, 1);
    c->vtbl->activateBus(c, kAudio, kInput, 0, 1);
    c->vtbl->activateBus(c, kAudio, kOutput, 0, 1);

    // No setupProcessing at all.
    EXPECT_EQ(c->vtbl->setActive(c, 1), kResultOk);
    std::vector<float> out(512, 1.0f);
    test_processor_run(processor, signal.data(), out.data(), 512);
    EXPECT_EQ(out, std::vector<float>(512, 0.0f));

    for (double rate : unusable) {
        c->vtbl->setActive(c, 0);
        EXPECT_EQ(test_processor_setup(processor, rate), kResultOk);
        EXPECT_EQ(c->vtbl->setActive(c, 1), kResultOk);
        out.assign(512, 1.0f);
        test_processor_run(processor, signal.data(), out.data(), 512);
        EXPECT_EQ(out, std::vector<float>(512, 0.0f)) << rate;
    }
    EXPECT_EQ(saved(processor).sample_rate, 0.0f);

    c->vtbl->setActive(c, 0);
    test_processor_setup(processor, 44100.0);
    c->vtbl->setActive(c, 1);
    test_processor_run(processor, signal.data(), out.data(), 512);
    float peak = 0.0f;
    for (float x : out) {
        ASSERT_TRUE(std::isfinite(x));
        peak = std::max(peak, std::fabs(x));
    }
    EXPECT_GT(peak, 0.01f);
    EXPECT_EQ(saved(processor).sample_rate, 44100.0f);
}

const unsigned flush_to_zero = 0x8000u;
const unsigned denormals_are_zero = 0x0040u;
const unsigned round_toward_zero = 0x6000u;

// The block runs with denormals flushed; afterwards the host's own two bits
// are back, and the bits the processor never touches stay as they are.
TEST_F(vst3_processor, denormal_bits_are_set_for_the_block_and_given_back)
{
    test_processor_start(processor, 48000.0);
    std::vector<float> signal = plucked_signal(128, 48000.0f), out(128);
    const unsigned own_csr = _mm_getcsr();
    for (unsigned host_bits : {0u, denormals_are_zero, flush_to_zero, flush_to_zero | denormals_are_zero}) {
        const unsigned host_csr = (own_csr & ~(flush_to_zero | denormals_are_zero)) | host_bits | round_toward_zero;
        test_changes changes;
        test_changes_init(changes);
        _mm_setcsr(host_csr);
        test_processor_run(processor, signal.data(), out.data(), 128, &changes.face);
        unsigned after = _mm_getcsr();
        _mm_setcsr(own_csr);
        EXPECT_EQ(changes.csr_seen & (flush_to_zero | denormals_are_zero), flush_to_zero | denormals_are_zero);
        EXPECT_EQ(after & (flush_to_zero | denormals_are_zero), host_bits);
        EXPECT_EQ(after & round_toward_zero, round_toward_zero);
        EXPECT_EQ(after & 0x1F80u, host_csr & 0x1F80u);  // exception masks
    }
}

}  // namespace
