#include "viewer/tests/viewer_fakes.h"

#include <algorithm>
#include <utility>

#include "common/services.h"
#include "common/wildcard.h"

namespace kanopa::viewer::testing {

void MemFileSystem::Put(const std::string& path, std::string bytes) {
    auto found = Find(path);
    if (found != m_files.end()) {
        found->second = std::move(bytes);
    } else {
        m_files.emplace_back(path, std::move(bytes));
    }
    Changed(path);
}

bool MemFileSystem::Exists(const std::string& path) const {
    return std::any_of(m_files.begin(), m_files.end(),
                       [&](const Entry& entry) { return entry.first == path; });
}

std::vector<MemFileSystem::Entry>::iterator MemFileSystem::Find(const std::string& path) {
    return std::find_if(m_files.begin(), m_files.end(),
                        [&](const Entry& entry) { return entry.first == path; });
}

void MemFileSystem::Changed(const std::string& path) {
    if (m_watcher) m_watcher->Fire(GetFolderPart(path));
}

Status MemFileSystem::ReadFile(const std::string& path, std::string& bytes) {
    ++reads;
    auto found = Find(path);
    if (found == m_files.end()) return Status::Fail("ファイルが見つかりません。");
    bytes = found->second;
    return Status::Ok();
}

Status MemFileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
    if (Find(path) != m_files.end()) return Status::Fail("ファイルが既に存在します。");
    m_files.emplace_back(path, std::string(bytes));
    Changed(path);
    return Status::Ok();
}

Status MemFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    auto found = Find(path);
    if (found == m_files.end()) {
        m_files.emplace_back(path, std::string(bytes));
    } else {
        found->second.append(bytes);
    }
    Changed(path);
    return Status::Ok();
}

Status MemFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
    auto source = Find(from);
    if (source == m_files.end()) return Status::Fail("ファイルが見つかりません。");
    std::string bytes = std::move(source->second);
    m_files.erase(source);
    Changed(from);
    Put(to, std::move(bytes));
    return Status::Ok();
}

Status MemFileSystem::RemoveFile(const std::string& path) {
    auto found = Find(path);
    if (found == m_files.end()) return Status::Fail("ファイルが見つかりません。");
    m_files.erase(found);
    Changed(path);
    return Status::Ok();
}

std::optional<std::uint64_t> MemFileSystem::FileSize(const std::string& path) {
    auto found = Find(path);
    if (found == m_files.end()) return std::nullopt;
    return found->second.size();
}

Status MemFileSystem::ListFiles(const std::string& pattern,
                                const std::function<bool(const std::string& name)>& visit) {
    ++listings;
    patterns.push_back(pattern);
    if (failListing) return Status::Fail("アクセスが拒否されました。");
    const std::string folder = GetFolderPart(pattern);
    const std::string namePattern = GetFileName(pattern);
    const std::vector<Entry> snapshot = m_files;  // visit may not see later changes
    for (const Entry& entry : snapshot) {
        if (GetFolderPart(entry.first) != folder) continue;
        const std::string name = GetFileName(entry.first);
        if (!WildcardMatch(namePattern, name)) continue;
        if (!visit(name)) break;
    }
    if (afterListing) {
        const std::function<void()> hook = std::exchange(afterListing, nullptr);
        hook();
    }
    return Status::Ok();
}

namespace {

class FakeWatch final : public FolderChangeWatch {
public:
    explicit FakeWatch(std::shared_ptr<bool> changed) : m_changed(std::move(changed)) {}
    bool Changed() override { return *m_changed; }

private:
    std::shared_ptr<bool> m_changed;
};

}  // namespace

std::unique_ptr<FolderChangeWatch> FakeChangeWatcher::Watch(const std::string& folder) {
    if (!available) return nullptr;
    ++watchesStarted;
    auto changed = std::make_shared<bool>(false);
    m_watches.emplace_back(folder, changed);
    return std::make_unique<FakeWatch>(changed);
}

void FakeChangeWatcher::Fire(const std::string& folder) {
    for (auto& [watched, changed] : m_watches) {
        if (watched != folder) continue;
        if (auto flag = changed.lock()) *flag = true;
    }
}

Status FakePopup::HideOrCreate() {
    if (failCreate) return Status::Fail("CreateWindowExW");
    if (!m_exists) {
        m_exists = true;
        ++creations;
        m_handle = 9000 + creations;
        shownStyle = MemoStyle{};
    }
    m_visible = false;
    return Status::Ok();
}

Status FakePopup::Place(std::int32_t newX, std::int32_t newY, std::int32_t newWidth,
                        std::int32_t newHeight, bool resize) {
    if (throwOnPlace) throw std::runtime_error("SetWindowPos");
    if (!m_exists) return Status::Fail("no window");
    places.push_back({newX, newY, newWidth, newHeight, resize});
    x = newX;
    y = newY;
    if (resize) {
        width = newWidth;
        height = newHeight;
    }
    m_visible = true;
    return Status::Ok();
}

Status FakePopup::ApplyStyle(const MemoStyle& style) {
    if (!m_exists) return Status::Fail("no window");
    styles.push_back(style);
    shownStyle = style;
    return Status::Ok();
}

Status FakePopup::Show() {
    if (!m_exists) return Status::Fail("no window");
    m_visible = true;
    return Status::Ok();
}

void FakePopup::DragTo(std::int32_t newX, std::int32_t newY) {
    x = newX;
    y = newY;
    m_events.OnPopupDragged(newX, newY);
}

void FakePopup::Destroy(bool closedByButton) {
    if (!m_exists) return;
    m_exists = false;
    m_visible = false;
    if (!closedByButton) ++unloads;
    m_events.OnPopupUnloaded(closedByButton);
}

}  // namespace kanopa::viewer::testing
