#pragma once
// Stand-ins for the desktop and the disk, for driving the viewer's logic in tests.
// Window handles are plain numbers.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "common/file_system.h"
#include "common/log.h"
#include "viewer/platform.h"

namespace kanopa::viewer::testing {

class FakeChangeWatcher;

// Files in memory, listed in the order they were created (not sorted), matched
// against wildcards without regard to case as Windows does. Counts reads and listings.
class MemFileSystem final : public FileSystem {
public:
    // Changes are reported to `watcher` when set, as a real folder watch would see them.
    void NotifyChangesTo(FakeChangeWatcher* watcher) { m_watcher = watcher; }

    // Adds or overwrites a file directly.
    void Put(const std::string& path, std::string bytes);
    bool Exists(const std::string& path) const;

    Status ReadFile(const std::string& path, std::string& bytes) override;
    Status CreateNewFile(const std::string& path, std::string_view bytes) override;
    Status AppendToFile(const std::string& path, std::string_view bytes) override;
    Status ReplaceFile(const std::string& from, const std::string& to) override;
    Status RemoveFile(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    Status ListFiles(const std::string& pattern,
                     const std::function<bool(const std::string& name)>& visit) override;

    int reads = 0;     // ReadFile calls
    int listings = 0;  // ListFiles calls
    std::vector<std::string> patterns;  // every pattern listed, in order
    bool failListing = false;
    std::function<void()> afterListing;  // runs once after the next listing

private:
    using Entry = std::pair<std::string, std::string>;  // path, bytes
    std::vector<Entry>::iterator Find(const std::string& path);
    void Changed(const std::string& path);

    std::vector<Entry> m_files;
    FakeChangeWatcher* m_watcher = nullptr;
};

class FakeChangeWatcher final : public FolderChangeWatcher {
public:
    std::unique_ptr<FolderChangeWatch> Watch(const std::string& folder) override;
    // Fires every live watch of the folder.
    void Fire(const std::string& folder);

    bool available = true;  // false: no watch can be had
    int watchesStarted = 0;

private:
    std::vector<std::pair<std::string, std::weak_ptr<bool>>> m_watches;
};

class FakeShellWindows final : public ShellWindowSource {
public:
    Status Enumerate(std::vector<ShellWindowInfo>& windows) override {
        ++enumerations;
        if (fail) return Status::Fail("0x80004005");
        windows = list;
        return Status::Ok();
    }
    ShellWindowInfo* Find(WindowId window) {
        for (ShellWindowInfo& info : list) {
            if (info.window == window) return &info;
        }
        return nullptr;
    }

    std::vector<ShellWindowInfo> list;
    bool fail = false;
    int enumerations = 0;
};

class FakeWindowSystem final : public WindowSystem {
public:
    WindowId Foreground() override { return foreground; }
    bool Exists(WindowId window) override { return window != 0 && windows.count(window) != 0; }
    std::optional<WindowPlacementInfo> Placement(WindowId window) override {
        if (throwOnPlacement) throw std::runtime_error("placement");
        auto found = windows.find(window);
        if (found == windows.end()) return std::nullopt;
        return found->second;
    }

    WindowId foreground = 0;
    std::map<WindowId, WindowPlacementInfo> windows;
    bool throwOnPlacement = false;
};

// Records what the cycle asks of the popup window; unloads report back as the real
// window does. Each new window gets a new handle.
class FakePopup final : public MemoPopup {
public:
    explicit FakePopup(PopupEvents& events) : m_events(events) {}

    bool Exists() override { return m_exists; }
    bool IsVisible() override { return m_exists && m_visible; }
    WindowId Handle() override { return m_exists ? m_handle : 0; }
    Status HideOrCreate() override;
    Status Place(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 bool resize) override;
    Status ApplyStyle(const MemoStyle& style) override;
    Status Show() override;
    void Unload() override { Destroy(false); }

    // What the user can do to the window.
    void ClickClosePicture() { Destroy(true); }
    void DragTo(std::int32_t newX, std::int32_t newY);

    struct PlaceCall {
        std::int32_t x, y, width, height;
        bool resize;
    };
    std::vector<PlaceCall> places;
    std::vector<MemoStyle> styles;
    int creations = 0;
    int unloads = 0;  // by the cycle (not by the close picture)
    bool throwOnPlace = false;
    bool failCreate = false;
    // The window as the user would see it.
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    MemoStyle shownStyle;

private:
    void Destroy(bool closedByButton);

    PopupEvents& m_events;
    bool m_exists = false;
    bool m_visible = false;
    WindowId m_handle = 0;
};

class RecordingLogSink final : public LogSink {
public:
    void Write(std::string_view source, std::string_view message) noexcept override {
        lines.emplace_back(std::string(source), std::string(message));
    }
    int Count(const std::string& source) const {
        int count = 0;
        for (const auto& line : lines) count += line.first == source ? 1 : 0;
        return count;
    }
    std::vector<std::pair<std::string, std::string>> lines;
};

class FixedClock final : public Clock {
public:
    LocalDateTime Now() const override { return {2026, 12, 6, 9, 5, 7}; }
};

}  // namespace kanopa::viewer::testing
