#pragma once

#include <string>

namespace chain::platform {

// How a file or process operation of the platform layer ended.
struct OpResult {
    enum class Kind { Ok, Exists, NotFound, CrossVolume, Denied, Other };
    Kind kind = Kind::Ok;
    std::string detail; // the system's own words, for the report

    bool ok() const { return kind == Kind::Ok; }
    static OpResult success() { return {}; }
};

} // namespace chain::platform
