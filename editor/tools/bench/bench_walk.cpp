// The folder walk over the native file system against `find ROOT -iname '*.epm'`, in
// the same run on the same tree (made once under build/bench/walk-tree, or where
// KANOPA_WALK_TREE says). Also writes the tree the Windows walk benchmark uses.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/posix/posix_file_system.h"
#include "editor/tools/bench/walk_tree.h"
#include "editor/tools/file_search.h"

namespace {

namespace fsys = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace kanopa::bench;

}  // namespace

int main() {
    const char* env = std::getenv("KANOPA_WALK_TREE");
    const fsys::path root = fsys::absolute(env ? env : "build/bench/walk-tree");
    const auto made = Clock::now();
    MakeWalkTree(root);
    std::printf("tree %s ready in %.1f s\n", root.c_str(), std::chrono::duration<double>(Clock::now() - made).count());

    kanopa::PosixFileSystem fs;
    const std::string command = "find '" + root.string() + "' -iname '*.epm' > /dev/null";
    std::vector<double> walk, find;
    std::size_t found = 0;
    for (int run = 0; run < 6; ++run) {  // the first of each only warms the cache
        auto start = Clock::now();
        found = kanopa::editor::SearchFiles(fs, root.string(), "*.EPM", true, nullptr, '/').size();
        const double w = std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        if (std::system(command.c_str()) != 0) return 1;
        const double f = std::chrono::duration<double>(Clock::now() - start).count();
        if (run > 0) {
            walk.push_back(w);
            find.push_back(f);
        }
    }
    const double w = Median(walk), f = Median(find);
    std::printf("SearchFiles (POSIX)      %8.1f ms  %zu memo files\n", w * 1e3, found);
    std::printf("find -iname '*.epm'      %8.1f ms\n", f * 1e3);
    std::printf("ratio walk / find        %8.2f  (goal <= 1.5)\n", w / f);
    return 0;
}
