#include "tests/fuzz/frame_run.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>

#include "host/composition.h"
#include "host/host.h"
#include "host/world.h"
#include "params/param_ids.h"
#include "shading/pixel_path.h"
#include "shell/entry.h"
#include "tests/support/pixel_paths.h"
#include "tests/support/pixels.h"

namespace lumeshade::fuzz {
namespace {

using host::Depth;
using host::World;

// Display choice "Original Normals".
constexpr A_long kOriginalNormals = 4;
// The byte the output is filled with before the second render; the host
// fills it with another before the first.
constexpr unsigned char kSecondFill = 0xA5;

A_long PixelBytesOf(Depth d) { return d == Depth::k8 ? 4 : d == Depth::k16 ? 8 : 16; }

// Set while the next smart render is to find its output filled with `byte`.
struct OutputFill {
    std::optional<unsigned char> byte;
    A_long pixelBytes = 16;
};
OutputFill g_outputFill;

// The module's entry point, with the output of a smart render filled first,
// through the smart-render callback the module itself uses to get it. (A
// case whose fault is in that callback leaves the fill alone, so that the
// fault still strikes where the case says.)
PF_Err Entry(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamList params,
             PF_LayerDef* output, void* extra) {
    if (cmd == PF_Cmd_SMART_RENDER && g_outputFill.byte && extra != nullptr) {
        auto* smart = static_cast<PF_SmartRenderExtra*>(extra);
        PF_EffectWorld* world = nullptr;
        if (smart->cb->checkout_output(in_data->effect_ref, &world) == PF_Err_NONE && world) {
            for (A_long y = 0; y < world->height; ++y) {
                // Only the pixels: the padding beyond them is the host's.
                std::memset(reinterpret_cast<unsigned char*>(world->data) +
                                std::size_t(y) * std::size_t(world->rowbytes),
                            *g_outputFill.byte,
                            std::size_t(world->width) * std::size_t(g_outputFill.pixelBytes));
            }
        }
    }
    return EntryPointFunc(cmd, in_data, out_data, params, output, extra);
}

Depth FootageDepth(const FrameCase& c) {
    if (!c.footageInOtherDepth) return c.depth;
    return c.depth == Depth::k8 ? Depth::k16 : c.depth == Depth::k16 ? Depth::kFloat : Depth::k8;
}

// The largest alpha of a 16-bit world (0 for other formats).
A_u_short LargestAlpha16(const World& w) {
    A_u_short largest = 0;
    if (w.GetDepth() != Depth::k16) return largest;
    for (A_long y = 0; y < w.Height(); ++y) {
        for (A_long x = 0; x < w.Width(); ++x) {
            largest = std::max(largest, w.At<PF_Pixel16>(x, y).alpha);
        }
    }
    return largest;
}

class Run {
public:
    explicit Run(const FrameCase& c) : c_(c), host_(Entry) {}

    FrameReport Go() {
        report_.description = DescribeFrame(c_);
        host_.EnableCallLog(false);  // the log grows by a line per sampled pixel
        ArmFault();
        BuildComposition();
        host_.SetRenderDepth(c_.depth);
        host_.SetDownsample(c_.downsample);
        host_.SetQuality(c_.quality);
        host_.SetThreads(1);
        g_outputFill = {std::nullopt, PixelBytesOf(c_.depth)};

        const bool setUp = Command("global set-up", [&] { return host_.GlobalSetup(); });
        // The global data is the one handle that outlives a command.
        globalHandles_ = host_.InData().global_data != nullptr ? 1 : 0;
        Settle("global set-up");
        if (!setUp) return report_;
        const bool registered = Command("parameter set-up", [&] { return host_.ParamsSetup(); });
        Settle("parameter set-up");
        if (!registered) return report_;
        report_.description += DescribeControls(c_, host_.Registered());

        SetControls();
        for (std::size_t i = 0; i < kMapControls.size(); ++i) {
            if (mapLayers_[i] >= 0) host_.BindLayerParam(kMapControls[i], mapLayers_[i]);
        }
        for (A_long id : supervisedSet_) {
            Command(
                "user-changed-param " + std::to_string(id),
                [&] { return host_.UserChangedParam(id); }, true);
            Settle("user-changed-param " + std::to_string(id));
        }

        // A frame the fault struck in is rendered again (the fault strikes
        // once): it may have failed, or read some controls at their defaults.
        const auto frame = [&](const char* what) {
            for (int attempt = 0; attempt < 2; ++attempt) {
                const bool struckBefore = FaultStruck();
                const bool done = Command(what, [&] { return host_.RenderFrame(); });
                Settle(what);
                if (done && (struckBefore || !FaultStruck())) return true;
            }
            return false;
        };
        if (!frame("the first frame") || !report_.findings.empty()) return report_;
        const World first = host_.Output();
        report_.frame = testing::Bytes(first);
        if (!c_.fault || c_.fault->function != "checkout_output") g_outputFill.byte = kSecondFill;
        const bool second = frame("the second frame");
        g_outputFill.byte.reset();
        if (!second || !report_.findings.empty()) return report_;
        CheckOutput(first, host_.Output());
        if (!report_.findings.empty()) return report_;
        host_.SetRegion(c_.region);
        if (frame("the part of the layer")) CheckPart(first, host_.Output());
        return report_;
    }

private:
    void Finding(const std::string& what) { report_.findings.push_back(what); }

    void ArmFault() {
        if (!c_.fault) return;
        const FaultSpec& f = *c_.fault;
        if (f.kind == FaultSpec::Kind::kCode) {
            host_.FailCall(f.function, f.nth, f.code);
        } else {
            host_.ThrowOnCall(f.function, f.nth, f.kind == FaultSpec::Kind::kBadAlloc);
        }
    }

    // Whether the fault has struck by now.
    bool FaultStruck() const {
        return c_.fault && host_.Calls(c_.fault->function) >= c_.fault->nth;
    }

    // Runs a command; true when it succeeded. It may fail only when the
    // fault struck during it, or, for user-changed-param, when global set-up
    // left the effect without its global data (the plug-in id the stream
    // calls need).
    template <class Send>
    bool Command(const std::string& what, Send send, bool needsGlobalData = false) {
        const bool struckBefore = FaultStruck();
        const PF_Err err = send();
        if (err == PF_Err_NONE) return true;
        const bool excused =
            (!struckBefore && FaultStruck()) || (needsGlobalData && globalHandles_ == 0);
        if (!excused) Finding(what + " returned error " + std::to_string(err));
        return false;
    }

    // A give-back call that failed gives nothing back: what it would have
    // returned stays counted against the module. The host's functions
    // without a result cannot fail, only throw.
    int FailedGiveBack(const char* function, bool hasResult = true) const {
        if (!FaultStruck() || c_.fault->function != function) return 0;
        return hasResult || c_.fault->kind != FaultSpec::Kind::kCode ? 1 : 0;
    }

    // Nothing may stay with the module between commands.
    void Settle(const std::string& after) {
        const auto check = [&](int value, int expected, const char* what) {
            if (value != expected) {
                Finding("after " + after + ": " + what + " " + std::to_string(value) +
                        " (expected " + std::to_string(expected) + ")");
            }
        };
        check(host_.SuitesHeld(), FailedGiveBack("ReleaseSuite"), "suites held");
        check(host_.OpenParamCheckouts(), FailedGiveBack("checkin_param"),
              "parameters checked out");
        check(host_.OpenLayerCheckouts(), FailedGiveBack("checkin_layer_pixels"),
              "layer pixels checked out");
        check(host_.LiveHandles(), globalHandles_ + FailedGiveBack("host_dispose_handle", false),
              "live handles");
        check(host_.LiveNewWorlds(), 0, "new worlds");
        check(host_.OpenLayerStreams(), 0, "layer stream references");
        check(host_.OpenStreamValues(), 0, "stream values");
        const std::vector<std::string> violations = host_.Violations();
        for (std::size_t i = violationsSeen_; i < violations.size(); ++i) {
            Finding("after " + after + ": " + violations[i]);
        }
        violationsSeen_ = violations.size();
    }

    void BuildComposition() {
        auto& layers = host_.Comp().layers;
        if (c_.camera) {
            host::CompLayer camera;
            camera.name = "Camera";
            camera.type = AEGP_ObjectType_CAMERA;
            camera.position = host::Keyed<host::Vec3d>(*c_.camera);
            layers.push_back(camera);
        }
        for (const LightSpec& l : c_.lights) {
            host::CompLayer light;
            light.name = l.name;
            light.type = AEGP_ObjectType_LIGHT;
            light.lightType = l.type;
            light.videoOn = l.videoOn;
            light.position = host::Keyed<host::Vec3d>(l.position);
            light.anchorPoint = host::Keyed<host::Vec3d>(l.anchor);
            light.intensity = host::Keyed<double>(l.intensity);
            light.coneAngle = host::Keyed<double>(l.coneAngle);
            light.coneFeather = host::Keyed<double>(l.coneFeather);
            light.color = host::Keyed<host::ColorD>(l.color);
            layers.push_back(light);
        }
        host::CompLayer effect;
        effect.name = "Normals";
        layers.push_back(effect);
        host_.Comp().effectLayer = int(layers.size()) - 1;

        const Depth footage = FootageDepth(c_);
        auto input = std::make_shared<World>(MakeLayer(c_.input, footage));
        largestSourceAlpha_ = LargestAlpha16(*input);
        host_.SetInput(input);

        for (std::size_t i = 0; i < c_.maps.size(); ++i) {
            const LayerSpec& spec = c_.maps[i];
            mapLayers_[i] = -1;
            if (spec.binding == Binding::kNone) continue;
            host::CompLayer layer;
            layer.name = "Map " + std::to_string(i + 1);
            if (spec.binding == Binding::kFootage) {
                auto world = std::make_shared<World>(MakeLayer(spec, footage));
                if (kMapControls[i] == PARAM_ALPHA_MAP) {
                    largestSourceAlpha_ = std::max(largestSourceAlpha_, LargestAlpha16(*world));
                }
                layer.footage = std::move(world);
            }
            layers.push_back(layer);
            mapLayers_[i] = int(layers.size()) - 1;
        }
    }

    void SetControls() {
        const std::vector<PF_ParamDef>& registered = host_.Registered();
        display_ = registered[PARAM_DISPLAY - 1].u.pd.value;
        for (std::size_t i = 0; i < registered.size(); ++i) {
            const A_long id = A_long(i + 1);
            const std::optional<PF_ParamDefUnion> v =
                ControlValue(registered[i], c_.controls[std::size_t(id)]);
            if (!v) continue;
            host_.SetParam(id, *v);
            if (id == PARAM_DISPLAY) display_ = v->pd.value;
            if ((registered[i].flags & PF_ParamFlag_SUPERVISE) != 0) supervisedSet_.push_back(id);
        }
    }

    void CheckOutput(const World& first, const World& second) {
        const A_long f = c_.downsample;
        const A_long width = (c_.input.width + f - 1) / f, height = (c_.input.height + f - 1) / f;
        if (first.Width() != width || first.Height() != height || second.Width() != width ||
            second.Height() != height) {
            Finding("the output is " + std::to_string(first.Width()) + " x " +
                    std::to_string(first.Height()) + ", expected " + std::to_string(width) + " x " +
                    std::to_string(height));
            return;
        }
        const std::size_t bytes = std::size_t(PixelBytesOf(c_.depth));
        int reported = 0;
        for (A_long y = 0; y < height && reported < 8; ++y) {
            for (A_long x = 0; x < width && reported < 8; ++x) {
                const unsigned char* a = first.Row(y) + std::size_t(x) * bytes;
                const unsigned char* b = second.Row(y) + std::size_t(x) * bytes;
                std::string problem;
                if (std::memcmp(a, b, bytes) != 0) {
                    problem =
                        "differs between the two renders: not written, or not the same "
                        "each time";
                } else if (c_.depth == Depth::k16) {
                    problem = OutOfRange16(*reinterpret_cast<const PF_Pixel16*>(a));
                }
                if (!problem.empty()) {
                    Finding("output pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") " +
                            problem);
                    ++reported;
                }
            }
        }
    }

    // The part asked for on its own against the whole render there.
    void CheckPart(const World& whole, const World& part) {
        const PF_LRect& r = c_.region;
        if (part.Width() != r.right - r.left || part.Height() != r.bottom - r.top) {
            Finding("the part is " + std::to_string(part.Width()) + " x " +
                    std::to_string(part.Height()) + ", not the rectangle asked for");
            return;
        }
        const std::size_t bytes = std::size_t(PixelBytesOf(c_.depth));
        int reported = 0;
        for (A_long y = 0; y < part.Height() && reported < 8; ++y) {
            for (A_long x = 0; x < part.Width() && reported < 8; ++x) {
                const unsigned char* a = part.Row(y) + std::size_t(x) * bytes;
                const unsigned char* b = whole.Row(r.top + y) + std::size_t(r.left + x) * bytes;
                if (std::memcmp(a, b, bytes) != 0) {
                    Finding("output pixel (" + std::to_string(r.left + x) + ", " +
                            std::to_string(r.top + y) +
                            ") rendered as part of the layer differs from the whole render");
                    ++reported;
                }
            }
        }
    }

    std::string OutOfRange16(const PF_Pixel16& p) const {
        std::ostringstream t;
        if (p.alpha > PF_MAX_CHAN16 && p.alpha > largestSourceAlpha_) {
            t << "has alpha " << p.alpha << ", above 32768 and above every source alpha";
        }
        // Without coverage the input colour passes unchanged; Original
        // Normals shows the normal map as it is.
        const bool passedOn = p.alpha == 0 || display_ == kOriginalNormals;
        if (!passedOn &&
            (p.red > PF_MAX_CHAN16 || p.green > PF_MAX_CHAN16 || p.blue > PF_MAX_CHAN16)) {
            t << "has colour " << p.red << " " << p.green << " " << p.blue << ", above 32768";
        }
        return t.str();
    }

    const FrameCase& c_;
    host::Host host_;
    FrameReport report_;
    int globalHandles_ = 0;
    std::size_t violationsSeen_ = 0;
    std::array<int, kMapControls.size()> mapLayers_{};
    std::vector<A_long> supervisedSet_;
    A_long display_ = 0;
    A_u_short largestSourceAlpha_ = 0;
};

}  // namespace

namespace {

// The same pixels, NaN channels alike whatever their bits (SameChannel).
bool SameFrame(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, Depth d) {
    if (a.size() != b.size()) return false;
    const int channel = int(PixelBytesOf(d)) / 4;
    for (std::size_t i = 0; i < a.size(); i += std::size_t(channel)) {
        if (!testing::SameChannel(&a[i], &b[i], channel)) return false;
    }
    return true;
}

}  // namespace

FrameReport RunFrameCase(const FrameCase& c) {
    FrameReport report = Run(c).Go();
    const PixelPath first = CurrentPixelPath();
    for (PixelPath path : {PixelPath::kPixel, PixelPath::kSse2, PixelPath::kAvx2}) {
        if (!report.findings.empty() || report.frame.empty()) break;
        if (path == first || !ProcessorHas(path)) continue;
        const testing::PathChoice choice(path);
        const FrameReport other = Run(c).Go();
        const std::string on = std::string(" on the ") + PixelPathName(path) + " path";
        for (const std::string& f : other.findings) report.findings.push_back(f + on);
        if (other.findings.empty() && !SameFrame(other.frame, report.frame, c.depth)) {
            report.findings.push_back("the first frame" + on + " differs from the " +
                                      PixelPathName(first) + " path's");
        }
    }
    return report;
}

}  // namespace lumeshade::fuzz
