#pragma once
// Memo files (*.epm): the serialised record, encoded with Ango, scrambled with Cipher
// under the memo key, one byte per character.
#include <string>

#include "clock.h"
#include "file_system.h"
#include "memo_record.h"
#include "status.h"

namespace kanopa {

// Longest serialised text the codec can store (5 digits a character, 32767 at most).
inline constexpr std::size_t kMaxStorableChars = 6553;

// Writes a memo file. Sets record.savedAt and record.spareFlag first; writes "" and -1
// for the reserved fields. The file on disk is replaced in one step or not at all; a
// memo too long to store, with a "," in a text field, a character code page 932 cannot
// hold or a font name too long for Windows is refused before anything is touched. On
// failure `error` is a Japanese sentence for the user that names the file where the
// file is at fault.
Status SaveMemo(FileSystem& fs, const Clock& clock, const std::string& key,
                const std::string& path, MemoRecord& record);

// Which fields a load filled; LoadMemo assigns in this order and stops at a failure.
struct LoadResult {
    Status read;       // failed: the file could not be read at all (nothing assigned)
    int assigned = 0;  // fields assigned: memoLeft..fontUnderline (11), savedAt,
                       // layoutMode, anchorPosition, margin, memoText: 16 when complete
    bool complete() const { return assigned == kAllFields; }
    static constexpr int kAllFields = kStoredFieldCount + 1;
};

// Reads a memo file into `record`, field by field. The run-time fields (1-7, 20, 21)
// and the reserved fields are never changed. On a failure the fields already assigned
// keep their new values and the rest, memoText included, keep their old ones. The memo
// text is found as FindMemoText tells.
LoadResult LoadMemo(FileSystem& fs, const std::string& key, const std::string& path,
                    MemoRecord& record);

// Same as LoadMemo for bytes already in memory.
LoadResult LoadMemoBytes(const std::string& key, const std::string& bytes, MemoRecord& record);

}  // namespace kanopa
