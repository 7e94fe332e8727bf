// Checks of an image file made before the image library reads it, against
// weaknesses of the library found by fuzzing (docs/reliability.md): a file
// that would make it misbehave is refused as a bad image instead.
#pragma once

#include <OpenImageIO/filesystem.h>

#include <string>

#include "tools/input_error.h"

namespace lumeshade::tools {

// Fails with an InputError naming `where` and `subject` ("the image ...").
//
// OpenEXR: every header attribute declares its size, and the library
// allocates that much (up to 2 GiB) before it finds the file shorter: a
// header of a few hundred bytes can make it take most of a gigabyte. An
// attribute larger than what is left of the file is refused.
void CheckBeforeDecoding(OIIO::Filesystem::IOProxy& io, const Location& where,
                         const std::string& subject);

}  // namespace lumeshade::tools
