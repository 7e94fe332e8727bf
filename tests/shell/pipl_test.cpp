// The PiPL resource, decoded field by field, and its agreement with what
// global set-up reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/host.h"
#include "resources/pipl_builder.h"
#include "shell/entry.h"

namespace lumeshade {
namespace {

struct Property {
    std::string vendor, key;  // as the four-character codes read
    uint32_t id = 0;
    std::vector<uint8_t> data;  // `length` bytes
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t(b.at(at + 3)) << 24;
}

std::string Code(const std::vector<uint8_t>& b, size_t at) {
    const uint32_t v = Le32(b, at);
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::vector<Property> Decode(const std::vector<uint8_t>& bytes) {
    EXPECT_EQ(bytes.at(0) | bytes.at(1) << 8, 1);
    EXPECT_EQ(Le32(bytes, 2), 0u);
    const uint32_t count = Le32(bytes, 6);
    std::vector<Property> props;
    size_t at = 10;
    for (uint32_t i = 0; i < count; ++i) {
        Property p;
        p.vendor = Code(bytes, at);
        p.key = Code(bytes, at + 4);
        p.id = Le32(bytes, at + 8);
        const uint32_t length = Le32(bytes, at + 12);
        p.data.assign(bytes.begin() + long(at + 16), bytes.begin() + long(at + 16 + length));
        at += 16 + (length + 3) / 4 * 4;
        props.push_back(p);
    }
    EXPECT_EQ(at, bytes.size()) << "nothing follows the last property";
    return props;
}

std::string Pascal(const std::vector<uint8_t>& d) {
    return std::string(d.begin() + 1, d.begin() + 1 + d[0]);
}

TEST(PiplTest, TwelvePropertiesWithTheEffectsValues) {
    const std::vector<uint8_t> bytes = pipl::BuildPiplBytes();
    const std::vector<Property> p = Decode(bytes);
    ASSERT_EQ(p.size(), 12u);
    const char* keys[] = {"kind", "name", "catg", "8664", "ePVR", "eSVR",
                          "eVER", "eINF", "eGLO", "eGL2", "eMNA", "aeFL"};
    for (size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].vendor, "8BIM");
        EXPECT_EQ(p[i].key, keys[i]);
        EXPECT_EQ(p[i].id, 0u);
    }
    EXPECT_EQ(Code(p[0].data, 0), "eFKT");
    EXPECT_EQ(p[1].data.size(), 12u);
    EXPECT_EQ(Pascal(p[1].data), "Lumeshade");
    EXPECT_EQ(Pascal(p[2].data), "Lumeshade Labs Lumeshade");
    EXPECT_EQ(p[2].data.size() % 4, 0u);
    EXPECT_EQ(p[3].data.size(), 16u);
    EXPECT_STREQ(reinterpret_cast<const char*>(p[3].data.data()), "EntryPointFunc");
    EXPECT_EQ(p[4].data, (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(p[5].data, (std::vector<uint8_t>{13, 0, 10, 0}));
    EXPECT_EQ(Le32(p[6].data, 0), 0x00180001u);
    EXPECT_EQ(p[7].data, (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(Le32(p[8].data, 0), 0x06000400u);
    EXPECT_EQ(Le32(p[9].data, 0), 0x0000144Eu);
    EXPECT_EQ(p[10].data.size(), 16u);
    EXPECT_EQ(Pascal(p[10].data), "ADBE Lumeshade");
    EXPECT_EQ(Le32(p[11].data, 0), 8u);
    // Four-character codes are stored as little-endian integers.
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 18), "MIB8dnik");
}

TEST(PiplTest, VersionAndFlagsEqualWhatGlobalSetupReports) {
    const std::vector<Property> p = Decode(pipl::BuildPiplBytes());
    host::Host host(EntryPointFunc);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(Le32(p[6].data, 0), host.OutData().my_version);
    EXPECT_EQ(Le32(p[8].data, 0), uint32_t(host.OutData().out_flags));
    EXPECT_EQ(Le32(p[9].data, 0), uint32_t(host.OutData().out_flags2));
}

TEST(PiplTest, BuildWroteTheSameBytesAndAScriptThatEmbedsThem) {
    const char* dir = std::getenv("LUMESHADE_BUILD_DIR");
    if (dir == nullptr) GTEST_SKIP() << "run through ctest to locate the build";
    std::ifstream in(std::string(dir) + "/lumeshade.pipl", std::ios::binary);
    ASSERT_TRUE(in) << "build/lumeshade.pipl";
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(file, pipl::BuildPiplBytes());

    std::ifstream rcFile(std::string(dir) + "/lumeshade_pipl.rc");
    const std::string rc((std::istreambuf_iterator<char>(rcFile)), {});
    EXPECT_NE(rc.find("LANGUAGE 0x07, 0x01"), std::string::npos) << "language 1031";
    EXPECT_NE(rc.find("16000 PIPL"), std::string::npos);
    // The words of the script spell out the bytes.
    std::vector<uint8_t> words;
    for (size_t at = rc.find("BEGIN"); (at = rc.find("0x", at)) != std::string::npos; at += 6) {
        const unsigned w = std::stoul(rc.substr(at, 6), nullptr, 16);
        words.push_back(uint8_t(w));
        words.push_back(uint8_t(w >> 8));
    }
    EXPECT_EQ(words, file);
}

}  // namespace
}  // namespace lumeshade
