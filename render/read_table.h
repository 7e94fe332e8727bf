// The table ReadRenderParameters walks: which control is stored into which
// context member, converted how, and under which switch. The render reads
// it; the tests check it against the control table and the visibility
// rules, so that a control cannot be registered and never read, read twice,
// or read outside its group's switch.
#pragma once

#include <cstdint>
#include <span>

#include "common/color.h"
#include "params/param_ids.h"
#include "render/render_context.h"

namespace lumeshade {

// How a control's value becomes its context member.
enum class Conv {
    kFixed,           // value / 65536
    kReciprocal,      // 1 / (value / 65536)
    kPowerOfTwo,      // 2 to the power value / 65536, in single precision
    kQuarter,         // value / 65536 x 0.25
    kTriple,          // 3 x value / 65536
    kChoice,          // popup choice number
    kChoicePlusOne,   // popup choice number + 1
    kIntegerPlusOne,  // integer slider + 1
    kSwitch,          // checkbox: non-zero is on
    kColor255,        // colour bytes x 1/255
    kColor127,        // colour bytes x 1/127
    kPoint,           // x and y / 65536, truncated toward zero
    kDegrees,         // angle in degrees
    kWholeDegrees,    // angle in degrees, truncated toward zero
};

// One control and the member it is stored into; exactly one member pointer
// is set, except for points, which set `integer` (x) and `integerY`.
struct ControlRead {
    ParamId id;
    Conv conv;
    float RenderContext::*real = nullptr;
    int32_t RenderContext::*integer = nullptr;
    int32_t RenderContext::*integerY = nullptr;  // points: y
    bool RenderContext::*flag = nullptr;
    Color RenderContext::*color = nullptr;
};

// Reads done in order while `enable` is on (always, when it is null).
struct ReadBlock {
    bool RenderContext::*enable;
    std::span<const ControlRead> reads;
};

// The blocks in the order they are read.
std::span<const ReadBlock> ReadBlocks();

}  // namespace lumeshade
