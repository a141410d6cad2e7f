#pragma once
// The tree both walk benchmarks search: 20,000 folders (200 at the top, 100 below each),
// 5,000 memo files (in every fourth sub-folder, with another file beside each, and in
// every fourth top folder), with
// Japanese, mixed-case and dotted names among them; and the median the benches report.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kanopa::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline constexpr int kTopFolders = 200;
inline constexpr int kFoldersEach = 99;  // below each top folder: 200 + 200 * 99 = 20,000
inline constexpr int kMemoFiles = 5000;

inline std::string TopFolderName(int i) { return "案件" + std::to_string(i); }
inline std::string SubFolderName(int j) { return (j % 10 == 0 ? "Sub." : "sub_") + std::to_string(j); }
inline std::string MemoName(int k) { return k % 3 == 0 ? "メモ.EPM" : "folder" + std::to_string(k) + ".epm"; }
inline constexpr char kOtherName[] = "notes.txt";

// Makes the tree under `root` unless a finished one is there already.
inline void MakeWalkTree(const std::filesystem::path& root) {
    namespace fsys = std::filesystem;
    if (fsys::exists(root / "complete-v2")) return;
    fsys::remove_all(root);
    int memos = 0, folder = 0;
    for (int i = 0; i < kTopFolders; ++i) {
        const fsys::path top = root / TopFolderName(i);
        fsys::create_directories(top);
        if (i % 4 == 0) std::ofstream(top / MemoName(memos++)) << "memo";
        for (int j = 0; j < kFoldersEach; ++j) {
            const fsys::path sub = top / SubFolderName(j);
            fsys::create_directory(sub);
            if (folder++ % 4 == 0 && memos < kMemoFiles) {
                std::ofstream(sub / MemoName(memos++)) << "memo";
                std::ofstream(sub / kOtherName) << "text";
            }
        }
    }
    std::ofstream(root / "complete-v2") << "";
}

}  // namespace kanopa::bench
