#include "StartOptions.h"

#include "ChainVersion.h"
#include "platform/Console.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace chain {

namespace {
// The lines of the usage text that are the same for all four programs.
constexpr std::string_view SharedUsage = "  --help             この説明を表示して終わります\n"
                                         "  --version          バージョンを表示して終わります\n"
                                         "\n"
                                         "終了状態: 0 正常終了、1 することがない、または入力の拒否、\n"
                                         "          2 起動時の致命的なエラー (不明なオプションなど)、"
                                         "3 失敗したファイルがあった\n";

void print(std::FILE* stream, std::string_view text) {
    platform::writeText(stream, text);
}

void printUsage(std::FILE* stream, std::string_view usage) {
    print(stream, usage);
    print(stream, SharedUsage);
    std::fflush(stream);
}
} // namespace

std::optional<int> answerStartOptions(int argc, char** argv, std::string_view program, std::string_view usage,
                                      std::span<const KnownOption> known) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            printUsage(stdout, usage);
            return 0;
        }
        if (arg == "--version") {
            print(stdout, std::string(program) + " バージョン " + CHAIN_VERSION_TEXT + "\n");
            std::fflush(stdout);
            return 0;
        }
        const auto option = std::find_if(known.begin(), known.end(),
                                         [&](const KnownOption& candidate) { return candidate.name == arg; });
        if (option == known.end() || (option->takesValue && ++i >= argc)) {
            print(stderr, option == known.end() ? "不明なオプション: " + std::string(arg) + "\n"
                                                : std::string(arg) + " の値がありません\n");
            printUsage(stderr, usage);
            return 2;
        }
    }
    return std::nullopt;
}

} // namespace chain
