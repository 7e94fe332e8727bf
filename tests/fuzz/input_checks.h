// The program's front door under random input, built by any compiler: the
// scene reader with the command line, and the image loader. Each check runs
// one input through the program's own code with its own limits and returns
// what went wrong (nothing for a sound run). A refusal is sound when it is
// one InputError with a one-line message; anything else thrown is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumeshade::fuzz {

// The input is a scene file's text, then, each after a NUL byte, the
// command-line arguments of a run (--set, --layer, --light, --input,
// --frames, ...); with no text, the run has no scene file. Beyond reading,
// the check settles every generated map's size and makes each at a few
// pixels, sets the composition's lights and the controls at the frames and
// keys of the run (every number the composition holds must be finite in
// single precision), and writes the scene back as a file, which must read
// back as the same scene. Nothing is read from the file system.
std::vector<std::string> CheckSceneInput(const std::uint8_t* data, std::size_t size);

// The input is an image file's bytes, loaded as an image layer is: its size
// from the header, then its pixels in a bit depth and with a normal-pass
// conversion that the input's length picks. The pixels must come out in the
// header's size and within the depth's range. `outcome`, when given, gets a
// short account of what the image library made of the bytes (its format and
// sample type, or its refusal, with numbers left out): the image library is
// not built for coverage, so the fuzzer tells inputs apart by it.
std::vector<std::string> CheckImageInput(const std::uint8_t* data, std::size_t size,
                                         std::string* outcome = nullptr);

}  // namespace lumeshade::fuzz
