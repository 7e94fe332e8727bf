// The progress bar drawn on a terminal over frames and the rows of each.
#pragma once

#include <ostream>
#include <string>

namespace lumeshade::tools {

class Progress {
public:
    // Draws nothing unless `enabled`.
    Progress(bool enabled, std::ostream& out, int frameCount);
    ~Progress();

    // `frameIndex` counts from 0 within the run; `frame` is its number.
    void StartFrame(int frameIndex, int frame);
    // Rows of the current frame done so far, out of `total`.
    void Rows(long done, long total);
    // Ends the line the bar is drawn on.
    void Finish();
    // Blanks the bar's line and returns to its start, so that other output
    // (a probe, a message) starts on a clean line; the next frame draws the
    // bar again. A bar still standing when the object goes (an error ends
    // the run) is blanked this way.
    void Clear();

    // The bar's text for a share of the work, for example
    // "[#####               ]  25%  frame 3 (2/8)".
    static std::string Line(double share, int frameIndex, int frameCount, int frame);

private:
    void Draw(double withinFrame);

    bool enabled_;
    std::ostream& out_;
    int frameCount_;
    int frameIndex_ = 0;
    int frame_ = 0;
    std::size_t drawnLength_ = 0;  // of the line on the terminal, 0 when none
};

}  // namespace lumeshade::tools
