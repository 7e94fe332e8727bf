#include "shading/pixel_path.h"

#include <atomic>

namespace lumeshade {
namespace {

bool HasAvx2() {
#if defined(__x86_64__) || defined(_M_X64)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// The path the build forces, or the widest the processor has. A forced
// path the processor lacks falls back to SSE2 rather than fail to run.
PixelPath FirstPath() {
#if defined(LUMESHADE_FORCE_PIXEL_PATH)
    constexpr auto forced = PixelPath(LUMESHADE_FORCE_PIXEL_PATH);
    return ProcessorHas(forced) ? forced : PixelPath::kSse2;
#else
    return HasAvx2() ? PixelPath::kAvx2 : PixelPath::kSse2;
#endif
}

// Initialised on first use, once, even when several threads ask at once.
std::atomic<PixelPath>& Current() {
    static std::atomic<PixelPath> path{FirstPath()};
    return path;
}

}  // namespace

bool ProcessorHas(PixelPath path) {
    switch (path) {
        case PixelPath::kPixel:
        case PixelPath::kSse2:
            return true;
        case PixelPath::kAvx2:
            return HasAvx2();
    }
    return false;
}

PixelPath CurrentPixelPath() { return Current().load(std::memory_order_relaxed); }

bool UsePixelPath(PixelPath path) {
    if (!ProcessorHas(path)) return false;
    Current().store(path, std::memory_order_relaxed);
    return true;
}

const char* PixelPathName(PixelPath path) {
    switch (path) {
        case PixelPath::kPixel:
            return "pixel";
        case PixelPath::kSse2:
            return "sse2";
        case PixelPath::kAvx2:
            return "avx2";
    }
    return "?";
}

}  // namespace lumeshade
