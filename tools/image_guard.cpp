#include "tools/image_guard.h"

#include <cstdint>
#include <cstring>

namespace lumeshade::tools {
namespace {

constexpr unsigned char kExrMagic[4] = {0x76, 0x2f, 0x31, 0x01};
constexpr std::uint32_t kExrMultipart = 0x1000;
// Attribute and type names hold at most 255 characters; walking gives up on
// anything else and leaves the file to the library.
constexpr std::size_t kMaxName = 256;
constexpr int kMaxAttributes = 100000;

// Reads through the proxy at a running offset.
struct Reader {
    OIIO::Filesystem::IOProxy& io;
    std::int64_t offset = 0;
    std::int64_t size = 0;

    bool Bytes(void* into, std::size_t count) {
        if (io.pread(into, count, offset) != count) return false;
        offset += std::int64_t(count);
        return true;
    }
    // A name ended by a zero byte; false past the end or past kMaxName.
    bool Name(std::string& name) {
        name.clear();
        for (char c = 0; name.size() < kMaxName; name += c) {
            if (!Bytes(&c, 1)) return false;
            if (c == '\0') return true;
        }
        return false;
    }
    bool Int32(std::int32_t& value) {
        unsigned char b[4];
        if (!Bytes(b, 4)) return false;
        value = std::int32_t(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                             std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
        return true;
    }
};

void CheckExrHeaders(Reader& in, std::uint32_t version, const Location& where,
                     const std::string& subject) {
    std::string name, type;
    int attributes = 0;
    for (;;) {  // one header per part
        if (!in.Name(name) || name.empty()) return;
        for (; !name.empty(); ++attributes) {
            std::int32_t size = 0;
            if (attributes > kMaxAttributes || !in.Name(type) || !in.Int32(size)) return;
            if (size < 0 || size > in.size - in.offset) {
                Fail(where, subject + " is damaged: its OpenEXR attribute \"" + name +
                                "\" declares " + std::to_string(size) + " bytes, more than the " +
                                std::to_string(in.size - in.offset) + " left in the file");
            }
            in.offset += size;
            if (!in.Name(name)) return;
        }
        if ((version & kExrMultipart) == 0) return;
    }
}

}  // namespace

void CheckBeforeDecoding(OIIO::Filesystem::IOProxy& io, const Location& where,
                         const std::string& subject) {
    Reader in{io, 0, std::int64_t(io.size())};
    unsigned char magic[4];
    std::int32_t version = 0;
    if (!in.Bytes(magic, 4) || std::memcmp(magic, kExrMagic, 4) != 0 || !in.Int32(version)) {
        return;
    }
    CheckExrHeaders(in, std::uint32_t(version), where, subject);
}

}  // namespace lumeshade::tools
