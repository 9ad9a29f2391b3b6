// File operations of the platform layer on real files in temporary folders.

#include "TestSupport.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstdlib>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

using namespace chain::platform;
using namespace test;
using Names = std::vector<std::string>;

namespace {

Names sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

#ifdef _WIN32
std::wstring wide(const std::string& path) {
    return toPath(path).wstring();
}

bool setAttributes(const std::string& path, DWORD attributes) {
    return ::SetFileAttributesW(wide(path).c_str(), attributes) != FALSE;
}
#endif

// A writable folder on another volume than `here`, or nothing.
std::optional<std::string> folderOnAnotherVolume(const std::string& here) {
    std::vector<std::string> candidates;
#ifdef _WIN32
    candidates.push_back("Z:\\dev\\shm"); // Wine: a drive letter alone may still be the same filesystem
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'C'; letter <= 'Y'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if ((drives & (1U << (letter - 'A'))) != 0 && ::GetDriveTypeA(root.c_str()) == DRIVE_FIXED)
            candidates.push_back(root);
    }
#else
    candidates.push_back("/dev/shm");
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
        candidates.push_back(runtime);
#endif
    for (const std::string& candidate : candidates) {
        if (sameVolume(here, candidate) != std::optional<bool>(false))
            continue;
        const std::string probe = fromPath(toPath(candidate) / ("platform-test-" + named("{tag}")));
        std::error_code error;
        if (fs::create_directory(toPath(probe), error))
            return probe;
    }
    return std::nullopt;
}

} // namespace

TEST_CASE("a move never replaces a file") {
    const struct {
        std::string name;
        bool sourceThere;
        std::string target;                      // inside the test folder
        std::optional<std::string> targetBefore; // nothing: no such file
        Kind expected;
    } rows[] = {
        {"rename in the folder", true, "b.ts", {}, Kind::Ok},
        {"into another folder", true, "sub/a.ts", {}, Kind::Ok},
        {"Japanese name", true, "sub/番組 ～①.ts", {}, Kind::Ok},
        {"onto an existing file", true, "b.ts", "old b", Kind::Exists},
        {"onto an existing empty file", true, "b.ts", "", Kind::Exists},
        {"onto an existing file in another folder", true, "sub/a.ts", "old sub/a", Kind::Exists},
        {"onto itself", true, "a.ts", {}, Kind::Exists},
        {"onto a folder", true, "sub", {}, Kind::Exists},
        {"into a missing folder", true, "none/a.ts", {}, Kind::NotFound},
        {"missing source", false, "b.ts", {}, Kind::NotFound},
    };
    for (const auto& row : rows) {
        INFO(row.name);
        TempDir dir;
        fs::create_directory(toPath(dir.file("sub")));
        const std::string from = dir.file("a.ts");
        const std::string to = dir.file(row.target);
        const std::string content = "source content";
        if (row.sourceThere)
            REQUIRE(writeFile(from, content));
        if (row.targetBefore)
            REQUIRE(writeFile(to, *row.targetBefore));

        const OpResult r = moveNoReplace(from, to);
        CHECK(r.kind == row.expected);
        if (r.ok()) {
            CHECK(readFile(to) == content);
            const Names names = entriesOf(dir.path()); // the names as stored, letter case included
            CHECK(std::find(names.begin(), names.end(), "a.ts") == names.end());
            continue;
        }
        CHECK_FALSE(r.detail.empty());
        if (row.sourceThere)
            CHECK(readFile(from) == content);
        if (row.targetBefore)
            CHECK(readFile(to) == *row.targetBefore);
        // Nothing else appeared beside them (no placeholder or link left behind).
        Names expected{"sub"};
        if (row.sourceThere)
            expected.push_back("a.ts");
        if (row.targetBefore && row.target.find('/') == std::string::npos)
            expected.push_back(row.target);
        expected = sorted(expected);
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        CHECK(entriesOf(dir.path()) == expected);
    }
}

// A run of renames in one folder: each as a move, in order, so a name freed by one
// rename can be taken by a later one and a name taken by an earlier one is refused.
TEST_CASE("renames within a folder never replace a file") {
    TempDir dir;
    for (const char* name : {"a.ts", "b.ts", "c.ts", "d.ts"})
        REQUIRE(writeFile(dir.file(name), name));
    fs::create_directory(toPath(dir.file("sub")));
    const std::vector<std::pair<std::string, std::string>> renames{
        {"a.ts", "x.ts"},       {"b.ts", "x.ts"}, {"c.ts", "a.ts"},       {"d.ts", "d.ts"},
        {"missing.ts", "y.ts"}, {"b.ts", "sub"},  {"b.ts", "番組 ～①.ts"}};
    const std::vector<OpResult> results = renameInFolder(dir.path(), renames);
    std::vector<Kind> kinds;
    for (const OpResult& r : results)
        kinds.push_back(r.kind);
    CHECK(kinds == std::vector<Kind>{Kind::Ok, Kind::Exists, Kind::Ok, Kind::Exists, Kind::NotFound,
                                     Kind::Exists, Kind::Ok});
    CHECK(entriesOf(dir.path()) == Names{"a.ts", "d.ts", "sub", "x.ts", "番組 ～①.ts"});
    CHECK(readFile(dir.file("x.ts")) == "a.ts");
    CHECK(readFile(dir.file("a.ts")) == "c.ts");
    CHECK(readFile(dir.file("番組 ～①.ts")) == "b.ts");

    const std::vector<OpResult> missing =
        renameInFolder(dir.file("none"), {{"a.ts", "z.ts"}, {"d.ts", "z.ts"}});
    REQUIRE(missing.size() == 2);
    CHECK(missing[0].kind == Kind::NotFound);
    CHECK(missing[1].kind == Kind::NotFound);
    CHECK(renameInFolder("", {{"a.ts", "z.ts"}}).front().kind == Kind::NotFound); // never the root
}

TEST_CASE("a move to another volume is refused, not copied") {
    TempDir here;
    const auto there = folderOnAnotherVolume(here.path());
    if (!there) {
        MESSAGE("skipped: no writable folder on another volume");
        return;
    }
    const std::string from = here.file("a.ts");
    const std::string to = fromPath(toPath(*there) / "a.ts");
    REQUIRE(writeFile(from, "data"));
    const OpResult r = moveNoReplace(from, to);
    CHECK(r.kind == Kind::CrossVolume);
    CHECK(readFile(from) == "data");
    CHECK_FALSE(fs::exists(toPath(to)));
    fs::remove_all(toPath(*there));
}

TEST_CASE("delete removes only files") {
    TempDir dir;
    const std::string file = dir.file("a.ts");
    const std::string folder = dir.file("sub");
    REQUIRE(writeFile(file, "x"));
    REQUIRE(fs::create_directory(toPath(folder)));

    CHECK(deleteFile(file).ok());
    CHECK_FALSE(fs::exists(toPath(file)));
    CHECK(deleteFile(file).kind == Kind::NotFound);

    const OpResult onFolder = deleteFile(folder);
    CHECK_FALSE(onFolder.ok());
    CHECK_FALSE(onFolder.detail.empty());
    CHECK(fs::is_directory(toPath(folder)));

    REQUIRE(writeFile(file, "x"));
    CHECK(setNormalAttributes(file).ok());
    CHECK(setNormalAttributes(dir.file("none")).kind == Kind::NotFound);
}

TEST_CASE("a listing holds only ordinary files") {
    TempDir dir;
    for (const char* name : {"a.ts", "B.TXT", "番組.ts", "sub.ts/inner.ts"}) {
        fs::create_directories(toPath(dir.file(name)).parent_path());
        REQUIRE(writeFile(dir.file(name), "1"));
    }
    Names expected{"B.TXT", "a.ts", "番組.ts"};
#ifdef _WIN32
    for (const auto& [name, attributes] :
         {std::pair{"hidden.ts", FILE_ATTRIBUTE_HIDDEN}, std::pair{"system.ts", FILE_ATTRIBUTE_SYSTEM},
          std::pair{"readonly.ts", FILE_ATTRIBUTE_READONLY}}) {
        REQUIRE(writeFile(dir.file(name), "2"));
        REQUIRE(setAttributes(dir.file(name), attributes));
    }
    expected.push_back("readonly.ts");
#else
    // Dot-files are left out; symbolic links count as what they point to.
    REQUIRE(writeFile(dir.file(".hidden.ts"), "3"));
    fs::create_directory(toPath(dir.file(".git")));
    fs::create_symlink(toPath(dir.file("a.ts")), toPath(dir.file("link.ts")));
    fs::create_directory_symlink(toPath(dir.file("sub.ts")), toPath(dir.file("folderlink.ts")));
    fs::create_symlink(toPath(dir.file("gone.ts")), toPath(dir.file("dangling.ts")));
    expected.push_back("link.ts");
#endif

    Names names{"left over"};
    REQUIRE(listOrdinaryFiles(dir.path(), names).ok());
    CHECK(sorted(names) == sorted(expected));
}

// Only names that end in the extension are examined further; the rules of the whole
// listing still hold for them.
TEST_CASE("a listing by extension keeps the ordinary files that end in it") {
    TempDir dir;
    for (const char* name :
         {"a.ts", "C.Ts", "番組.ts", "c.tsv", "d.ts.bak", "ts", "B.TXT", "sub.ts/inner.ts"}) {
        fs::create_directories(toPath(dir.file(name)).parent_path());
        REQUIRE(writeFile(dir.file(name), "1"));
    }
    Names expected{"a.ts", "C.Ts", "番組.ts"};
#ifdef _WIN32
    REQUIRE(writeFile(dir.file("hidden.ts"), "2"));
    REQUIRE(setAttributes(dir.file("hidden.ts"), FILE_ATTRIBUTE_HIDDEN));
#else
    REQUIRE(writeFile(dir.file(".hidden.ts"), "3"));
    fs::create_symlink(toPath(dir.file("a.ts")), toPath(dir.file("link.TS")));
    fs::create_symlink(toPath(dir.file("B.TXT")), toPath(dir.file("other.ts")));
    fs::create_directory_symlink(toPath(dir.file("sub.ts")), toPath(dir.file("folderlink.ts")));
    fs::create_symlink(toPath(dir.file("gone.ts")), toPath(dir.file("dangling.ts")));
    expected.push_back("link.TS");
    expected.push_back("other.ts");
#endif

    Names names{"left over"};
    REQUIRE(listOrdinaryFiles(dir.path(), names, ".ts").ok());
    CHECK(sorted(names) == sorted(expected));
    REQUIRE(listOrdinaryFiles(dir.path(), names, ".TXT").ok());
    CHECK(names == Names{"B.TXT"});

    // Asked for, the other entries' names come too: together, every name in the folder.
    Names others{"left over"};
    REQUIRE(listOrdinaryFiles(dir.path(), names, ".ts", &others).ok());
    CHECK(sorted(names) == sorted(expected));
    Names all = names;
    all.insert(all.end(), others.begin(), others.end());
    CHECK(sorted(all) == entriesOf(dir.path()));
}

TEST_CASE("listing a missing folder fails") {
    TempDir dir;
    REQUIRE(writeFile(dir.file("file"), "x"));
    Names names{"left over"};

    OpResult r = listOrdinaryFiles(dir.file("none"), names);
    CHECK(r.kind == Kind::NotFound);
    CHECK_FALSE(r.detail.empty());
    CHECK(names.empty());

    CHECK_FALSE(listOrdinaryFiles(dir.file("file"), names).ok());
    CHECK(listOrdinaryFiles("", names).kind == Kind::NotFound); // never the root
}

TEST_CASE("file queries") {
    TempDir dir;
    const std::string file = dir.file("a.m2v");
    const std::string empty = dir.file("b.wav");
    const std::string missing = dir.file("none");
    const std::string& folder = dir.path();
    REQUIRE(writeFile(file, "12345"));
    REQUIRE(writeFile(empty, ""));

    CHECK(fileSize(file) == std::optional<std::uint64_t>(5));
    CHECK(fileSize(empty) == std::optional<std::uint64_t>(0));
    CHECK_FALSE(fileSize(missing));
    CHECK_FALSE(fileSize(folder)); // a folder named like an output is no output

    CHECK(isRegularFile(file));
    CHECK_FALSE(isRegularFile(folder));
    CHECK_FALSE(isRegularFile(missing));

    CHECK(canOpenForReading(file));
    CHECK_FALSE(canOpenForReading(folder));
    CHECK_FALSE(canOpenForReading(missing));

    CHECK(sameVolume(file, folder) == std::optional<bool>(true));
    CHECK_FALSE(sameVolume(file, missing));

    // A name is taken by anything, a folder included.
    CHECK(entryExists(file));
    CHECK(entryExists(folder));
    CHECK_FALSE(entryExists(missing));

    // The time a file was written, as the system keeps it.
    // A whole second, which every filesystem keeps exactly.
    const auto written =
        std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now()) - std::chrono::hours(24);
    fs::last_write_time(toPath(file), written);
    const auto expected = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    REQUIRE(modifiedMsecs(file));
    CHECK(std::llabs(*modifiedMsecs(file) - expected.count()) <= 2);
    CHECK_FALSE(modifiedMsecs(folder));
    CHECK_FALSE(modifiedMsecs(missing));

    CHECK(currentDirectory() == fromPath(fs::current_path()));
}

TEST_CASE("contents are replaced whole or not at all") {
    const struct {
        std::string name;
        std::string target;                // inside the test folder
        std::optional<std::string> before; // nothing: no such file
        Kind expected;
    } rows[] = {
        {"new file", "s.txt", {}, Kind::Ok},
        {"existing file", "s.txt", "old\r\nlines\r\n", Kind::Ok},
        {"empty file", "s.txt", "", Kind::Ok},
        {"a folder", "sub", {}, Kind::NotRegularFile},
        {"in a missing folder", "none/s.txt", {}, Kind::NotFound},
    };
    const std::string bytes("new\r\n\0bytes\r\n", 13);
    for (const auto& row : rows) {
        INFO(row.name);
        TempDir dir;
        fs::create_directory(toPath(dir.file("sub")));
        const std::string path = dir.file(row.target);
        if (row.before)
            REQUIRE(writeFile(path, *row.before));

        const OpResult r = replaceFileContents(path, bytes);
        CHECK(r.kind == row.expected);
        std::string read = "left over";
        const OpResult readBack = readWholeFile(path, read);
        if (r.ok()) {
            CHECK(readBack.ok());
            CHECK(read == bytes);
        } else {
            CHECK(readBack.kind == row.expected); // reading fails the same way
            CHECK(read.empty());
        }
        // No temporary file is left behind.
        Names expected{"sub"};
        if (row.target == "s.txt")
            expected.push_back("s.txt");
        CHECK(entriesOf(dir.path()) == sorted(expected));
    }
}

TEST_CASE("a range of a file is read without the rest") {
    const struct {
        std::string name;
        std::uint64_t offset;
        std::size_t count;
        std::string expected;
    } rows[] = {
        {"middle", 2, 3, "234"},
        {"cut at the end", 8, 5, "89"},
        {"past the end", 20, 4, ""},
    };
    TempDir dir;
    REQUIRE(writeFile(dir.file("f"), "0123456789"));
    for (const auto& row : rows) {
        INFO(row.name);
        std::string bytes = "left over";
        CHECK(readFileRange(dir.file("f"), row.offset, row.count, bytes).ok());
        CHECK(bytes == row.expected);
    }
    std::string bytes;
    CHECK(readFileRange(dir.file("none"), 0, 4, bytes).kind == Kind::NotFound);
    CHECK(readFileRange(dir.path(), 0, 4, bytes).kind == Kind::NotRegularFile);
}

TEST_CASE("appending adds to the end and creates a missing file") {
    TempDir dir;
    const std::string path = dir.file("log.txt");
    CHECK(appendToFile(path, "one\r\n").ok());
    CHECK(appendToFile(path, "two\r\n").ok());
    CHECK(readFile(path) == "one\r\ntwo\r\n");
    CHECK(appendToFile(dir.file("none/log.txt"), "x").kind == Kind::NotFound);
}

#ifdef _WIN32

TEST_CASE("normal attributes clear read-only, hidden and system marks") {
    TempDir dir;
    const std::string file = dir.file("a.ts");
    REQUIRE(writeFile(file, "x"));
    REQUIRE(setAttributes(file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    CHECK(deleteFile(file).kind == Kind::Denied);

    CHECK(setNormalAttributes(file).ok());
    // (Wine reports every file as to be archived, so that mark isn't checked.)
    CHECK((::GetFileAttributesW(wide(file).c_str()) &
           (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0);
    CHECK(deleteFile(file).ok());
}

TEST_CASE("a file another program holds open is busy, and is kept") {
    TempDir dir;
    const std::string file = dir.file("a.ts");
    REQUIRE(writeFile(file, "recording"));
    const HANDLE held = ::CreateFileW(wide(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);

    CHECK(moveNoReplace(file, dir.file("b.ts")).kind == Kind::Busy);
    CHECK(deleteFile(file).kind == Kind::Busy);
    CHECK_FALSE(replaceFileContents(file, "new").ok());
    ::CloseHandle(held);
    CHECK(readFile(file) == "recording");
    CHECK(entriesOf(dir.path()) == Names{"a.ts"});
}

TEST_CASE("the same volume means the same drive letter") {
    TempDir dir;
    const std::string file = dir.file("a.ts");
    REQUIRE(writeFile(file, "x"));
    std::string otherCase = file; // "c:/..." for "C:\..."
    otherCase[0] = static_cast<char>(otherCase[0] ^ 0x20);
    std::replace(otherCase.begin(), otherCase.end(), '\\', '/');
    CHECK(sameVolume(file, otherCase) == std::optional<bool>(true));
    // Any other drive is another volume (under Wine, Z: is the Unix root).
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (letter != (file[0] & ~0x20) && ::GetDriveTypeA(root.c_str()) == DRIVE_FIXED)
            CHECK_MESSAGE(sameVolume(file, root) == std::optional<bool>(false), root);
    }
}

TEST_CASE("paths past MAX_PATH work") {
    TempDir dir;
    // Folders of 60 characters, deep enough that the file's path passes 300.
    std::string folder = dir.path();
    std::vector<std::wstring> made;
    while (folder.size() < 300) {
        folder += "\\" + std::string(60, 'd');
        made.push_back(L"\\\\?\\" + wide(folder));
        REQUIRE(::CreateDirectoryW(made.back().c_str(), nullptr));
    }
    const std::string file = folder + "\\a.ts";
    // The same file written with forward slashes and a detour through "..".
    std::string other = folder + "/x/../b.ts";
    std::replace(other.begin(), other.end(), '\\', '/');

    CHECK(replaceFileContents(file, "long").ok());
    std::string bytes;
    CHECK(readWholeFile(file, bytes).ok());
    CHECK(bytes == "long");
    CHECK(fileSize(file) == std::optional<std::uint64_t>(4));
    CHECK(moveNoReplace(file, other).ok());
    Names names;
    CHECK(listOrdinaryFiles(folder, names).ok());
    CHECK(names == Names{"b.ts"});
    CHECK(sameVolume(other, dir.path()) == std::optional<bool>(true));
    CHECK(deleteFile(other).ok());
    CHECK_FALSE(isRegularFile(other));

    for (auto it = made.rbegin(); it != made.rend(); ++it)
        ::RemoveDirectoryW(it->c_str());
}

#endif
