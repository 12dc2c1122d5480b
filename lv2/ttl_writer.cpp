// Writes the bundle's LV2 data, manifest.ttl and the plug-in description,
// for one platform's binary name, from param_table: the ports a host sees
// can never disagree with the ones the code reads.
// usage: ttl_writer BINARY_NAME OUTPUT_DIR
#include <cstdio>
#include <string>

#include "lv2_uris.h"
#include "param_table.h"

static const char* const prefixes =
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix log:   <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

static const char* const plugin_ttl_name = "morvo-vellomarquin-overdrive.ttl";

// Titles as ASCII: the table's titles are UTF-16 but plain ASCII.
static std::string ascii_of(const char16_t* text)
{
    std::string s;
    for (; *text; ++text)
        s += (char)*text;
    return s;
}

static bool write_manifest(const std::string& dir, const char* binary)
{
    FILE* f = fopen((dir + "/manifest.ttl").c_str(), "w");
    if (!f)
        return false;
    fputs("@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
          "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n", f);
    fprintf(f, "<%s>\n    a lv2:Plugin ;\n    lv2:binary <%s> ;\n    rdfs:seeAlso <%s> .\n", VMO_LV2_PLUGIN_URI, binary,
            plugin_ttl_name);
    return fclose(f) == 0;
}

static void write_control_port(FILE* f, int i)
{
    const param_desc& p = param_table[i];
    fprintf(f, "    [\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index %u ;\n", p.lv2_port);
    if (p.toggled) {
        // The host's own bypass switch: on (1) means the effect processes.
        fputs("        lv2:symbol \"enabled\" ;\n"
              "        lv2:name \"Enabled\" ;\n"
              "        lv2:designation lv2:enabled ;\n"
              "        lv2:portProperty lv2:toggled ;\n"
              "        lv2:default 1 ;\n"
              "        lv2:minimum 0 ;\n"
              "        lv2:maximum 1\n", f);
    } else {
        fprintf(f,
                "        lv2:symbol \"%s\" ;\n"
                "        lv2:name \"%s\" ;\n"
                "        lv2:default %g ;\n"
                "        lv2:minimum %g ;\n"
                "        lv2:maximum %g ;\n"
                "        units:unit units:pc\n",
                p.string_id, ascii_of(p.title).c_str(), p.default_value, p.minimum, p.maximum);
    }
    fputs(i + 1 < param_count ? "    ] , " : "    ] .\n", f);
}

static bool write_plugin(const std::string& dir)
{
    FILE* f = fopen((dir + "/" + plugin_ttl_name).c_str(), "w");
    if (!f)
        return false;
    fputs(prefixes, f);
    fprintf(f,
            "<%s>\n"
            "    a lv2:Plugin , lv2:DistortionPlugin ;\n"
            "    doap:name \"Vellomarquin Overdrive\" ;\n"
            "    lv2:project [\n"
            "        a doap:Project ;\n"
            "        doap:name \"Vellomarquin Overdrive\" ;\n"
            "        doap:maintainer [\n"
            "            a foaf:Organization ;\n"
            "            foaf:name \"Morvo.PHONICS\"\n"
            "        ]\n"
            "    ] ;\n"
            // Version 1.1.3: an even minor version marks a release to LV2 hosts.
            "    lv2:minorVersion 2 ;\n"
            "    lv2:microVersion 3 ;\n"
            "    lv2:requiredFeature urid:map ;\n"
            "    lv2:optionalFeature log:log , lv2:hardRTCapable ;\n"
            "    lv2:extensionData state:interface ;\n"
            "    lv2:port [\n"
            "        a lv2:InputPort , lv2:AudioPort ;\n"
            "        lv2:index 0 ;\n"
            "        lv2:symbol \"in\" ;\n"
            "        lv2:name \"In\"\n"
            "    ] , [\n"
            "        a lv2:OutputPort , lv2:AudioPort ;\n"
            "        lv2:index 1 ;\n"
            "        lv2:symbol \"out\" ;\n"
            "        lv2:name \"Out\"\n"
            "    ] , ",
            VMO_LV2_PLUGIN_URI);
    for (int i = 0; i < param_count; ++i)
        write_control_port(f, i);
    return fclose(f) == 0;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s BINARY_NAME OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    if (!write_manifest(argv[2], argv[1]) || !write_plugin(argv[2])) {
        fprintf(stderr, "%s: cannot write into %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
