// Output paths: frame numbering, the checks made before anything renders,
// and files that appear whole or not at all.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace lumeshade::tools {

enum class FileFormat { kPng, kTiff, kExr };

// By extension, ignoring case: .png, .tif or .tiff, .exr.
std::optional<FileFormat> FormatFromPath(const std::filesystem::path& path);

bool HasFrameNumber(const std::string& pattern);

// Each run of '#' in the file name (not in the folders above it) becomes the
// frame number, zero-padded to the run's length; a longer number is kept
// whole.
std::string FrameFileName(const std::string& pattern, int frame);

// Refuses, with an InputError, an output that cannot be written: an unknown
// extension, a folder that does not exist or is read-only, a target that is
// a folder or a read-only file, or several frames without a '#'.
void CheckOutputPath(const std::string& pattern, int firstFrame, int frameCount);

// A new file beside its target under a unique hidden name. It replaces the
// target in one rename on Commit; otherwise it is removed when the object
// goes, or when the program is interrupted, so no partial output is left.
class PendingFile {
public:
    explicit PendingFile(const std::filesystem::path& target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Commit();

private:
    std::filesystem::path target_;
    std::filesystem::path path_;
    bool committed_ = false;
};

}  // namespace lumeshade::tools
