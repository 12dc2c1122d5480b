#include <cmath>
#include <complex>
#include <vector>

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "resampler.h"

namespace {

// The engine's cutoff factor for an oversampling factor.
static float cutoff_factor(int f)
{
    float ff = (float)f;
    return (1.2456399f * ff + (-0.83545053f)) * approx_rcp(ff + (-0.48647094f));
}

// The cascade's gain in dB at frequency hz, for the high rate fs_high,
// evaluated from the designed coefficients.
static double cascade_db(const resampler& rs, double hz, double fs_high)
{
    std::complex<double> z1 = std::polar(1.0, -two_pi * hz / fs_high), z2 = z1 * z1;
    std::complex<double> h = 1.0;
    for (int k = 0; k < resampler_sections; ++k) {
        std::complex<double> num = (double)rs.b0[k] + (double)rs.b1[k] * z1 + (double)rs.b0[k] * z2;
        std::complex<double> den = 1.0 - (double)rs.p[k] * z1 - (double)rs.q[k] * z2;
        h *= num / den;
    }
    return db_of(std::abs(h));
}

struct response_case {
    int factor;
    double hz_from, hz_to;  // the band checked, at a host rate of 48 kHz
    double db_min, db_max;
};

TEST(resampler, frequency_response)
{
    const response_case cases[] = {
        // The passband ripple peaks at about +0.053 dB near 19.5 kHz.
        {4, 10.0, 20000.0, -0.05, 0.055},
        {4, 22000.0, 22000.0, -2.0, -1.8},
        {4, 24000.0, 24000.0, -20.5, -19.5},
        {4, 28000.0, 96000.0, -400.0, -89.0},
        {2, 10.0, 20000.0, -0.05, 0.055},
        {2, 22000.0, 22000.0, -1.7, -1.5},
        {2, 26000.0, 26000.0, -80.0, -78.0},
        // The stopband's lobes reach about -99.6 dB.
        {2, 28000.0, 48000.0, -400.0, -99.5},
        {16, 10.0, 20000.0, -0.05, 0.055},
        {16, 22000.0, 22000.0, -1.1, -0.9},
        {16, 28000.0, 28000.0, -63.0, -61.0},
        {16, 30000.0, 384000.0, -400.0, -99.0},
    };
    for (const response_case& c : cases) {
        resampler rs{};
        resampler_init(rs, c.factor, cutoff_factor(c.factor));
        double fs_high = 48000.0 * c.factor;
        for (double hz = c.hz_from; hz <= c.hz_to; hz += 25.0) {
            double db = cascade_db(rs, hz, fs_high);
            ASSERT_GE(db, c.db_min) << "factor " << c.factor << " at " << hz << " Hz";
            ASSERT_LE(db, c.db_max) << "factor " << c.factor << " at " << hz << " Hz";
        }
    }
}

TEST(resampler, unity_gain_at_dc)
{
    for (int f : {2, 4, 16}) {
        resampler up{}, down{};
        resampler_init(up, f, cutoff_factor(f));
        resampler_init(down, -f, cutoff_factor(f));
        resampler_reset(up);
        resampler_reset(down);
        std::vector<float> one(4000, 1.0f), high(4000 * (size_t)f), low(4000);
        resampler_process(up, one.data(), high.data(), 4000);
        resampler_process(down, one.data(), low.data(), 4000);
        // Every phase of the upsampled constant, once settled, and the decimated constant.
        for (int j = 0; j < f; ++j)
            EXPECT_NEAR(high[high.size() - 1 - (size_t)j], 1.0f, 1e-4) << "factor " << f;
        EXPECT_NEAR(low[4000 / f - 1], 1.0f, 1e-4) << "factor " << f;
    }
}

TEST(resampler, output_counts_and_phase)
{
    resampler up{};
    resampler_init(up, 4, cutoff_factor(4));
    resampler_reset(up);
    float one = 1.0f, four[4] = {};
    resampler_process(up, &one, four, 1);
    // The last three samples come from the inserted zeros, so they differ from the first.
    EXPECT_NE(four[0], 0.0f);
    EXPECT_NE(four[1], four[0]);

    // Eight inputs with ratio -4 give two outputs: the filtered inputs 1 and 5.
    resampler down{};
    resampler_init(down, -4, cutoff_factor(4));
    resampler_reset(down);
    const float in[8] = {0.5f, -0.25f, 1.0f, 0.0f, 0.75f, 0.1f, -0.3f, 0.2f};
    float out[8] = {9.0f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f};
    resampler_process(down, in, out, 8);
    // The same cascade with ratio -1 keeps every input: what each one filters to.
    resampler every = down;
    resampler_reset(every);
    every.ratio = -1;
    float filtered[8];
    resampler_process(every, in, filtered, 8);
    EXPECT_EQ(bits_of(out[0]), bits_of(filtered[0]));
    EXPECT_EQ(bits_of(out[1]), bits_of(filtered[4]));
    EXPECT_EQ(out[2], 9.0f);

    // Fewer than r samples may emit nothing; the phase carries to the next call.
    resampler_reset(down);
    float part[4] = {9.0f, 9.0f, 9.0f, 9.0f};
    resampler_process(down, in, part, 1);
    EXPECT_EQ(bits_of(part[0]), bits_of(filtered[0]));
    resampler_process(down, in + 1, part + 1, 3);
    EXPECT_EQ(part[1], 9.0f);
    resampler_process(down, in + 4, part + 1, 2);
    EXPECT_EQ(bits_of(part[1]), bits_of(filtered[4]));
}

// The number of outputs a downsampler call of n inputs gives, from its phase.
static size_t outputs_for(int32_t counter, size_t n, int f)
{
    size_t emitted = 0;
    for (size_t t = 0; t < n; ++t) {
        if (counter == 0) {
            ++emitted;
            counter = f;
        }
        --counter;
    }
    return emitted;
}

// Long runs take the diagonal wave through the sections, short ones go sample
// by sample.  Any split of a stream into calls must give the same bits.
TEST(resampler, same_bits_for_any_split_into_calls)
{
    std::vector<float> in = plucked_signal(3000, 48000.0f);
    for (int f : {2, 3, 4, 8, 16}) {
        resampler whole_up{}, whole_down{};
        resampler_init(whole_up, f, cutoff_factor(f));
        resampler_init(whole_down, -f, cutoff_factor(f));
        resampler_reset(whole_up);
        resampler_reset(whole_down);
        resampler piece_up = whole_up, piece_down = whole_down;

        std::vector<float> high_whole(in.size() * (size_t)f), high_piece(high_whole.size());
        std::vector<float> low_whole(in.size()), low_piece(in.size());
        resampler_process(whole_up, in.data(), high_whole.data(), (int32_t)in.size());
        resampler_process(whole_down, high_whole.data(), low_whole.data(), (int32_t)high_whole.size());

        // Call lengths from 1 up to several hundred, in an irregular pattern.
        size_t done = 0;
        for (size_t call = 0; done < in.size(); ++call) {
            size_t n = std::min(in.size() - done, 1 + (call * 37) % 11 + (call % 5 == 0 ? 300 : 0));
            resampler_process(piece_up, in.data() + done, high_piece.data() + done * (size_t)f, (int32_t)n);
            done += n;
        }
        size_t consumed = 0, emitted = 0;
        for (size_t call = 0; consumed < high_piece.size(); ++call) {
            size_t n = std::min(high_piece.size() - consumed, 1 + (call * 53) % 13 + (call % 4 == 0 ? 500 : 0));
            size_t expected = outputs_for(piece_down.counter, n, f);
            resampler_process(piece_down, high_piece.data() + consumed, low_piece.data() + emitted, (int32_t)n);
            emitted += expected;
            consumed += n;
        }

        ASSERT_EQ(emitted, in.size());
        for (size_t j = 0; j < high_whole.size(); ++j)
            ASSERT_EQ(bits_of(high_whole[j]), bits_of(high_piece[j])) << "factor " << f << " upsampled " << j;
        for (size_t i = 0; i < in.size(); ++i)
            ASSERT_EQ(bits_of(low_whole[i]), bits_of(low_piece[i])) << "factor " << f << " downsampled " << i;
    }
}

}  // namespace
