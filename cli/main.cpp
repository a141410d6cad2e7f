// kanopa-memo on POSIX systems.
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/kanopa_memo.h"
#include "common/posix/posix_clock.h"
#include "common/posix/posix_file_system.h"

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        kanopa::PosixFileSystem fs;
        kanopa::PosixClock clock;
        return kanopa::cli::RunKanopaMemo(args, fs, clock, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::fputs("kanopa-memo: メモリが足りないため処理を中止しました。\n", stderr);
        return 1;
    }
}
