// The whole memo search natively: the walk, then every memo file loaded and matched, on
// the walk benchmark's tree (build/bench/walk-tree, or where KANOPA_WALK_TREE says),
// its memo files given real memo texts once. The walk alone is timed in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/posix/posix_clock.h"
#include "common/posix/posix_file_system.h"
#include "editor/tools/bench/walk_tree.h"
#include "editor/tools/file_search.h"
#include "editor/tools/memo_search.h"

namespace {

using kanopa::bench::Median;

namespace fsys = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Every fifth memo holds "重要"; each text is a few lines, as memos are.
bool GiveMemoTexts(kanopa::FileSystem& fs, const fsys::path& root, const std::vector<std::string>& paths) {
    if (fsys::exists(root / "memo-texts-v1")) return true;
    kanopa::PosixClock clock;
    int k = 0;
    for (const std::string& path : paths) {
        kanopa::MemoRecord record;
        kanopa::SetDefaultMemoValues(record);
        record.memoText = (k % 5 == 0 ? "重要：" : "覚え書き：") + std::to_string(k) +
                          " 番のフォルダです。\r\n担当と期限は共有の予定表を見てください。\r\n以上";
        if (!kanopa::SaveMemo(fs, clock, kanopa::MemoKey(), path, record).ok) return false;
        ++k;
    }
    std::ofstream(root / "memo-texts-v1") << "";
    return true;
}

}  // namespace

int main() {
    const char* env = std::getenv("KANOPA_WALK_TREE");
    const fsys::path root = fsys::absolute(env ? env : "build/bench/walk-tree");
    kanopa::bench::MakeWalkTree(root);
    kanopa::PosixFileSystem fs;
    const std::string rootText = root.string();
    const auto walk = [&] { return kanopa::editor::SearchFiles(fs, rootText, "*.EPM", true, nullptr, '/'); };
    if (!GiveMemoTexts(fs, root, walk())) {
        std::fputs("the memo texts could not be written\n", stderr);
        return 1;
    }

    const std::string key = kanopa::MemoKey();
    std::vector<double> walkAlone, whole, hostile;
    std::size_t files = 0, kept = 0, keptHostile = 0;
    for (int run = 0; run < 6; ++run) {  // the first only warms the cache
        auto start = Clock::now();
        files = walk().size();
        const double w = Seconds(start);

        start = Clock::now();
        const std::vector<kanopa::editor::SearchRow> rows =
            kanopa::editor::BuildSearchRows(kanopa::editor::FilterByKeyword(fs, key, walk(), "*重要*"));
        const double s = Seconds(start);
        kept = static_cast<std::size_t>(kanopa::editor::CountSearchRows(rows));

        start = Clock::now();
        keptHostile = kanopa::editor::FilterByKeyword(fs, key, walk(), "*の*の*の*の*の*の*の*X").size();
        const double h = Seconds(start);
        if (run > 0) {
            walkAlone.push_back(w);
            whole.push_back(s);
            hostile.push_back(h);
        }
    }
    const double w = Median(walkAlone), s = Median(whole), h = Median(hostile);
    std::printf("walk alone                       %8.1f ms  %zu memo files\n", w * 1e3, files);
    std::printf("whole search \"*重要*\"            %8.1f ms  %zu kept (%.1f us a memo beyond the walk)\n",
                s * 1e3, kept, (s - w) * 1e6 / static_cast<double>(files));
    std::printf("whole search \"*の*の*…*X\"        %8.1f ms  %zu kept\n", h * 1e3, keptHostile);
    return 0;
}
