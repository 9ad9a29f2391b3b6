// Lock files and file identities: what keeps two programs from acting at once, and from
// acting on a file that is no longer the one they recorded.

#include "TestSupport.h"

#include "platform/Files.h"
#include "platform/Lock.h"

using namespace chain::platform;
using namespace test;

TEST_CASE("a lock file is held by one holder at a time") {
    TempDir dir;
    const std::string path = dir.file("program.lock");
    FileLock first;
    REQUIRE(FileLock::tryLock(path, first).kind == Kind::Ok);
    CHECK(first.held());
    CHECK(entriesOf(dir.path()) == std::vector<std::string>{"program.lock"}); // created when missing

    FileLock second;
    CHECK(FileLock::tryLock(path, second).kind == Kind::Busy);
    CHECK_FALSE(second.held());

    // Moving the lock keeps it held; releasing it (or ending the holder) frees it.
    FileLock moved = std::move(first);
    CHECK_FALSE(first.held());
    CHECK(FileLock::tryLock(path, second).kind == Kind::Busy);
    moved.release();
    CHECK(FileLock::tryLock(path, second).kind == Kind::Ok);
    { FileLock scoped = std::move(second); }
    CHECK(FileLock::tryLock(path, first).kind == Kind::Ok);
    CHECK(entriesOf(dir.path()) == std::vector<std::string>{"program.lock"}); // the file stays

    FileLock elsewhere;
    CHECK(FileLock::tryLock(dir.file("missing/program.lock"), elsewhere).kind == Kind::NotFound);
}

TEST_CASE("a file keeps its identity through a rename, and a new file under its name has another") {
    TempDir dir;
    const std::string a = dir.file("news.m2v");
    REQUIRE(writeFile(a, "recording"));
    const std::optional<FileIdentity> before = fileIdentity(a);
    REQUIRE(before.has_value());
    CHECK(before->size == 9);

    const std::string b = dir.file("kept.m2v");
    REQUIRE(moveNoReplace(a, b).ok());
    CHECK(fileIdentity(b) == before);
    CHECK_FALSE(fileIdentity(a).has_value());

    REQUIRE(writeFile(a, "recording")); // same name, same size, another file
    const std::optional<FileIdentity> replaced = fileIdentity(a);
    REQUIRE(replaced.has_value());
    CHECK(replaced->file != before->file);

    REQUIRE(writeFile(b, "rewritten in place")); // same file, other contents
    const std::optional<FileIdentity> rewritten = fileIdentity(b);
    REQUIRE(rewritten.has_value());
    CHECK(rewritten->size == 18);
    CHECK(rewritten != before);

    CHECK_FALSE(fileIdentity(dir.path()).has_value()); // a folder has none
}
