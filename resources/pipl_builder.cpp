#include "resources/pipl_builder.h"

#include <cstdio>
#include <cstring>

#include "resources/pipl_values.h"

namespace lumeshade::pipl {
namespace {

constexpr uint32_t FourCC(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

class Writer {
public:
    void Int16(int16_t v) {
        bytes_.push_back(uint8_t(v & 0xFF));
        bytes_.push_back(uint8_t((v >> 8) & 0xFF));
    }
    void Int32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t((v >> shift) & 0xFF));
    }

    // One property; `data` is padded with zero bytes to a multiple of 4 and
    // `length` is the length the property declares.
    void Property(const char (&key)[5], std::vector<uint8_t> data, uint32_t length) {
        Int32(FourCC("8BIM"));
        Int32(FourCC(key));
        Int32(0);
        Int32(length);
        while (data.size() % 4 != 0) data.push_back(0);
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void Property(const char (&key)[5], std::vector<uint8_t> data) {
        while (data.size() % 4 != 0) data.push_back(0);
        const auto length = uint32_t(data.size());
        Property(key, std::move(data), length);
    }

    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

std::vector<uint8_t> TwoShorts(int16_t major, int16_t minor) {
    return {uint8_t(major), uint8_t(major >> 8), uint8_t(minor), uint8_t(minor >> 8)};
}

// A length byte followed by the characters.
std::vector<uint8_t> PascalString(const char* s) {
    const size_t n = std::strlen(s);
    std::vector<uint8_t> out(n + 1);
    out[0] = uint8_t(n);
    std::memcpy(out.data() + 1, s, n);
    return out;
}

// The characters and a terminating zero.
std::vector<uint8_t> CString(const char* s) {
    const size_t n = std::strlen(s);
    std::vector<uint8_t> out(s, s + n);
    out.push_back(0);
    return out;
}

}  // namespace

std::vector<uint8_t> BuildPiplBytes() {
    static_assert(sizeof(kCategory) - 1 <= 31, "the host limits categories to 31 characters");
    Writer w;
    w.Int16(1);
    w.Int32(0);   // list version
    w.Int32(12);  // property count
    w.Property("kind", Le32(FourCC("eFKT")));
    w.Property("name", PascalString(kName));
    w.Property("catg", PascalString(kCategory));
    w.Property("8664", CString(kEntryPointName));
    w.Property("ePVR", TwoShorts(kPiplVersionMajor, kPiplVersionMinor));
    w.Property("eSVR", TwoShorts(kSpecVersionMajor, kSpecVersionMinor));
    w.Property("eVER", Le32(kEffectVersion));
    w.Property("eINF", {uint8_t(kInfoFlags), uint8_t(kInfoFlags >> 8)}, 2);
    w.Property("eGLO", Le32(uint32_t(kOutFlags)));
    w.Property("eGL2", Le32(uint32_t(kOutFlags2)));
    w.Property("eMNA", PascalString(kMatchName));
    w.Property("aeFL", Le32(uint32_t(kReservedInfo)));
    return w.Bytes();
}

std::string BuildResourceScript(const std::vector<uint8_t>& bytes) {
    std::string rc;
    rc += "// Generated from resources/pipl_values.h; do not edit.\n";
    char line[96];
    std::snprintf(line, sizeof line, "LANGUAGE 0x%02X, 0x%02X\n", kResourceLanguage & 0x3FF,
                  kResourceLanguage >> 10);
    rc += line;
    std::snprintf(line, sizeof line, "%d PIPL\nBEGIN\n", kResourceId);
    rc += line;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned word = bytes[i] | (i + 1 < bytes.size() ? unsigned(bytes[i + 1]) << 8 : 0u);
        std::snprintf(line, sizeof line, "%s0x%04X", (i % 16 == 0) ? "    " : ", ", word);
        rc += line;
        if (i + 2 < bytes.size()) rc += (i % 16 == 14) ? ",\n" : "";
    }
    rc += "\nEND\n";
    return rc;
}

}  // namespace lumeshade::pipl
