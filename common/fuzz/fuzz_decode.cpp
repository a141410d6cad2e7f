// Feeds untrusted bytes to every decoding path: memo files, the codec stages and the
// configuration file. Any crash or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/codec.h"
#include "common/config_file.h"
#include "common/keys.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    kanopa::MemoRecord record;
    kanopa::LoadMemoBytes(kanopa::MemoKey(), bytes, record);

    (void)kanopa::Fukugo(bytes);
    std::string out;
    kanopa::Decipher(kanopa::kConfigKey, bytes, out);
    (void)kanopa::Fukugo(out);

    kanopa::testing::FakeFileSystem fs;
    fs.Put("Config.txt", bytes);
    kanopa::MemoRecord config;
    (void)kanopa::LoadConfig(fs, "Config.txt", config);

    // Whatever a memo file held, what was read must serialise and store again safely.
    (void)kanopa::SerializeMemoRecord(record);
    return 0;
}
