#pragma once
// The editor's start-up decisions, before any window exists, in this fixed order:
//   1. log "" and "*********アプリケーション開始*********"
//   2. another instance running      -> refuse (log "*********二重起動システム終了*********"
//                                       after the message box)
//   3. InitCommon (program folder, memo key)
//   4. "DateTime.txt" missing         -> refuse
//   5. "FixedForm.txt" missing        -> refuse
//   6. "Config.txt" missing or empty  -> created; then loaded (damaged: defaults, logged)
//   7. command line with more than one ":" -> refuse; else every '"' removed
// Every refusal is a critical-icon message with an OK button, then the process ends.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"

namespace kanopa::editor {

inline constexpr char kDateTimeFileName[] = "DateTime.txt";
inline constexpr char kFixedFormFileName[] = "FixedForm.txt";

inline constexpr char kStartLogLine[] = "*********アプリケーション開始*********";
inline constexpr char kSecondInstanceLogLine[] = "*********二重起動システム終了*********";
inline constexpr char kEndLogLine[] = "*********アプリケーション終了*********";

inline constexpr char kAlreadyRunningMessage[] = "「カノパ」は既に起動されています。";
inline constexpr char kNoDateTimeFileMessage[] = "日付表示ファイルがありません。";
inline constexpr char kNoFixedFormFileMessage[] = "定型文ファイルがありません。";
inline constexpr char kInvalidPathMessage[] = "有効なパスが指定されていません。";

// The platform's previous-instance test (a named mutex on Windows). The object keeps
// whatever it holds for as long as it lives, so the caller keeps it for the run.
class InstanceTest {
public:
    virtual ~InstanceTest() = default;
    virtual bool AnotherInstanceRunning() = 0;
};

struct StartupRefusal {
    std::string message;
    MessageIcon icon = MessageIcon::Critical;
    std::string logAfterMessage;  // written (WriteLog) once the box is closed; may be ""
};

struct StartupOutcome {
    std::optional<StartupRefusal> refusal;  // set: show it, then end the process
    std::unique_ptr<EditorState> state;     // set when the editor window may open
};

// Runs the checks above. `commandLineText` is what follows the program's path (see
// CommandLineArguments).
StartupOutcome RunStartup(FileSystem& fs, InstanceTest& instance,
                          const std::string& executablePath,
                          const std::string& commandLineText);

// Writes the refusal's log line; call after its message box was closed.
void FinishRefusal(const StartupRefusal& refusal);

// The arguments part of a raw Windows command line: the program's path (in double
// quotes up to the closing quote, or unquoted up to the first blank) and the blanks
// (spaces, tabs) after it are skipped; the rest is returned unchanged.
std::string CommandLineArguments(std::string_view rawCommandLine);

// Number of ":" in the text.
int CountColons(std::string_view text);
// The text with every double-quote character removed; nothing else changes.
std::string RemoveDoubleQuotes(std::string_view text);

}  // namespace kanopa::editor
