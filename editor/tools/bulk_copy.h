#pragma once
// The bulk memo copy: one memo file copied into every folder directly inside a chosen
// folder. A folder qualifies when it is a listed folder (not hidden, not system) and
// not a junction or symbolic link, whatever its other attribute bits; the folder that
// holds the source itself (by file identity, not by name) is passed over. Each copy
// replaces the old memo in one step, so a failed copy never leaves half a memo; the
// first failure ends the run and the copies made before it stay.
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/safe_save.h"
#include "editor/editor_view.h"

namespace kanopa::editor {

struct CopyMessage {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::Information;
    bool operator==(const CopyMessage&) const = default;
};

enum class CopyField { Source, Destination };

// The checks before the question, on the texts as typed.
struct CopyInputCheck {
    std::optional<CopyMessage> refusal;  // nullopt: the run may be offered
    CopyField focus = CopyField::Source;  // where the keyboard goes after a refusal
    bool selectAll = false;               // the field's whole text selected too
    std::string sourceName;               // the source file's name as the system lists it
};
CopyInputCheck CheckCopyInput(FileSystem& fs, const std::string& source, const std::string& destination);

// Asked before anything is copied (Yes/No, No the default).
CopyMessage CopyQuestion();

struct CopyResult {
    bool ok = true;
    std::vector<std::string> copiedTo;  // the memo paths written, in listing order
    std::string skipped;                // the source's own folder, when it was met
    std::string target;                 // on failure: the memo path being written
    std::string error;                  // on failure: the system's description
};

// `destination` as typed (a separator is appended). A failure is logged as well.
CopyResult RunBulkCopy(FileSystem& fs, const std::string& source, const std::string& sourceName,
                       const std::string& destination, char separator = '\\',
                       const Sleeper& sleep = SleepFor);

CopyMessage CopyCompletedMessage(std::size_t folders);
CopyMessage CopyFailedMessage(const std::string& source, const CopyResult& result);

}  // namespace kanopa::editor
