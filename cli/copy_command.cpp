#include "cli/copy_command.h"

#include <ostream>

#include "editor/tools/bulk_copy.h"

namespace kanopa::cli {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The dialog's texts with plain line ends.
std::string Lines(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

}  // namespace

int RunCopyCommand(const std::vector<std::string>& args, FileSystem& fs, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "kanopa-memo: copy にはメモファイルとフォルダを指定してください（使い方: kanopa-memo --help）\n";
        return 2;
    }
    const std::string& source = args[0];
    const std::string& destination = args[1];
    const editor::CopyInputCheck check = editor::CheckCopyInput(fs, source, destination);
    if (check.refusal) {
        err << "kanopa-memo: " << check.refusal->text << "\n";
        return 1;
    }
    const editor::CopyResult result = editor::RunBulkCopy(fs, source, check.sourceName, destination, kSeparator);
    if (!result.skipped.empty()) out << "コピー元のフォルダなので飛ばしました: " << result.skipped << "\n";
    for (const std::string& target : result.copiedTo) out << "コピーしました: " << target << "\n";
    if (!result.ok) {
        err << "kanopa-memo: " << Lines(editor::CopyFailedMessage(source, result).text) << "\n";
        return 1;
    }
    out << Lines(editor::CopyCompletedMessage(result.copiedTo.size()).text) << "\n";
    return 0;
}

}  // namespace kanopa::cli
