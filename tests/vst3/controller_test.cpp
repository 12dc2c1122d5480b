#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "vst3_processor_fixture.h"

namespace {

const ParamID drive_id = 0x74888ACA;
const ParamID mix_id = 0x3615B43C;
const ParamID volume_id = 0x06DC463A;
const ParamID bypass_id = 0x08FC0058;
const ParamID unknown_id = 0x74888ACB;

class vst3_controller : public vst3_processor_test {
protected:
    void SetUp() override
    {
        vst3_processor_test::SetUp();
        controller = create_controller(factory);
        ASSERT_NE(controller, nullptr);
        ASSERT_EQ(controller->vtbl->initialize(controller, &context.face), kResultOk);
    }

    void TearDown() override
    {
        if (controller != nullptr) {
            controller->vtbl->terminate(controller);
            release_face(controller);
        }
        vst3_processor_test::TearDown();
    }

    std::u16string text_of(ParamID id, double normalized)
    {
        String128 text;
        memset(text, 0xAB, sizeof text);
        EXPECT_EQ(controller->vtbl->getParamStringByValue(controller, id, normalized, text), kResultOk);
        return std::u16string(text);
    }

    double value_of(ParamID id, const char16* text)
    {
        String128 s = {};
        std::char_traits<char16>::copy(s, text, std::char_traits<char16>::length(text));
        double normalized = -12345.0;
        EXPECT_EQ(controller->vtbl->getParamValueByString(controller, id, s, &normalized), kResultOk);
        return normalized;
    }

    IEditController* controller = nullptr;
};

std::u16string u16_of(const char* s)
{
    return std::u16string(s, s + strlen(s));
}

TEST_F(vst3_controller, faces_and_the_plain_answers)
{
    IEditController* c = controller;
    IMidiMapping* midi = query_face<IEditController, IMidiMapping>(c, iid_IMidiMapping);
    IConnectionPoint* connection = query_face<IEditController, IConnectionPoint>(c, iid_IConnectionPoint);
    ASSERT_NE(midi, nullptr);
    ASSERT_NE(connection, nullptr);
    for (FUnknown* face : {(FUnknown*)c, (FUnknown*)midi, (FUnknown*)connection}) {
        EXPECT_EQ(query_face(face, iid_IEditController), (FUnknown*)c);
        release_face(c);
        EXPECT_EQ(query_face(face, iid_IPluginBase), (FUnknown*)c);
        release_face(c);
        EXPECT_EQ(query_face(face, iid_IMidiMapping), (FUnknown*)midi);
        release_face(midi);
        EXPECT_EQ(query_face(face, iid_IConnectionPoint), (FUnknown*)connection);
        release_face(connection);
        EXPECT_EQ(query_face(face, iid_IComponent), nullptr);
    }
    // Two references handed out above, one at creation.
    EXPECT_EQ(c->vtbl->addRef(c), 4u);
    EXPECT_EQ(release_face(c), 3u);

    EXPECT_EQ(c->vtbl->initialize(c, &context.face), kResultFalse);
    EXPECT_EQ(context.ref_count, 1);
    EXPECT_EQ(c->vtbl->getParameterCount(c), 6);
    test_stream stream;
    test_stream_init(stream);
    EXPECT_EQ(c->vtbl->setState(c, &stream.face), kNotImplemented);
    EXPECT_EQ(c->vtbl->getState(c, &stream.face), kNotImplemented);
    EXPECT_EQ(c->vtbl->createView(c, "editor"), nullptr);

    test_unknown peer;
    test_unknown_init(peer);
    EXPECT_EQ(connection->vtbl->connect(connection, nullptr), kInvalidArgument);
    EXPECT_EQ(connection->vtbl->connect(connection, (IConnectionPoint*)&peer.face), kResultOk);
    EXPECT_EQ(peer.ref_count, 1);
    EXPECT_EQ(connection->vtbl->notify(connection, nullptr), kResultOk);
    EXPECT_EQ(connection->vtbl->disconnect(connection, nullptr), kResultOk);

    // No MIDI controller is mapped to any parameter.
    for (CtrlNumber number : {0, 1, 7, 64, 127, 128, 129, 130}) {
        ParamID id = 0;
        EXPECT_EQ(midi->vtbl->getMidiControllerAssignment(midi, 0, 0, number, &id), kInvalidArgument) << number;
    }
    release_face(midi);
    release_face(connection);
}

TEST_F(vst3_controller, parameter_information_as_the_table_gives_it)
{
    struct info_case {
        ParamID id;
        const char* title;
        const char* units;
        int32_t steps;
        double normalized_default;
        int32_t flags;
    };
    const info_case cases[6] = {
        {0x74888ACA, "Drive", "%", 0, 0.5, 0x1},  {0x4C2D6AF2, "Tone", "%", 0, 0.5, 0x1},
        {0x18E203D0, "Heat", "%", 0, 0.5, 0x1},   {0x3615B43C, "Mix", "%", 0, 1.0, 0x1},
        {0x06DC463A, "Volume", "%", 0, 0.5, 0x1}, {0x08FC0058, "Bypass", "", 1, 0.0, 0x10001},
    };
    for (int32_t i = 0; i < 6; ++i) {
        ParameterInfo info;
        memset(&info, 0xAB, sizeof info);
        ASSERT_EQ(controller->vtbl->getParameterInfo(controller, i, &info), kResultOk);
        EXPECT_EQ(info.id, cases[i].id);
        EXPECT_EQ(std::u16string(info.title), u16_of(cases[i].title));
        EXPECT_EQ(std::u16string(info.shortTitle), u16_of(cases[i].title));
        EXPECT_EQ(std::u16string(info.units), u16_of(cases[i].units));
        EXPECT_EQ(info.stepCount, cases[i].steps);
        EXPECT_EQ(info.defaultNormalizedValue, cases[i].normalized_default);
        EXPECT_EQ(info.unitId, 0);
        EXPECT_EQ(info.flags, cases[i].flags);
    }
    ParameterInfo info;
    EXPECT_EQ(controller->vtbl->getParameterInfo(controller, 6, &info), kResultFalse);
    EXPECT_EQ(controller->vtbl->getParameterInfo(controller, -1, &info), kResultFalse);
}

TEST_F(vst3_controller, value_texts_have_two_decimals_cut_toward_zero)
{
    struct text_case {
        ParamID id;
        double normalized;
        const char16* text;
    };
    const text_case cases[] = {
        {drive_id, 0.5, u"50.00"}, {bypass_id, 1.0, u"1.00"}, {drive_id, 0.29, u"28.99"},
        {volume_id, 1.0, u"200.00"}, {drive_id, 0.0, u"0.00"}, {drive_id, 0.125, u"12.50"},
        {drive_id, 0.005, u"0.50"}, {drive_id, -0.1, u"-10.00"}, {volume_id, 5.0, u"1000.00"},
    };
    for (const text_case& k : cases)
        EXPECT_EQ(text_of(k.id, k.normalized), std::u16string(k.text)) << k.normalized;

    String128 text;
    memset(text, 0xAB, sizeof text);
    EXPECT_EQ(controller->vtbl->getParamStringByValue(controller, unknown_id, 0.5, text), kResultFalse);
    // A value with more digits than the text holds, or none at all, has no text.
    for (double absurd : {1e300, -1e300, (double)INFINITY, std::nan("")})
        EXPECT_EQ(controller->vtbl->getParamStringByValue(controller, drive_id, absurd, text), kResultFalse);
    EXPECT_EQ(text[0], 0xABAB);
}

TEST_F(vst3_controller, typed_texts_are_read_with_their_fraction)
{
    struct parse_case {
        ParamID id;
        const char16* text;
        double normalized;
    };
    const parse_case cases[] = {
        {volume_id, u"100", 0.5},     {volume_id, u"-20", -0.1},     {drive_id, u"50.00", 0.5},
        {drive_id, u"28.99", 0.2899}, {drive_id, u"12.5", 0.125},    {drive_id, u"12,5", 0.125},
        {drive_id, u"12.5 %", 0.125}, {drive_id, u"7%", 0.07},       {drive_id, u"150", 1.5},
        {drive_id, u"abc", 0.0},      {drive_id, u"", 0.0},          {drive_id, u"-", 0.0},
        {drive_id, u".5", 0.005},     {drive_id, u"-3.25dB", -0.0325}, {drive_id, u"3.", 0.03},
        {drive_id, u" 12", 0.0},
    };
    for (const parse_case& k : cases)
        EXPECT_DOUBLE_EQ(value_of(k.id, k.text), k.normalized) << std::string(k.text, k.text + std::char_traits<char16>::length(k.text));

    // The text getParamStringByValue wrote reads back as the number it shows.
    EXPECT_DOUBLE_EQ(value_of(drive_id, text_of(drive_id, 0.29).c_str()), 0.2899);

    String128 s = {u'1'};
    double normalized = 7.0;
    EXPECT_EQ(controller->vtbl->getParamValueByString(controller, unknown_id, s, &normalized), kResultFalse);
    EXPECT_EQ(normalized, 7.0);
    // Digits to the last unit of the field, with no terminator: reading stops there.
    for (char16& c : s)
        c = u'9';
    EXPECT_EQ(controller->vtbl->getParamValueByString(controller, drive_id, s, &normalized), kResultOk);
    EXPECT_GT(normalized, 1e100);
}

TEST_F(vst3_controller, conversions_follow_the_range_without_clamping)
{
    IEditController* c = controller;
    EXPECT_EQ(c->vtbl->normalizedParamToPlain(c, bypass_id, 0.3), 0.3);
    EXPECT_EQ(c->vtbl->normalizedParamToPlain(c, volume_id, 0.5), 100.0);
    EXPECT_EQ(c->vtbl->normalizedParamToPlain(c, drive_id, 1.5), 150.0);
    EXPECT_EQ(c->vtbl->plainParamToNormalized(c, volume_id, 50.0), 0.25);
    EXPECT_EQ(c->vtbl->plainParamToNormalized(c, mix_id, -10.0), -0.1);
    EXPECT_EQ(c->vtbl->getParamNormalized(c, volume_id), 0.5);
    EXPECT_EQ(c->vtbl->getParamNormalized(c, mix_id), 1.0);
    // An id that names no parameter gives 0.
    EXPECT_EQ(c->vtbl->normalizedParamToPlain(c, unknown_id, 0.5), 0.0);
    EXPECT_EQ(c->vtbl->plainParamToNormalized(c, unknown_id, 50.0), 0.0);
    EXPECT_EQ(c->vtbl->getParamNormalized(c, unknown_id), 0.0);
}

TEST_F(vst3_controller, set_param_normalized_snaps_and_clamps)
{
    IEditController* c = controller;
    struct set_case {
        ParamID id;
        double value;
        double stored;
    };
    const set_case cases[] = {
        {bypass_id, 0.5, 1.0}, {bypass_id, 0.49, 0.0}, {mix_id, 1.5, 1.0}, {drive_id, -1.0, 0.0},
        {volume_id, 0.75, 0.75},
    };
    for (const set_case& k : cases) {
        EXPECT_EQ(c->vtbl->setParamNormalized(c, k.id, k.value), kResultOk);
        EXPECT_EQ(c->vtbl->getParamNormalized(c, k.id), k.stored) << k.value;
    }
    EXPECT_EQ(c->vtbl->setParamNormalized(c, unknown_id, 0.5), kResultFalse);
    // Not a number cannot be clamped: refused, and the value stays.
    EXPECT_EQ(c->vtbl->setParamNormalized(c, volume_id, std::nan("")), kInvalidArgument);
    EXPECT_EQ(c->vtbl->getParamNormalized(c, volume_id), 0.75);
}

TEST_F(vst3_controller, component_state_from_a_processor_blob)
{
    test_processor_start(processor, 48000.0);
    test_changes changes;
    test_changes_init(changes);
    const double normalized[6] = {0.1, 0.2, 0.3, 0.4, 0.8, 1.0};
    for (int i = 0; i < 6; ++i)
        test_changes_add_queue(changes, param_table[i].vst3_id, {{0, normalized[i]}});
    test_processor_flush(processor, &changes.face);
    saved_state s = saved(processor);

    test_stream stream;
    test_stream_init_with(stream, s.blob);
    ASSERT_EQ(controller->vtbl->setComponentState(controller, &stream.face), kResultOk);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(controller->vtbl->getParamNormalized(controller, param_table[i].vst3_id), normalized[i], 1e-7) << i;

    // Rejected blobs and unreadable streams change nothing.
    std::vector<char> cut(s.blob.begin(), s.blob.begin() + 1000);
    test_stream bad, unreadable;
    test_stream_init_with(bad, cut);
    test_stream_init_with(unreadable, s.blob, stream_short_read);
    EXPECT_EQ(controller->vtbl->setComponentState(controller, &bad.face), kResultFalse);
    EXPECT_EQ(controller->vtbl->setComponentState(controller, &unreadable.face), kResultFalse);
    EXPECT_EQ(controller->vtbl->setComponentState(controller, nullptr), kResultFalse);
    EXPECT_NEAR(controller->vtbl->getParamNormalized(controller, drive_id), 0.1, 1e-7);
}

TEST_F(vst3_controller, the_component_handler_is_held_once)
{
    IEditController* c = controller;
    test_handler first, second;
    test_handler_init(first);
    test_handler_init(second);
    EXPECT_EQ(c->vtbl->setComponentHandler(c, &first.face), kResultOk);
    EXPECT_EQ(first.ref_count, 2);
    EXPECT_EQ(c->vtbl->setComponentHandler(c, &first.face), kResultOk);
    EXPECT_EQ(first.ref_count, 2);
    EXPECT_EQ(c->vtbl->setComponentHandler(c, &second.face), kResultOk);
    EXPECT_EQ(first.ref_count, 1);
    EXPECT_EQ(second.ref_count, 2);
    EXPECT_EQ(c->vtbl->setComponentHandler(c, nullptr), kResultOk);
    EXPECT_EQ(second.ref_count, 1);
    EXPECT_EQ(c->vtbl->setComponentHandler(c, &second.face), kResultOk);
    // Destroying the controller lets go of the handler it still holds.
    release_face(c);
    controller = nullptr;
    EXPECT_EQ(second.ref_count, 1);
    EXPECT_EQ(first.edit_calls + second.edit_calls, 0);
}

}  // namespace
