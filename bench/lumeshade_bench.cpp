// lumeshade-bench: whole 1920 x 1080 frames through the emulated host, one
// frame per iteration, in each pixel format.
//
//   Render/<scene>/<format>/path:<path>/threads:N
//                                      smart pre-render and smart render of
//                                      one frame of the scene on one pixel
//                                      path (pixel: the per-pixel functions;
//                                      sse2, avx2: the row kernels), each
//                                      path the processor has
//   Floor/<format>/threads:N           an identity pixel function through the
//                                      same iterate suite and thread pool
//
// `threads` is the size of the host's iterate pool: the module renders one
// frame at a time and the host spreads its pixels over the pool, so running
// the benchmark body itself on several threads would measure several hosts
// at once (and the emulated host allows only one). Times are wall-clock:
// the counter ns_per_pixel is wall-clock nanoseconds per pixel of the frame,
// cpu_ns_per_pixel the processor time of all the process's threads per
// pixel, which other work on the machine does not inflate.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include "AE_EffectCBSuites.h"
#include "bench/scenes.h"
#include "tests/support/pixel_paths.h"
#include "tests/support/pixels.h"

namespace lumeshade::bench {
namespace {

using Clock = std::chrono::steady_clock;
using host::Depth;

constexpr SceneSize kSize = kFullFrame;
constexpr double kPixels = double(kSize.width) * double(kSize.height);

// Processor time of every thread of the process, in nanoseconds.
double ProcessCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// Times `frame` once per iteration and reports the counters.
template <class Frame>
void TimeFrames(benchmark::State& state, Frame frame) {
    double ns = 0.0;
    double cpuNs = 0.0;
    for (auto _ : state) {
        const double cpuStart = ProcessCpuNs();
        const Clock::time_point start = Clock::now();
        const PF_Err err = frame();
        ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        cpuNs += ProcessCpuNs() - cpuStart;
        if (err != PF_Err_NONE) {
            state.SkipWithError(("the frame failed with error " + std::to_string(err)).c_str());
            break;
        }
    }
    if (state.error_occurred()) return;
    const double pixels = kPixels * double(state.iterations());
    state.counters["ns_per_pixel"] = ns / pixels;
    state.counters["cpu_ns_per_pixel"] = cpuNs / pixels;
    state.SetItemsProcessed(int64_t(pixels));
}

void Render(benchmark::State& state, Scene scene, Depth depth, PixelPath path) {
    const testing::PathChoice choice(path);
    const auto m = MakeScene(scene, depth, kSize);
    m->Host().SetThreads(int(state.range(0)));
    // One frame before timing starts: the pool's threads and the first
    // touch of every page are not what a preview pays per frame.
    if (m->Host().RenderFrame() != PF_Err_NONE) {
        state.SkipWithError("the first frame failed");
        return;
    }
    TimeFrames(state, [&m] { return m->Host().RenderFrame(); });
}

// The suite whose `iterate` smart render calls for each pixel type.
template <class Pixel>
struct IterateSuite;
template <>
struct IterateSuite<PF_Pixel8> {
    using Table = PF_Iterate8Suite1;
    static constexpr const char* kName = kPFIterate8Suite;
    static constexpr int kVersion = kPFIterate8SuiteVersion1;
};
template <>
struct IterateSuite<PF_Pixel16> {
    using Table = PF_Iterate16Suite1;
    static constexpr const char* kName = kPFIterate16Suite;
    static constexpr int kVersion = kPFIterate16SuiteVersion1;
};
template <>
struct IterateSuite<PF_PixelFloat> {
    using Table = PF_IterateFloatSuite1;
    static constexpr const char* kName = kPFIterateFloatSuite;
    static constexpr int kVersion = kPFIterateFloatSuiteVersion1;
};

template <class Pixel>
PF_Err Identity(void*, A_long, A_long, Pixel* in, Pixel* out) {
    *out = *in;
    return PF_Err_NONE;
}

template <class Pixel>
void Floor(benchmark::State& state) {
    constexpr Depth depth = host::DepthOfPixel<Pixel>::kValue;
    testing::ModuleHost m(kSize.width, kSize.height, depth);
    host::Host& h = m.Host();
    h.EnableCallLog(false);
    h.SetThreads(int(state.range(0)));
    testing::Fill(m.Input(), [](A_long x, A_long y) {
        return testing::SphereNormal(x, y, kSize.width, kSize.height);
    });
    host::World output(kSize.width, kSize.height, depth);

    using Suite = IterateSuite<Pixel>;
    PF_InData& in = h.InData();
    const void* table = nullptr;
    if (in.pica_basicP->AcquireSuite(Suite::kName, Suite::kVersion, &table) != kSPNoError ||
        table == nullptr) {
        state.SkipWithError("no iterate suite");
        return;
    }
    const auto& suite = *static_cast<const typename Suite::Table*>(table);
    // As smart render calls it: the whole output, progress over its rows.
    const PF_Rect area{0, 0, kSize.width, kSize.height};
    const auto frame = [&] {
        return suite.iterate(&in, 0, kSize.height, &m.Input().Def(), &area, nullptr,
                             Identity<Pixel>, &output.Def());
    };
    if (frame() == PF_Err_NONE) TimeFrames(state, frame);
    in.pica_basicP->ReleaseSuite(Suite::kName, Suite::kVersion);
}

void Register() {
    const int all = int(std::max(1u, std::thread::hardware_concurrency()));
    const auto threads = [all](benchmark::internal::Benchmark* b) {
        b->ArgName("threads")->Arg(1);
        if (all > 1) b->Arg(all);
        b->UseRealTime()->Unit(benchmark::kMillisecond);
    };
    for (Scene scene : kScenes) {
        for (Depth depth : kDepths) {
            for (PixelPath path : testing::AvailablePaths()) {
                const std::string name = std::string("Render/") + SceneName(scene) + "/" +
                                         DepthName(depth) + "/path:" + PixelPathName(path);
                threads(benchmark::RegisterBenchmark(
                    name.c_str(),
                    [scene, depth, path](benchmark::State& s) { Render(s, scene, depth, path); }));
            }
        }
    }
    threads(benchmark::RegisterBenchmark("Floor/8", Floor<PF_Pixel8>));
    threads(benchmark::RegisterBenchmark("Floor/16", Floor<PF_Pixel16>));
    threads(benchmark::RegisterBenchmark("Floor/float", Floor<PF_PixelFloat>));
}

}  // namespace
}  // namespace lumeshade::bench

int main(int argc, char** argv) {
    lumeshade::bench::Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
