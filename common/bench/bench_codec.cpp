// Codec throughput and the cost of reading the largest memo file there can be.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/codec.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/posix/posix_clock.h"
#include "common/posix/posix_file_system.h"
#include "common/utf8.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double SecondsPerRun(int runs, F&& f) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) f();
    return std::chrono::duration<double>(Clock::now() - start).count() / runs;
}

}  // namespace

int main() {
    // Mixed Japanese and ASCII text at the storable limit.
    std::string text;
    while (kanopa::CountCodePoints(text) < 6500) text += "会議メモ,abc 123\r\n";
    const std::size_t chars = kanopa::CountCodePoints(text);

    std::size_t sink = 0;
    const double encode = SecondsPerRun(2000, [&] {
        std::string scrambled;
        kanopa::Cipher(kanopa::MemoKey(), kanopa::Ango(text), scrambled);
        sink += scrambled.size();
    });
    const double scrambledMb = static_cast<double>(chars * 5) / 1e6;
    std::printf("Ango+Cipher: %.1f MB/s of scrambled output (%zu characters, %.1f us a memo)\n",
                scrambledMb / encode, chars, encode * 1e6);

    // The largest memo file: a serialised form of exactly 6553 characters.
    kanopa::MemoRecord record;
    kanopa::SetDefaultMemoValues(record);
    record.savedAt = "2026/12/06 23:59:59";
    record.reservedValue = -1;
    record.memoText.assign(6553 - kanopa::CountCodePoints(kanopa::SerializeMemoRecord(record)), 'x');
    const auto dir = std::filesystem::temp_directory_path() / "kanopa-bench-codec";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "largest.epm").string();
    kanopa::PosixFileSystem fs;
    kanopa::PosixClock clock;
    std::filesystem::remove(path);
    if (!kanopa::SaveMemo(fs, clock, kanopa::MemoKey(), path, record)) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
    }
    const auto size = fs.FileSize(path).value_or(0);
    const double load = SecondsPerRun(2000, [&] {
        kanopa::MemoRecord loaded;
        sink += kanopa::LoadMemo(fs, kanopa::MemoKey(), path, loaded).assigned;
    });
    std::printf("LoadMemo of a %llu-byte memo file: %.1f us\n",
                static_cast<unsigned long long>(size), load * 1e6);
    std::filesystem::remove_all(dir);
    return sink == 0;
}
