#include "tools/live_session.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "tools/command_scene.h"
#include "tools/driver.h"
#include "tools/input_error.h"
#include "tools/live_paths.h"
#include "tools/output_file.h"
#include "tools/scene.h"
#include "tools/scene_json.h"

namespace lumeshade::tools {
namespace fs = std::filesystem;
namespace {

constexpr const char* kSource = "the page";
constexpr const char* kErrorPrefix = "lumeshade-render: error: ";

fs::path MakeWorkFolder() {
    std::string pattern = (fs::temp_directory_path() / "lumeshade-live-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        Fail({"--serve", ""},
             "cannot make a working folder under " + fs::temp_directory_path().string());
    }
    return pattern;
}

fs::path Absolute(const fs::path& path) {
    std::error_code ec;
    return fs::absolute(path.empty() ? "." : path, ec).lexically_normal();
}

// The last error line of a run, without the program's name, and with the
// scene file the session wrote named as the page.
std::string ErrorMessage(const std::string& err, const std::string& sceneFile) {
    std::string message;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kErrorPrefix)) message = line.substr(std::string(kErrorPrefix).size());
    }
    if (message.empty()) message = err;
    for (std::size_t at; (at = message.find(sceneFile)) != std::string::npos;) {
        message.replace(at, sceneFile.size(), kSource);
    }
    return message;
}

ModuleAnswer Answer(ModuleAnswer::Status status, const std::string& message = "",
                    const std::string& out = "") {
    ModuleAnswer answer;
    answer.status = status;
    answer.message = message;
    answer.out = out;
    return answer;
}

ModuleAnswer BadInput(const std::string& message) {
    return Answer(ModuleAnswer::Status::kBadInput, message);
}

// The image path a layer entry of a scene names, or nothing for a
// generated layer.
Json* LayerPath(Json& layer) {
    if (layer.is_string()) return &layer;
    if (layer.is_object() && layer.contains("path") && layer["path"].is_string()) {
        return &layer["path"];
    }
    return nullptr;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

struct LiveSession::Job {
    RunOptions options;
    Json scene;
    std::promise<ModuleAnswer> answer;
};

LiveSession::LiveSession(const RunOptions& options) : base_(options), visibility_(options.module) {
    const Scene scene = SceneOfRun(options);
    sceneFolder_ = options.scene ? fs::path(*options.scene).parent_path() : fs::path();
    readFolders_.push_back(sceneFolder_.empty() ? fs::path(".") : sceneFolder_);
    for (const std::string& folder : options.folders) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec))
            Fail({"--folder", ""}, "\"" + folder + "\" is no folder");
        readFolders_.push_back(folder);
    }
    outputFolder_ = options.outputFolder;
    std::error_code ec;
    if (!fs::is_directory(outputFolder_, ec)) {
        Fail({"--output-folder", ""}, "\"" + options.outputFolder + "\" is no folder");
    }
    scene_ = SceneToJson(scene, sceneFolder_);
    workFolder_ = MakeWorkFolder();
    worker_ = std::thread([this] { Work(); });
}

LiveSession::~LiveSession() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        if (queued_) queued_->answer.set_value(Answer(ModuleAnswer::Status::kSuperseded));
        queued_.reset();
    }
    wake_.notify_all();
    worker_.join();
    std::error_code ec;
    fs::remove_all(workFolder_, ec);
}

Json LiveSession::SceneJson() const {
    const std::lock_guard lock(mutex_);
    return scene_;
}

ModuleAnswer LiveSession::RunNow(RunOptions options, const Json& sceneJson) {
    const std::lock_guard lock(moduleMutex_);
    const fs::path sceneFile = workFolder_ / "scene.json";
    try {
        const Scene scene = ParseScene(sceneJson.dump(), kSource, sceneFolder_);
        std::ofstream(sceneFile) << SceneToJson(scene, workFolder_).dump(2) << '\n';
    } catch (const InputError& e) {
        return BadInput(e.what());
    }
    options.scene = sceneFile.string();
    options.module = base_.module;
    options.threads = base_.threads;
    options.quality = base_.quality;
    options.progress = false;
    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    const int status = Run(options, out, err);
    ModuleAnswer answer;
    answer.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    answer.out = out.str();
    if (status == kExitBadInput) answer.status = ModuleAnswer::Status::kBadInput;
    if (status == kExitRenderFailed) answer.status = ModuleAnswer::Status::kModuleFailed;
    if (status != kExitOk) answer.message = ErrorMessage(err.str(), sceneFile.string());
    return answer;
}

ModuleAnswer LiveSession::ReplaceScene(const std::string& text, Json& kept) {
    Json scene;
    try {
        scene = ParseJson(text, kSource);
        Json current = SceneJson();
        const Location top{kSource, ""};
        // Paths the scene held already were checked when they came; new
        // ones must lie in the page's folders, and are kept relative to the
        // scene's folder as a scene file holds them.
        const auto checkNew = [&](Json& path, const Json* before, const Location& where) {
            if (before && *before == path) return;
            const fs::path file = ReadablePath(ReadString(path, where), readFolders_, where);
            path = Absolute(file).lexically_relative(Absolute(sceneFolder_)).string();
        };
        if (scene.is_object() && scene.contains("layers") && scene["layers"].is_object()) {
            for (auto& [name, layer] : scene["layers"].items()) {
                Json* path = LayerPath(layer);
                if (!path) continue;
                const Json* before = nullptr;
                if (current.contains("layers") && current["layers"].contains(name)) {
                    before = LayerPath(current["layers"][name]);
                }
                checkNew(*path, before, top.Key("layers").Key(name));
            }
        }
        if (scene.is_object() && scene.contains("input") && scene["input"].is_string()) {
            const bool isLayer = scene.contains("layers") && scene["layers"].is_object() &&
                                 scene["layers"].contains(scene["input"].get<std::string>());
            const Json* before = current.contains("input") ? &current["input"] : nullptr;
            if (!isLayer) checkNew(scene["input"], before, top.Key("input"));
        }
    } catch (const InputError& e) {
        return BadInput(e.what());
    }
    RunOptions check;
    check.printScene = true;
    ModuleAnswer answer = RunNow(check, scene);
    if (answer.status != ModuleAnswer::Status::kOk) return answer;
    const std::lock_guard lock(mutex_);
    scene_ = scene;
    kept = scene;
    return answer;
}

ModuleAnswer LiveSession::Controls(int frame) {
    // The scene is read once the module is free, so that of listings that
    // wait together the last to run sees the latest edit.
    const std::lock_guard lock(moduleMutex_);
    const Json scene = SceneJson();
    try {
        const Json listing =
            visibility_.Edit(ParseScene(scene.dump(), kSource, sceneFolder_), frame);
        return Answer(ModuleAnswer::Status::kOk, "", listing.dump());
    } catch (const InputError& e) {
        return BadInput(e.what());
    } catch (const std::runtime_error& e) {  // the module failed, or is not this one
        return Answer(ModuleAnswer::Status::kModuleFailed, e.what());
    }
}

ModuleAnswer LiveSession::Render(int frame, int downsample) {
    auto job = std::make_shared<Job>();
    job->options.frames = std::to_string(frame);
    job->options.downsample = downsample;
    job->options.output = (workFolder_ / "render.png").string();
    job->scene = SceneJson();
    std::future<ModuleAnswer> answer = job->answer.get_future();
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) return Answer(ModuleAnswer::Status::kSuperseded);
        if (queued_) queued_->answer.set_value(Answer(ModuleAnswer::Status::kSuperseded));
        queued_ = std::move(job);
    }
    wake_.notify_all();
    return answer.get();
}

ModuleAnswer LiveSession::Probe(int frame, int downsample, int x, int y) {
    RunOptions options;
    options.frames = std::to_string(frame);
    options.downsample = downsample;
    options.probes.push_back(std::to_string(x) + "," + std::to_string(y));
    options.output = (workFolder_ / "probe.png").string();
    return RunNow(options, SceneJson());
}

ModuleAnswer LiveSession::Save(const std::string& given) {
    try {
        const Location where{kSource, "path"};
        if (fs::path(given).extension() != ".json") {
            Fail(where, "expected a file name ending in .json, got \"" + given + "\"");
        }
        const fs::path target = WritablePath(given, outputFolder_, where);
        const Scene scene = ParseScene(SceneJson().dump(), kSource, sceneFolder_);
        PendingFile file(target);
        std::ofstream(file.Path()) << SceneToJson(scene, target.parent_path()).dump(2) << '\n';
        file.Commit();
    } catch (const InputError& e) {
        return BadInput(e.what());
    }
    return {};
}

ModuleAnswer LiveSession::StartFileRender(const std::string& given) {
    fs::path target;
    Json scene = SceneJson();
    try {
        const Location where{kSource, "path"};
        target = WritablePath(given, outputFolder_, where);
        const FrameRange frames =
            ParseScene(scene.dump(), kSource, sceneFolder_).frames.value_or(FrameRange{});
        CheckOutputPath(target.string(), frames.start, frames.Count());
    } catch (const InputError& e) {
        return BadInput(e.what());
    }
    {
        const std::lock_guard lock(mutex_);
        if (progress_.running) return BadInput("a render to a file is running already");
        progress_ = {true, 0, 0, given, "", false};
        cancelFile_ = false;
        fileJob_.emplace(std::move(scene), target);
    }
    wake_.notify_all();
    return {};
}

ModuleAnswer LiveSession::CancelFileRender() {
    const std::lock_guard lock(mutex_);
    if (!progress_.running) return BadInput("no render to a file is running");
    cancelFile_ = true;
    return {};
}

FileRenderProgress LiveSession::FileProgress() const {
    const std::lock_guard lock(mutex_);
    return progress_;
}

void LiveSession::RunFileRender(const Json& scene, const fs::path& target) {
    FrameRange frames;
    try {
        frames = ParseScene(scene.dump(), kSource, sceneFolder_).frames.value_or(FrameRange{});
    } catch (const InputError&) {
        // Checked when the render was asked for.
    }
    {
        const std::lock_guard lock(mutex_);
        progress_.total = frames.Count();
    }
    for (int frame = frames.start; frame <= frames.end; ++frame) {
        {
            const std::lock_guard lock(mutex_);
            if (cancelFile_) {
                progress_.cancelled = true;
                break;
            }
        }
        RunOptions options;
        options.frames = std::to_string(frame);
        options.output = target.string();
        const ModuleAnswer answer = RunNow(options, scene);
        const std::lock_guard lock(mutex_);
        if (answer.status != ModuleAnswer::Status::kOk || stopping_) {
            progress_.error = answer.message;
            break;
        }
        ++progress_.done;
    }
    const std::lock_guard lock(mutex_);
    progress_.running = false;
}

void LiveSession::Work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || queued_ || fileJob_; });
        if (stopping_) return;
        if (fileJob_) {
            auto [scene, target] = std::move(*fileJob_);
            fileJob_.reset();
            lock.unlock();
            try {
                RunFileRender(scene, target);
            } catch (const std::exception& e) {
                const std::lock_guard again(mutex_);
                progress_ = {false,
                             progress_.done,
                             progress_.total,
                             progress_.path,
                             std::string("internal error: ") + e.what(),
                             false};
            }
            continue;
        }
        const std::shared_ptr<Job> job = std::move(queued_);
        queued_.reset();
        lock.unlock();
        // Nothing may end this thread: its caller waits for the answer.
        ModuleAnswer answer;
        try {
            answer = RunNow(job->options, job->scene);
            if (answer.status == ModuleAnswer::Status::kOk) {
                answer.image = ReadBytes(*job->options.output);
            }
        } catch (const std::exception& e) {
            answer = Answer(ModuleAnswer::Status::kModuleFailed,
                            std::string("internal error: ") + e.what());
        }
        job->answer.set_value(std::move(answer));
    }
}

}  // namespace lumeshade::tools
