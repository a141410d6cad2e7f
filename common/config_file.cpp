#include "common/config_file.h"

#include <random>
#include <utility>

#include "common/codec.h"
#include "common/keys.h"
#include "common/log.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/memo_record.h"
#include "common/safe_save.h"
#include "common/utf8.h"

namespace kanopa {
namespace {

// The prefix carries no information; it only makes every saved file look different.
std::string NoiseDigits() {
    std::random_device device;
    std::mt19937 generator(device());
    std::uniform_int_distribution<int> digit(0, 8);
    std::string noise(kConfigNoiseDigits, '0');
    for (char& c : noise) c = static_cast<char>('0' + digit(generator));
    return noise;
}

Status WriteConfig(FileSystem& fs, const std::string& path, MemoRecord& record,
                   const char* source) {
    SetDefaultMemoValues(record);
    if (const char* field = FindFieldWithComma(record)) {
        return Status::Fail(std::string("設定を保存できません。") + field +
                            " にカンマ（,）を含めることはできません。");
    }
    if (std::string problem = FindStorageProblem(record); !problem.empty()) {
        WriteLog(source, "FILEPATH:" + path + " " + problem);
        return Status::Fail(std::move(problem));
    }
    const std::string text = NoiseDigits() + SerializeMemoRecord(record);
    if (CountCodePoints(text) > kMaxStorableChars) {
        WriteLog(source, "FILEPATH:" + path + " too long");
        return Status::Fail("設定が長すぎるため保存できません。");
    }
    const Status written = SaveFileReplacing(fs, path, EncodeForFile(kConfigKey, text));
    if (!written) {
        WriteLog(source, "FILEPATH:" + path + " " + written.error);
        return Status::Fail(SaveFailureMessage(path, written.error));
    }
    return Status::Ok();
}

}  // namespace

Status SaveConfig(FileSystem& fs, const std::string& path, MemoRecord& record) {
    return WriteConfig(fs, path, record, "SaveConfig()");
}

Status CreateConfigFile(FileSystem& fs, const std::string& path, MemoRecord& record) {
    // The defaults themselves are applied by every save.
    record.reservedText.clear();
    record.reservedValue = 0;
    return WriteConfig(fs, path, record, "CreateConfigFile()");
}

Status LoadConfig(FileSystem& fs, const std::string& path, MemoRecord& record) {
    std::string bytes;
    if (Status read = fs.ReadFile(path, kMaxCodecChars, bytes); !read) {
        if (read.problem == Problem::TooLarge) {
            return Status::Fail("設定ファイルではありません（大きすぎます）: " + path);
        }
        return Status::Fail("設定ファイルを読めません: " + path + "（" + read.error + "）");
    }
    const std::string decoded = DecodeFromFile(kConfigKey, bytes);
    if (decoded.size() < kConfigNoiseDigits) {
        return Status::Fail("設定ファイルではありません: " + path);
    }
    // The serialised record follows the noise prefix; the prefix is skipped by position.
    const std::string_view body = std::string_view(decoded).substr(kConfigNoiseDigits);
    if (ParseStoredFields(body, record) < kStoredFieldCount ||
        ParseReservedFields(body, record) < 2) {
        return Status::Fail("設定ファイルが壊れています: " + path);
    }
    record.memoText.clear();
    return Status::Ok();
}

}  // namespace kanopa
