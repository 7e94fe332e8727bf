// Renders a FrameCase through the emulated host with the real module, as the
// host does: global set-up, parameter set-up, the control values, a
// user-changed-param command for every supervised control the case sets,
// then the frame, twice, and the case's part of the layer on its own.
// Reports what went wrong.
#pragma once

#include <string>
#include <vector>

#include "tests/fuzz/frame_case.h"

namespace lumeshade::fuzz {

struct FrameReport {
    std::vector<std::string> findings;  // empty: the frame is sound
    std::string description;            // the case in words (Describe)
    std::vector<unsigned char> frame;   // the first render's pixels, when it rendered
};

// The checks, after every command: each returns 0; nothing stays acquired or
// checked out (suites, parameters, layers, handles but the global data,
// worlds, stream references and values) and the host saw no misuse. After the
// frames: every output pixel was written (the two renders start from
// different fill patterns, so a pixel left alone differs between them), the
// two renders agree, and a 16-bit output keeps every computed channel within
// 0..32768. Only what the module passes on unchanged may lie outside: the
// colour of a pixel without coverage, the pixels Original Normals shows, and
// an alpha the input or the alpha map already held above 32768. The part
// rendered on its own holds the whole render's bytes at its place.
//
// The frame is rendered on every pixel path the processor has (per-pixel,
// SSE2, AVX2), each from a new host, and every path must write the bytes of
// the others.
FrameReport RunFrameCase(const FrameCase& c);

}  // namespace lumeshade::fuzz
