#include "editor/tools/bulk_copy.h"

#include "common/log.h"
#include "common/paths.h"

namespace kanopa::editor {
namespace {

constexpr char kLogSource[] = "frmCopy.cmdStart_Click()";
constexpr char kCopyTitle[] = "コピー";

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// No file or folder is named with these; a listing would take them as a pattern.
bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

bool Qualifies(const FolderEntry& entry) {
    if (!entry.IsFolder() || entry.IsNameSurrogate()) return false;
    if (entry.name == "." || entry.name == "..") return false;
    return (entry.attributes & (attribute::kHidden | attribute::kSystem)) == 0;
}

CopyInputCheck Refuse(std::string text, MessageIcon icon, CopyField focus, bool selectAll) {
    return {CopyMessage{std::move(text), kCopyTitle, icon}, focus, selectAll, {}};
}

}  // namespace

CopyInputCheck CheckCopyInput(FileSystem& fs, const std::string& source, const std::string& destination) {
    if (IsBlank(source))
        return Refuse("コピー元ファイルパスを入力してください。", MessageIcon::Information, CopyField::Source, false);
    if (IsBlank(destination))
        return Refuse("コピー先フォルダパスを入力してください。", MessageIcon::Information, CopyField::Destination,
                      false);
    CopyInputCheck check;
    // Ordinary, read-only and archive files only: no folder, no hidden or system file.
    if (!HasWildcard(source)) {
        (void)fs.ListFiles(source, [&](const std::string& name) {
            check.sourceName = name;
            return false;
        });
    }
    if (check.sourceName.empty())
        return Refuse("指定されたファイルは存在しません。確認してください。", MessageIcon::Exclamation,
                      CopyField::Source, true);
    const bool folder = !HasWildcard(destination) &&
                        fs.ListFolder(destination, [](const FolderEntry&) { return false; }).ok;
    if (!folder)
        return Refuse("指定されたフォルダは存在しません。確認してください。", MessageIcon::Exclamation,
                      CopyField::Destination, true);
    return check;
}

CopyMessage CopyQuestion() { return {"コピーを開始します。よろしいですか？", "確認", MessageIcon::Question}; }

CopyResult RunBulkCopy(FileSystem& fs, const std::string& source, const std::string& sourceName,
                       const std::string& destination, char separator, const Sleeper& sleep) {
    std::string folder = destination;
    if (!folder.empty() && folder.back() != separator) folder += separator;

    CopyResult result;
    std::vector<std::string> subFolders;
    const Status listed = fs.ListFolder(folder, [&](const FolderEntry& entry) {
        if (Qualifies(entry)) subFolders.push_back(folder + entry.name + separator);
        return true;
    });
    std::string subFolder;
    Status status = listed;
    if (listed) {
        // The memo is there already; copying it onto itself would only fail.
        const std::string sourceFolder = GetFolderPart(source);
        auto home = fs.IdentityOf(sourceFolder.empty() ? std::string(".") : sourceFolder);
        // A file system without file IDs (some network shares) reports 0 for every one:
        // each folder would then pass for the source's own and receive nothing.
        if (home && home->fileHigh == 0 && home->fileLow == 0) home.reset();
        for (const std::string& candidate : subFolders) {
            subFolder = candidate;
            if (home && fs.IdentityOf(candidate) == home) {
                result.skipped = candidate;
                continue;
            }
            status = CopyFileReplacing(fs, source, candidate + sourceName, sleep);
            if (!status) break;
            result.copiedTo.push_back(candidate + sourceName);
        }
    }
    if (!status) {
        result.ok = false;
        result.target = subFolder + sourceName;
        result.error = status.error;
        WriteLog(kLogSource, "コピー失敗");
        WriteLog(kLogSource, "エラー内容：" + result.error);
        WriteLog(kLogSource, "コピー元：" + source);
        WriteLog(kLogSource, "コピー先：" + result.target);
    }
    return result;
}

CopyMessage CopyCompletedMessage(std::size_t folders) {
    return {"コピーが完了しました。\r\n" + std::to_string(folders) + " 個のフォルダにコピーしました。", "完了",
            MessageIcon::Information};
}

CopyMessage CopyFailedMessage(const std::string& source, const CopyResult& result) {
    return {"コピーできませんでした。\r\n\r\nコピー元：\r\n" + source + "\r\nコピー先：\r\n" + result.target +
                "\r\nエラー内容：\r\n" + result.error,
            "コピーエラー", MessageIcon::Critical};
}

}  // namespace kanopa::editor
