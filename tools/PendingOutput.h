#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tools {

namespace fs = std::filesystem;

// An output file that is written under a hidden temporary name in its own folder and takes
// its final name only once it is complete, never replacing anything. What isn't committed
// when the object goes is removed, so a failed run leaves nothing half-written behind.
class PendingOutput {
  public:
    // Creates the temporary file (".<tag>-XXXXXX" beside the final name). Throws Stop with
    // `failCode` when that can't be done.
    PendingOutput(fs::path finalPath, std::string_view tag, int failCode);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    const fs::path& temporary() const { return m_temporary; }
    const fs::path& finalPath() const { return m_final; }

    // Gives the output its final name; an empty text, or why it couldn't (the name taken,
    // the file missing or empty). The temporary file is gone either way.
    std::string commit();
    // Removes the output again after a commit, when a later step of the same run failed.
    void undo();

  private:
    fs::path m_final;
    fs::path m_temporary;
    bool m_committed = false;
};

// Whether anything at all (a file, a folder, a dangling link) has this name.
bool nameTaken(const fs::path& path);

} // namespace tools
