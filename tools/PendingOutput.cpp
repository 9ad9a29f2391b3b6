#include "PendingOutput.h"

#include "ToolSupport.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

PendingOutput::PendingOutput(fs::path finalPath, std::string_view tag, int failCode)
    : m_final(std::move(finalPath)) {
    // Built by appending: g++ 12 at -O3 takes `"." + std::string(tag)` for an overlapping copy.
    std::string leaf = ".";
    leaf.append(tag).append("-XXXXXX");
    std::string name = (m_final.parent_path() / leaf).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw Stop{failCode, "cannot create a file beside " + m_final.string() + ": " + std::strerror(errno)};
    }
    // mkstemp makes the file private; the output gets the permissions of any new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    m_temporary = name;
}

PendingOutput::~PendingOutput() {
    std::error_code ec;
    if (!m_committed) {
        fs::remove(m_temporary, ec);
    }
}

std::string PendingOutput::commit() {
    std::error_code ec;
    const auto size = fs::file_size(m_temporary, ec);
    if (ec || size == 0) {
        fs::remove(m_temporary, ec);
        return "no output written for " + m_final.string();
    }
    const chain::platform::OpResult moved = chain::platform::moveNoReplace(m_temporary, m_final);
    if (!moved.ok()) {
        fs::remove(m_temporary, ec);
        const bool taken = moved.kind == chain::platform::OpResult::Kind::Exists;
        return "cannot name the output " + m_final.string() + ": " +
               (taken ? "the name is taken" : moved.detail);
    }
    m_committed = true;
    return {};
}

void PendingOutput::undo() {
    std::error_code ec;
    if (m_committed) {
        fs::remove(m_final, ec);
        m_committed = false;
    }
}

bool nameTaken(const fs::path& path) {
    return chain::platform::entryExists(path.string());
}

} // namespace tools
