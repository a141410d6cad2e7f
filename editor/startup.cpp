#include "editor/startup.h"

#include <utility>

#include "common/config_file.h"
#include "common/log.h"
#include "common/memo_defaults.h"
#include "common/paths.h"
#include "common/program_context.h"

namespace kanopa::editor {
namespace {

StartupOutcome Refuse(std::string message, std::string logAfter = {}) {
    StartupOutcome outcome;
    outcome.refusal = StartupRefusal{std::move(message), MessageIcon::Critical, std::move(logAfter)};
    return outcome;
}

// A record that nothing half-read has touched: the defaults with empty reserved fields.
MemoRecord DefaultRecord() {
    MemoRecord record;
    SetDefaultMemoValues(record);
    return record;
}

// Creates Config.txt when missing or empty, then reads it. A file that cannot be
// created or read leaves the defaults (and is logged); the close writes a sound one.
void LoadEditorConfig(FileSystem& fs, const std::string& path, MemoRecord& record) {
    const auto size = fs.FileSize(path);
    if (!size || *size == 0) {
        MemoRecord created;
        if (!CreateConfigFile(fs, path, created)) {  // logs its own failure
            record = DefaultRecord();
            return;
        }
    }
    MemoRecord loaded;
    if (const Status status = LoadConfig(fs, path, loaded); !status) {
        WriteLog("LoadConfig()", "FILEPATH:" + path + " " + status.error);
        record = DefaultRecord();
        return;
    }
    record = std::move(loaded);
}

}  // namespace

StartupOutcome RunStartup(FileSystem& fs, InstanceTest& instance,
                          const std::string& executablePath,
                          const std::string& commandLineText) {
    WriteLog("", "");
    WriteLog(kStartLogLine, "");
    if (instance.AnotherInstanceRunning()) {
        return Refuse(kAlreadyRunningMessage, kSecondInstanceLogLine);
    }
    CommonContext context = InitCommon(executablePath);
    if (!IsFile(fs, context.programFolder + kDateTimeFileName)) {
        return Refuse(kNoDateTimeFileMessage);
    }
    if (!IsFile(fs, context.programFolder + kFixedFormFileName)) {
        return Refuse(kNoFixedFormFileMessage);
    }
    MemoRecord memo;
    LoadEditorConfig(fs, context.programFolder + kConfigFileName, memo);
    if (CountColons(commandLineText) > 1) return Refuse(kInvalidPathMessage);

    StartupOutcome outcome;
    outcome.state = std::make_unique<EditorState>(std::move(context), std::move(memo),
                                                  RemoveDoubleQuotes(commandLineText));
    return outcome;
}

void FinishRefusal(const StartupRefusal& refusal) {
    if (!refusal.logAfterMessage.empty()) WriteLog(refusal.logAfterMessage, "");
}

std::string CommandLineArguments(std::string_view rawCommandLine) {
    std::size_t pos = 0;
    if (!rawCommandLine.empty() && rawCommandLine[0] == '"') {
        const std::size_t close = rawCommandLine.find('"', 1);
        pos = close == std::string_view::npos ? rawCommandLine.size() : close + 1;
    } else {
        pos = rawCommandLine.find_first_of(" \t");
        if (pos == std::string_view::npos) pos = rawCommandLine.size();
    }
    while (pos < rawCommandLine.size() && (rawCommandLine[pos] == ' ' || rawCommandLine[pos] == '\t')) {
        ++pos;
    }
    return std::string(rawCommandLine.substr(pos));
}

int CountColons(std::string_view text) {
    int count = 0;
    for (char c : text) count += c == ':' ? 1 : 0;
    return count;
}

std::string RemoveDoubleQuotes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != '"') result += c;
    }
    return result;
}

}  // namespace kanopa::editor
