#include "tools/progress.h"

#include <algorithm>
#include <cmath>

#include "common/convert.h"

namespace lumeshade::tools {

Progress::Progress(bool enabled, std::ostream& out, int frameCount)
    : enabled_(enabled), out_(out), frameCount_(std::max(frameCount, 1)) {}

Progress::~Progress() { Clear(); }

std::string Progress::Line(double share, int frameIndex, int frameCount, int frame) {
    constexpr int kWidth = 30;
    share = std::clamp(share, 0.0, 1.0);
    const int filled = FloorToInt(share * kWidth);
    std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] ";
    const std::string percent = std::to_string(FloorToInt(share * 100.0)) + "%";
    line += std::string(4 - std::min<std::size_t>(4, percent.size()), ' ') + percent;
    line += "  frame " + std::to_string(frame) + " (" + std::to_string(frameIndex + 1) + "/" +
            std::to_string(frameCount) + ")";
    return line;
}

void Progress::StartFrame(int frameIndex, int frame) {
    frameIndex_ = frameIndex;
    frame_ = frame;
    Draw(0.0);
}

void Progress::Rows(long done, long total) {
    if (total > 0) Draw(double(std::clamp(done, 0L, total)) / double(total));
}

void Progress::Draw(double withinFrame) {
    if (!enabled_) return;
    const double share = (frameIndex_ + withinFrame) / frameCount_;
    const std::string line = Line(share, frameIndex_, frameCount_, frame_);
    out_ << '\r' << line << std::flush;
    drawnLength_ = line.size();
}

void Progress::Finish() {
    if (drawnLength_ > 0) out_ << '\n' << std::flush;
    drawnLength_ = 0;
}

void Progress::Clear() {
    if (drawnLength_ > 0) out_ << '\r' << std::string(drawnLength_, ' ') << '\r' << std::flush;
    drawnLength_ = 0;
}

}  // namespace lumeshade::tools
