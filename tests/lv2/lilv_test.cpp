// The Linux bundle as an LV2 host sees it through lilv: discovery from the Turtle, the port list,
// instantiation and running, and state through lilv's own state API.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <string>

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/log/log.h>

#include "core/params.h"
#include "lv2/uris.h"
#include "test_host.h"

namespace {

class LilvHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test_host_init(&host, true, true);
        world = lilv_world_new();
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, VELUM_LV2_BUNDLE);
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, VELUM_LV2_URI);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        ASSERT_NE(nullptr, plugin);
    }

    void TearDown() override {
        if (instance) lilv_instance_free(instance);
        for (LilvNode* n : nodes)
            lilv_node_free(n);
        lilv_world_free(world);
    }

    LilvNode* node(const char* uri) {
        nodes.push_back(lilv_new_uri(world, uri));
        return nodes.back();
    }

    bool node_list_has(const LilvNodes* list, const char* uri) {
        return lilv_nodes_contains(list, node(uri));
    }

    // Instantiates through lilv and connects every port; lilv reads the port list from Turtle.
    void instantiate(double rate) {
        instance = lilv_plugin_instantiate(plugin, rate, host.features);
        ASSERT_NE(nullptr, instance);
        in.assign(4096, 0.0f);
        out.assign(4096, 0.0f);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = (float)(i % 109) / 54.5f - 1.0f;
        lilv_instance_connect_port(instance, port_index("in"), in.data());
        lilv_instance_connect_port(instance, port_index("out"), out.data());
        for (int p = 0; p < PARAM_INPUT_COUNT; ++p) {
            controls[p] = (float)input_param_table[p].def;
            lilv_instance_connect_port(instance, port_index(param_names[p].key), &controls[p]);
        }
        lilv_instance_connect_port(instance, port_index("mod_cutoff"), &mod_cutoff);
        lilv_instance_activate(instance);
    }

    uint32_t port_index(const char* symbol) {
        LilvNode* s = lilv_new_string(world, symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, s);
        lilv_node_free(s);
        EXPECT_NE(nullptr, port) << symbol;
        return port ? lilv_port_get_index(plugin, port) : 0;
    }

    TestHost host;
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    std::vector<LilvNode*> nodes;
    std::vector<float> in, out;
    float controls[PARAM_INPUT_COUNT];
    float mod_cutoff = -1.0f;
};

// lilv asks for port values to put into a state; this plug-in's state is its property alone.
const void* no_port_value(const char*, void*, uint32_t* size, uint32_t* type) {
    *size = 0;
    *type = 0;
    return nullptr;
}

} // namespace

TEST_F(LilvHostTest, TheWorldFindsThePluginWithItsBinaryAndName) {
    LilvNode* name = lilv_plugin_get_name(plugin);
    EXPECT_STREQ("Velum", lilv_node_as_string(name));
    lilv_node_free(name);
    std::string binary = lilv_node_as_uri(lilv_plugin_get_library_uri(plugin));
    EXPECT_EQ("/tamber-velum.lv2/tamber-velum.so",
              binary.substr(binary.rfind('/', binary.rfind('/') - 1)));
    EXPECT_TRUE(lilv_plugin_verify(plugin));
}

TEST_F(LilvHostTest, PortsMatchTheParameterTableInOrder) {
    ASSERT_EQ(6u, lilv_plugin_get_num_ports(plugin));
    const char* const symbols[6] = {"in", "out", "cutoff", "lfo_amt", "lfo_speed", "mod_cutoff"};
    const bool is_input[6] = {true, false, true, true, true, false};
    for (uint32_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(symbols[i]);
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        ASSERT_NE(nullptr, port);
        EXPECT_STREQ(symbols[i], lilv_node_as_string(lilv_port_get_symbol(plugin, port)));
        EXPECT_EQ(is_input[i], lilv_port_is_a(plugin, port, node(LV2_CORE__InputPort)));
        EXPECT_EQ(!is_input[i], lilv_port_is_a(plugin, port, node(LV2_CORE__OutputPort)));
        bool audio = i < 2;
        EXPECT_EQ(audio, lilv_port_is_a(plugin, port, node(LV2_CORE__AudioPort)));
        EXPECT_EQ(!audio, lilv_port_is_a(plugin, port, node(LV2_CORE__ControlPort)));
        if (audio) continue;

        int param = (int)i - 2;
        const ParameterDescriptor* d = param_descriptor(param);
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, port, &def, &min, &max);
        ASSERT_TRUE(def && min && max);
        EXPECT_EQ(d->def, lilv_node_as_float(def));
        EXPECT_EQ(d->min, lilv_node_as_float(min));
        EXPECT_EQ(d->max, lilv_node_as_float(max));
        lilv_node_free(def);
        lilv_node_free(min);
        lilv_node_free(max);
        EXPECT_TRUE(lilv_port_has_property(plugin, port, node(LV2_CORE__integer)));
        EXPECT_STREQ(param_names[param].key, symbols[i]);
        LilvNode* port_name = lilv_port_get_name(plugin, port);
        EXPECT_STREQ(param_names[param].title, lilv_node_as_string(port_name));
        lilv_node_free(port_name);
    }
}

TEST_F(LilvHostTest, FeaturesAndExtensionsAreDeclared) {
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    EXPECT_EQ(1u, lilv_nodes_size(required));
    EXPECT_TRUE(node_list_has(required, LV2_URID__map));
    lilv_nodes_free(required);
    LilvNodes* optional = lilv_plugin_get_optional_features(plugin);
    EXPECT_TRUE(node_list_has(optional, LV2_LOG__log));
    EXPECT_FALSE(node_list_has(optional, LV2_URID__map));
    lilv_nodes_free(optional);
    EXPECT_TRUE(lilv_plugin_has_extension_data(plugin, node(LV2_STATE__interface)));
}

TEST_F(LilvHostTest, RunsRealBuffersAndReportsTheModulatedCutoff) {
    instantiate(44100.0);
    for (uint32_t n : {0u, 64u, 0u, 441u, 4096u}) {
        mod_cutoff = -1.0f;
        lilv_instance_run(instance, n);
        EXPECT_EQ(248.0f, mod_cutoff);
    }
    double energy = 0.0;
    for (float v : out) {
        ASSERT_TRUE(isfinite(v));
        energy += (double)v * v;
    }
    EXPECT_GT(energy, 0.1);

    controls[0] = 7.5f;
    lilv_instance_run(instance, 4096);
    EXPECT_EQ(8.0f * 16 + 8, mod_cutoff);
    for (float port : {7.49f, -0.5f, 100.0f, NAN}) {
        controls[0] = port;
        lilv_instance_run(instance, 441);
        float applied = port == 7.49f ? 7.0f : port == 100.0f ? 15.0f : 0.0f;
        EXPECT_EQ(applied * 16 + 8, mod_cutoff) << port;
    }
    EXPECT_TRUE(host.log.messages.empty());
}

TEST_F(LilvHostTest, StateSavedThroughLilvRestoresThroughLilv) {
    instantiate(48000.0);
    controls[0] = 4.0f;
    controls[1] = 0.0f;
    controls[2] = 11.0f;
    lilv_instance_run(instance, 64);
    LilvState* saved =
        lilv_state_new_from_instance(plugin, instance, &host.urids.map, nullptr, nullptr, nullptr,
                                     nullptr, no_port_value, nullptr, 0, host.features);
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ(1u, lilv_state_get_num_properties(saved));
    // Through the host's own text form, as a session file keeps it.
    char* text = lilv_state_to_string(world, &host.urids.map, &host.urids.unmap, saved,
                                      "urn:velum:test-state", nullptr);
    ASSERT_NE(nullptr, text);
    EXPECT_NE(nullptr, strstr(text, "state_data"));
    LilvState* loaded = lilv_state_new_from_string(world, &host.urids.map, text);
    lilv_free(text);
    ASSERT_NE(nullptr, loaded);

    // A second instance whose cutoff port is disconnected takes the restored cutoff.
    lilv_instance_free(instance);
    instantiate(48000.0);
    lilv_instance_connect_port(instance, port_index("cutoff"), nullptr);
    lilv_state_restore(loaded, instance, nullptr, nullptr, 0, host.features);
    lilv_instance_run(instance, 1);
    EXPECT_EQ(4.0f * 16 + 8, mod_cutoff);
    EXPECT_TRUE(host.log.messages.empty());
    lilv_state_free(saved);
    lilv_state_free(loaded);
}
