#include "editor/tools/path_parts.h"

#include <gtest/gtest.h>

namespace kanopa::editor {
namespace {

TEST(PathParts, SplitAtTheLastBackslashOnly) {
    const struct {
        const char* path;
        const char* folder;
        const char* name;
    } cases[] = {
        {"C:\\a\\b.epm", "C:\\a\\", "b.epm"},
        {"b.epm", "", "b.epm"},
        {"C:\\a\\", "C:\\a\\", ""},
        {"\\", "", ""},
        {"", "", ""},
        {"\\\\", "\\\\", ""},
        {"\\x", "\\", "x"},
        {"C:\\a/b\\c/d.epm", "C:\\a/b\\", "c/d.epm"},
        {"C:\\メモ\\表.epm", "C:\\メモ\\", "表.epm"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetDirPathFromPath(c.path), c.folder) << c.path;
        EXPECT_EQ(GetFileNameFromPath(c.path), c.name) << c.path;
    }
}

}  // namespace
}  // namespace kanopa::editor
