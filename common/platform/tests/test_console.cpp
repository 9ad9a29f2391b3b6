// What the programs print reaches a file as the UTF-8 bytes they were given, on every
// system (a Windows console gets characters instead, which needs a terminal to be seen).

#include "TestSupport.h"

#include "platform/Console.h"

#include <cstdio>

TEST_CASE("a file gets the UTF-8 bytes as they are") {
    const test::TempDir dir;
    const std::string path = dir.file("out.txt");
    std::FILE* file = std::fopen(test::toPath(path).string().c_str(), "wb");
    REQUIRE(file != nullptr);
    chain::platform::writeText(file, "番組！\n");
    std::fclose(file);
    CHECK(test::readFile(path) == std::optional<std::string>("番組！\n"));
}
