// kanopa-memo on POSIX systems.
#include <iostream>
#include <string>
#include <vector>

#include "cli/kanopa_memo.h"
#include "common/posix/posix_clock.h"
#include "common/posix/posix_file_system.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    kanopa::PosixFileSystem fs;
    kanopa::PosixClock clock;
    return kanopa::cli::RunKanopaMemo(args, fs, clock, std::cout, std::cerr);
}
