// The Linux bundle in real, independent LV2 hosts: lilv's lv2info, lv2apply
// and lv2bench, and the LV2 project's own data validator.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "denormals.h"
#include "engine_fixture.h"
#include "lv2_uris.h"
#include "wav_file.h"

namespace {

struct command_result {
    int status;
    std::string output;  // standard output and error together
};

static command_result run_command(const std::string& command)
{
    command_result r{-1, ""};
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
        r.output.append(buffer, n);
    r.status = pclose(p);
    return r;
}

static std::string bundles_dir()
{
    std::string bundle = VMO_LV2_BUNDLE_DIR;
    return bundle.substr(0, bundle.rfind('/'));
}

// How the host programs are started: with the bundles on their search path,
// and in a sanitized build with the sanitizer runtime they need for our plug-in.
static std::string host_environment()
{
    return std::string(VMO_HOST_ENVIRONMENT) + "LV2_PATH=" + bundles_dir() + " ";
}

static std::string temp_dir()
{
    char pattern[] = "/tmp/vmo-lv2-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

static bool mentions_a_problem(const std::string& output)
{
    return output.find("error") != std::string::npos || output.find("warning") != std::string::npos ||
           output.find("Error") != std::string::npos || output.find("Warning") != std::string::npos;
}

TEST(lv2_real_hosts, bundle_data_passes_the_validator_for_both_platforms)
{
    std::string native = VMO_LV2_BUNDLE_DIR;
    command_result linux_data = run_command("lv2_validate " + native + "/manifest.ttl " + native + "/" +
                                            VMO_LV2_NAME ".ttl");
    EXPECT_EQ(linux_data.status, 0) << linux_data.output;
    EXPECT_NE(linux_data.output.find("Found 0 errors"), std::string::npos) << linux_data.output;
    EXPECT_EQ(linux_data.output.find("warning"), std::string::npos) << linux_data.output;

    // The Windows bundle's data differs only in the binary's name; write it here.
    std::string dir = temp_dir();
    ASSERT_EQ(run_command(std::string(VMO_TTL_WRITER) + " " VMO_LV2_NAME ".dll " + dir).status, 0);
    command_result windows_data =
        run_command("lv2_validate " + dir + "/manifest.ttl " + dir + "/" + VMO_LV2_NAME ".ttl");
    EXPECT_EQ(windows_data.status, 0) << windows_data.output;
    EXPECT_NE(windows_data.output.find("Found 0 errors"), std::string::npos) << windows_data.output;
    EXPECT_EQ(windows_data.output.find("warning"), std::string::npos) << windows_data.output;
    EXPECT_NE(run_command("grep -c '" VMO_LV2_NAME ".dll' " + dir + "/manifest.ttl").output, "0\n");
    run_command("rm -rf " + dir);
}

TEST(lv2_real_hosts, lv2info_accepts_the_bundle)
{
    command_result r = run_command(host_environment() + "lv2info " VMO_LV2_PLUGIN_URI);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_FALSE(mentions_a_problem(r.output)) << r.output;
    EXPECT_NE(r.output.find("Vellomarquin Overdrive"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("http://lv2plug.in/ns/ext/state#interface"), std::string::npos) << r.output;
    for (const char* symbol : {"in", "out", "drive", "tone", "heat", "mix", "volume", "enabled"})
        EXPECT_NE(r.output.find(std::string("Symbol:      ") + symbol + "\n"), std::string::npos) << symbol;
    EXPECT_NE(r.output.find("Designation: http://lv2plug.in/ns/lv2core#enabled"), std::string::npos) << r.output;
}

struct render_case {
    const char* name;
    float values[param_count];  // in the engine's sense: Bypass 1 is bypassed
};

// What lv2apply renders must be, to the bit, what the engine makes of the
// same input with the same settings.
TEST(lv2_real_hosts, lv2apply_renders_what_the_engine_renders)
{
    const render_case cases[] = {
        {"defaults", {50.0f, 50.0f, 50.0f, 100.0f, 100.0f, 0.0f}},
        {"crunch", {90.0f, 70.0f, 30.0f, 85.0f, 80.0f, 0.0f}},
        {"bypassed", {90.0f, 70.0f, 30.0f, 85.0f, 80.0f, 1.0f}},
    };
    std::string dir = temp_dir();
    const uint32_t rate = 48000;
    std::vector<float> input = plucked_signal(rate * 2, (float)rate);
    ASSERT_TRUE(wav_write(dir + "/in.wav", input, rate));

    for (const render_case& c : cases) {
        std::string controls;
        for (int i = 0; i < param_count; ++i) {
            const char* symbol = i == param_bypass ? "enabled" : param_table[i].string_id;
            float port = i == param_bypass ? 1.0f - c.values[i] : c.values[i];
            controls += std::string(" -c ") + symbol + " " + std::to_string(port);
        }
        command_result r = run_command(host_environment() + "lv2apply -i " + dir + "/in.wav -o " + dir +
                                       "/out.wav" + controls + " " VMO_LV2_PLUGIN_URI);
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.output;
        std::vector<float> rendered;
        uint32_t rendered_rate = 0;
        ASSERT_TRUE(wav_read(dir + "/out.wav", &rendered, &rendered_rate)) << c.name;
        EXPECT_EQ(rendered_rate, rate);
        ASSERT_EQ(rendered.size(), input.size()) << c.name;

        unsigned saved = flush_denormals_begin();
        engine e;
        engine_start(e, (float)rate, c.values);
        std::vector<float> expected(input.size());
        engine_process(e, input.data(), expected.data(), (int32_t)input.size());
        flush_denormals_end(saved);
        EXPECT_EQ(digest_of(rendered.data(), rendered.size()), digest_of(expected.data(), expected.size()))
            << c.name;
    }
    run_command("rm -rf " + dir);
}

TEST(lv2_real_hosts, lv2bench_runs_the_plugin)
{
    command_result r = run_command(host_environment() + "lv2bench -n 48000 -b 256 " VMO_LV2_PLUGIN_URI);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find(VMO_LV2_PLUGIN_URI), std::string::npos) << r.output;
}

}  // namespace
