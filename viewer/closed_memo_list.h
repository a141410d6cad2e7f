#pragma once
// The memos the user closed with the popup's close picture, as (folder window, folder)
// pairs in the order they were closed. Lives for the run, never saved.
#include <cstddef>
#include <string>
#include <vector>

#include "viewer/platform.h"

namespace kanopa::viewer {

class ClosedMemoList {
public:
    struct Entry {
        WindowId window = 0;
        std::string folderPath;
        bool operator==(const Entry&) const = default;
    };

    void Add(WindowId window, const std::string& folderPath);
    // Exact match of both; the path comparison is case-sensitive.
    bool IsClosedMemo(WindowId window, const std::string& folderPath) const;
    // Removes every pair of the window; the others keep their order.
    void DelClosedMemo(WindowId window);

    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

}  // namespace kanopa::viewer
