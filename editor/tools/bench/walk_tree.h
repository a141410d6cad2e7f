#pragma once
// The tree both walk benchmarks search: 20,000 folders (200 at the top, 100 below each),
// 5,000 memo files (in every fourth sub-folder, with another file beside each, and in
// every fourth top folder), with
// Japanese, mixed-case and dotted names among them.
#include <string>

namespace kanopa::bench {

inline constexpr int kTopFolders = 200;
inline constexpr int kFoldersEach = 99;  // below each top folder: 200 + 200 * 99 = 20,000
inline constexpr int kMemoFiles = 5000;

inline std::string TopFolderName(int i) { return "案件" + std::to_string(i); }
inline std::string SubFolderName(int j) { return (j % 10 == 0 ? "Sub." : "sub_") + std::to_string(j); }
inline std::string MemoName(int k) { return k % 3 == 0 ? "メモ.EPM" : "folder" + std::to_string(k) + ".epm"; }
inline constexpr char kOtherName[] = "notes.txt";

}  // namespace kanopa::bench
