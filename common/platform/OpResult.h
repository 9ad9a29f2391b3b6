#pragma once

#include <string>

namespace chain::platform {

// How a file or process operation of the platform layer ended. The kinds are what the
// programs tell the user (in Japanese, mapped in one place above this layer); `code` is
// the system's error number (errno, or GetLastError on Windows) for a kind of Other.
struct OpResult {
    enum class Kind {
        Ok,
        Exists,         // the target name is taken
        NotFound,       // the file or a folder of its path is missing
        CrossVolume,    // a move to another drive or filesystem
        Denied,         // no permission
        ReadOnly,       // a read-only filesystem or medium
        Busy,           // in use by another program
        NoSpace,        // the disk or the user's quota is full
        NameTooLong,    // a name or path beyond the system's limit
        InvalidName,    // a name the filesystem can't hold
        NotRegularFile, // a folder or a device where a file was expected
        NeedsWine,      // a Windows program, and no wine here to run it
        Other,
    };
    Kind kind = Kind::Ok;
    int code = 0;
    std::string detail; // the system's own words, for diagnostics

    bool ok() const { return kind == Kind::Ok; }
    static OpResult success() { return {}; }
};

} // namespace chain::platform
