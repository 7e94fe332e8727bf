// Reading and writing image files (PNG, TIFF, OpenEXR).
//
// Reading converts any file of 8, 16 or float bits, with one to four or more
// channels (the first four are read), into an Image of the render's bit depth: grey becomes red,
// green and blue; a missing alpha is opaque. 16-bit files hold 0..65535 and 16-bit renders
// 0..32768, so those values are rescaled both ways. Alpha is taken and written as stored: nothing
// is premultiplied or divided out.
//
// Writing picks the file's sample type from the format and the image's
// depth: PNG 8 or 16 bits (float renders are written as 16 bits, clamped to
// 0..1), TIFF 8, 16 or 32-bit float, OpenEXR 32-bit float (never half). The
// file is written under a temporary name and renamed, so a failure leaves no
// partial file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tools/image.h"
#include "tools/input_error.h"
#include "tools/normal_pass.h"
#include "tools/output_file.h"

namespace lumeshade::tools {

enum class SampleType { kUint8, kUint16, kFloat };

SampleType FileSampleType(FileFormat format, BitDepth depth);

// Fails with an InputError naming `where` for a file that is missing,
// empty, no regular file (input_file.h), unreadable or oversized. A normal
// pass is converted to the effect's encoding as it loads, and what its
// colours show of their encoding is added to `evidence` when given.
Image ReadImage(const std::filesystem::path& path, BitDepth depth, const Location& where,
                const PassConversion& conversion = {}, NormalEvidence* evidence = nullptr);

// The size a file declares, read from its header only; fails as ReadImage.
struct ImageSize {
    int width = 0;
    int height = 0;
};
ImageSize ReadImageSize(const std::filesystem::path& path, const Location& where);

// The same for a file's bytes already in memory, through the same checks and
// limits; `name` stands for the file in messages and its extension is the
// first guess at the format (the content decides).
ImageSize DecodeImageSize(std::string_view bytes, const std::string& name, const Location& where);
Image DecodeImage(std::string_view bytes, const std::string& name, BitDepth depth,
                  const Location& where, const PassConversion& conversion = {},
                  NormalEvidence* evidence = nullptr);

// Fails with an InputError when the file cannot be written.
void WriteImage(const std::filesystem::path& path, const Image& image);

}  // namespace lumeshade::tools
