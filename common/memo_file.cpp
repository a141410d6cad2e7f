#include "common/memo_file.h"

#include <string_view>
#include <utility>

#include "common/codec.h"
#include "common/date_time.h"
#include "common/log.h"
#include "common/safe_save.h"
#include "common/utf8.h"

namespace kanopa {

Status SaveMemo(FileSystem& fs, const Clock& clock, const std::string& key,
                const std::string& path, MemoRecord& record) {
    record.savedAt = FormatGeneralDateTime(clock.Now());
    record.spareFlag = false;
    if (const char* field = FindFieldWithComma(record)) {
        return Status::Fail(std::string("メモを保存できません。") + field +
                            " にカンマ（,）を含めることはできません。");
    }
    MemoRecord stored = record;
    stored.reservedText.clear();
    stored.reservedValue = -1;
    if (std::string problem = FindStorageProblem(stored); !problem.empty()) {
        return Status::Fail(std::move(problem));
    }
    const std::string serialized = SerializeMemoRecord(stored);
    const std::size_t length = CountCodePoints(serialized);
    if (length > kMaxStorableChars) {
        return Status::Fail("メモが長すぎるため保存できません（" + std::to_string(length) +
                            " 文字。保存できるのは設定を含めて " +
                            std::to_string(kMaxStorableChars) + " 文字までです）。");
    }
    const Status written = SaveFileReplacing(fs, path, EncodeForFile(key, serialized));
    if (!written) {
        WriteLog("SaveMemo()", "FILEPATH:" + path + " " + written.error);
        return Status::Fail(SaveFailureMessage(path, written.error));
    }
    return Status::Ok();
}

LoadResult LoadMemoBytes(const std::string& key, const std::string& bytes, MemoRecord& record) {
    LoadResult result;
    if (bytes.empty() || bytes.size() > kMaxCodecChars) return result;
    const std::string decoded = DecodeFromFile(key, bytes);
    result.assigned = ParseStoredFields(decoded, record);
    std::string_view memoText;
    if (result.assigned < kStoredFieldCount || !FindMemoText(decoded, memoText)) return result;
    record.memoText.assign(memoText);
    ++result.assigned;
    return result;
}

LoadResult LoadMemo(FileSystem& fs, const std::string& key, const std::string& path,
                    MemoRecord& record) {
    // A memo file can hold at most 32767 bytes; a larger file is not read to learn that.
    std::string bytes;
    if (Status read = fs.ReadFile(path, kMaxCodecChars, bytes); !read) {
        LoadResult result;
        result.read = std::move(read);
        return result;
    }
    return LoadMemoBytes(key, bytes, record);
}

}  // namespace kanopa
