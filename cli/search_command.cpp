#include "cli/search_command.h"

#include "cli/json_text.h"
#include "common/keys.h"
#include "editor/tools/file_search.h"
#include "editor/tools/memo_search.h"

namespace kanopa::cli {
namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

}  // namespace

std::optional<CommandFailure> RunSearchCommand(const std::vector<std::string>& args, FileSystem& fs,
                                               char separator, std::ostream& out) {
    std::vector<std::string> positional;
    bool recursive = false;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--recursive") {
            recursive = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg.rfind("--", 0) == 0) {
            return CommandFailure{2, "この場面では使えないオプションです: " + arg};
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2) return CommandFailure{2, "フォルダと検索文字列を指定してください"};
    if (positional.size() > 2) return CommandFailure{2, "余分な引数です: " + positional[2]};
    const std::string& root = positional[0];
    // The walk takes "" for the root of the whole drive: an empty variable in a script
    // must not start that.
    if (root.empty()) return CommandFailure{2, "フォルダが指定されていません"};
    // The walk takes a folder it cannot list as an empty one; a script deserves to know.
    if (!fs.ListFolder(root, [](const FolderEntry&) { return false; })) {
        return CommandFailure{1, "フォルダを一覧できません: " + root};
    }

    const std::vector<std::string> paths =
        editor::SearchFiles(fs, root, editor::kMemoFilePattern, recursive, nullptr, separator);
    const std::vector<editor::FoundMemo> found =
        editor::FilterByKeyword(fs, MemoKey(), paths, positional[1]);
    if (json) out << "[";
    bool first = true;
    for (const editor::FoundMemo& memo : found) {
        const std::size_t cut = memo.path.rfind(separator) + 1;  // the walk put one there
        if (json) {
            out << (first ? "\n" : ",\n") << "{\"path\":" << JsonString(memo.path)
                << ",\"folder\":" << JsonString(memo.path.substr(0, cut))
                << ",\"name\":" << JsonString(memo.path.substr(cut))
                << ",\"text\":" << JsonString(memo.text) << "}";
        } else {
            out << memo.path << '\t' << FirstLine(memo.text) << '\n';
        }
        first = false;
    }
    if (json) out << (first ? "]\n" : "\n]\n");
    return std::nullopt;
}

}  // namespace kanopa::cli
