#pragma once
// Test doubles for the core's interfaces: an in-memory file system with failure
// injection, a fixed clock and a log sink that records what it is given.
#include <algorithm>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "common/file_system.h"
#include "common/log.h"
#include "common/paths.h"
#include "common/wildcard.h"

namespace kanopa::testing {

class FakeFileSystem : public FileSystem {
public:
    struct Entry {
        std::string path;
        std::string bytes;
        bool folder = false;
    };

    // Failure injection, checked by each operation.
    bool failCreate = false;          // refuses to create anything
    bool failWriteAfterCreate = false;  // creates, writes half, then fails (and cleans up)
    bool failReplace = false;
    bool failList = false;
    bool failAppend = false;
    int busyReplaces = 0;        // the next moves meet a reader holding the target (-1: always)
    bool outOfMemoryOnRead = false;
    int reads = 0;
    int replaceAttempts = 0;
    int listings = 0;

    void Put(const std::string& path, std::string bytes) {
        if (Entry* e = Find(path)) {
            e->bytes = std::move(bytes);
            return;
        }
        m_entries.push_back({path, std::move(bytes)});
    }
    void PutFolder(const std::string& path) { m_entries.push_back({path, "", true}); }
    bool Exists(const std::string& path) const { return FindConst(path) != nullptr; }
    std::string Get(const std::string& path) const {
        const Entry* e = FindConst(path);
        return e ? e->bytes : std::string();
    }
    // Every file whose path starts with `prefix` (to look for leftovers).
    std::vector<std::string> PathsStartingWith(const std::string& prefix) const {
        std::vector<std::string> paths;
        for (const Entry& e : m_entries) {
            if (e.path.rfind(prefix, 0) == 0) paths.push_back(e.path);
        }
        return paths;
    }

    // Symbolic links: a save through `link` replaces `target`.
    void PutLink(const std::string& link, const std::string& target) { m_links[link] = target; }

    Status ReadFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes) override {
        ++reads;
        if (outOfMemoryOnRead) throw std::bad_alloc();
        const Entry* e = FindConst(path);
        if (!e) return Status::Fail("not found");
        if (e->folder) return Status::Fail("is a folder", Problem::NotAFile);
        if (e->bytes.size() > maxBytes) return Status::Fail("too large", Problem::TooLarge);
        bytes = e->bytes;
        return Status::Ok();
    }
    Status CreateNewFile(const std::string& path, std::string_view bytes) override {
        if (failCreate) return Status::Fail("disk full");
        if (Exists(path)) return Status::Fail("exists");
        if (failWriteAfterCreate) return Status::Fail("write failed");  // created, then removed
        m_entries.push_back({path, std::string(bytes)});
        return Status::Ok();
    }
    Status AppendToFile(const std::string& path, std::string_view bytes) override {
        if (failAppend) return Status::Fail("read-only folder");
        if (Entry* e = Find(path)) {
            e->bytes.append(bytes);
        } else {
            m_entries.push_back({path, std::string(bytes)});
        }
        return Status::Ok();
    }
    Status MoveReplacing(const std::string& from, const std::string& to) override {
        ++replaceAttempts;
        if (failReplace) return Status::Fail("access denied");
        if (busyReplaces != 0) {
            if (busyReplaces > 0) --busyReplaces;
            return Status::Fail("sharing violation", Problem::Busy);
        }
        Entry* source = Find(from);
        if (!source) return Status::Fail("not found");
        std::string bytes = std::move(source->bytes);
        Erase(from);
        Put(to, std::move(bytes));
        return Status::Ok();
    }
    Status RemoveFile(const std::string& path) override {
        if (!Exists(path)) return Status::Fail("not found");
        Erase(path);
        return Status::Ok();
    }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        const Entry* e = FindConst(path);
        if (!e || e->folder) return std::nullopt;
        return e->bytes.size();
    }
    std::string SaveTarget(const std::string& path) override {
        const auto link = m_links.find(path);
        return link == m_links.end() ? path : link->second;
    }
    Status ListFiles(const std::string& pattern,
                     const std::function<bool(const std::string& name)>& visit) override {
        ++listings;
        if (failList) return Status::Fail("device not ready");
        const std::string folder = GetFolderPart(pattern);
        const std::string namePattern = GetFileName(pattern);
        for (const Entry& e : m_entries) {
            if (e.folder || GetFolderPart(e.path) != folder) continue;
            const std::string name = GetFileName(e.path);
            if (WildcardMatch(namePattern, name, CaseFolding::IgnoreCase) && !visit(name)) break;
        }
        return Status::Ok();
    }

private:
    Entry* Find(const std::string& path) {
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const Entry& e) { return e.path == path; });
        return it == m_entries.end() ? nullptr : &*it;
    }
    const Entry* FindConst(const std::string& path) const {
        return const_cast<FakeFileSystem*>(this)->Find(path);
    }
    void Erase(const std::string& path) {
        std::erase_if(m_entries, [&](const Entry& e) { return e.path == path; });
    }
    std::vector<Entry> m_entries;  // listing order = insertion order
    std::map<std::string, std::string> m_links;
};

class FixedClock : public Clock {
public:
    LocalDateTime now{2026, 12, 6, 9, 5, 7};
    LocalDateTime Now() const override { return now; }
};

class RecordingLog : public LogSink {
public:
    std::vector<std::pair<std::string, std::string>> entries;
    void Write(std::string_view source, std::string_view message) noexcept override {
        entries.emplace_back(source, message);
    }
    bool Has(std::string_view source) const {
        return std::any_of(entries.begin(), entries.end(),
                           [&](const auto& e) { return e.first == source; });
    }
};

// Installs a RecordingLog for the scope of a test.
class LogCapture {
public:
    LogCapture() : m_scope(log) {}
    RecordingLog log;

private:
    ScopedLogSink m_scope;
};

}  // namespace kanopa::testing
