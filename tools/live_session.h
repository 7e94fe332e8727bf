// The state behind the live page: the scene being edited, and the one
// render worker that runs the module for it.
//
// Every piece of work goes through the same code path as a command-line run
// (Run, with the scene written to a private folder), so what the page shows
// is what lumeshade-render makes of the saved scene, byte for byte. Renders
// are latest-wins: while one runs, a newer request replaces the one queued,
// whose caller is told it was superseded, so dragging a slider never builds
// a queue.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/json_read.h"
#include "tools/live_visibility.h"
#include "tools/run_options.h"

namespace lumeshade::tools {

// What the module made of a piece of work.
struct ModuleAnswer {
    enum class Status { kOk, kBadInput, kModuleFailed, kSuperseded };
    Status status = Status::kOk;
    std::string message;  // for the failures: one line
    std::string out;      // what the run printed
    std::string image;    // renders: the PNG file's bytes
    double milliseconds = 0.0;
};

struct FileRenderProgress {
    bool running = false;
    int done = 0;  // frames written
    int total = 0;
    std::string path;
    std::string error;       // the failure that ended the last one
    bool cancelled = false;  // the last one was cancelled
};

class LiveSession {
public:
    // Fails with an InputError when the options' scene cannot be read.
    explicit LiveSession(const RunOptions& options);
    ~LiveSession();
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    // The scene as the page edits it: image paths relative to the scene's
    // folder.
    Json SceneJson() const;
    // Checks a scene from the page as a scene file is checked, with the
    // page's path rules for images that are new to it, and makes it the
    // current one. Image paths new to the scene are rewritten to be
    // relative to the scene's folder; the scene as kept is returned.
    ModuleAnswer ReplaceScene(const std::string& text, Json& kept);

    // The controls as --list-controls --json lists them, at `frame`, with
    // the visibility the module's rules leave after the edits so far
    // (live_visibility.h).
    ModuleAnswer Controls(int frame);
    // One frame at 1/downsample of full size, as PNG; latest-wins.
    ModuleAnswer Render(int frame, int downsample);
    // The output pixel (x, y) of `frame` as --probe prints it.
    ModuleAnswer Probe(int frame, int downsample, int x, int y);
    // Writes the current scene to `given` under the output folder.
    ModuleAnswer Save(const std::string& given);
    // Starts writing the scene's frames to `given` (with '#' for several)
    // under the output folder; refused while one is running.
    ModuleAnswer StartFileRender(const std::string& given);
    // Stops the running render to a file after the frame being written (the
    // frames written stay); refused when none is running.
    ModuleAnswer CancelFileRender();
    FileRenderProgress FileProgress() const;

    const std::vector<std::filesystem::path>& ReadFolders() const { return readFolders_; }

private:
    struct Job;
    ModuleAnswer RunNow(RunOptions options, const Json& scene);
    void Work();
    void RunFileRender(const Json& scene, const std::filesystem::path& target);

    RunOptions base_;
    std::filesystem::path sceneFolder_;
    std::vector<std::filesystem::path> readFolders_;
    std::filesystem::path outputFolder_;
    std::filesystem::path workFolder_;

    mutable std::mutex mutex_;  // the scene, the queue and the progress
    Json scene_;
    std::condition_variable wake_;
    std::shared_ptr<Job> queued_;
    bool stopping_ = false;
    std::optional<std::pair<Json, std::filesystem::path>> fileJob_;
    FileRenderProgress progress_;
    bool cancelFile_ = false;  // asked to stop the running render to a file
    std::mutex moduleMutex_;   // one run of the module at a time
    ControlVisibility visibility_;
    std::thread worker_;
};

}  // namespace lumeshade::tools
