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
        std::string path;  // folders without a trailing separator
        std::string bytes;
        bool folder = false;
        std::uint32_t attributes = 0;  // attribute:: bits besides the folder bit
        std::uint32_t reparseTag = 0;
        std::uint64_t id = 0;          // file identity, given when the entry is added
    };

    // Failure injection, checked by each operation.
    bool failCreate = false;          // refuses to create anything
    bool failReplace = false;
    bool failList = false;
    bool failAppend = false;
    bool failCopy = false;              // a copy fails half-way (and cleans up)
    int busyReplaces = 0;        // the next moves meet a reader holding the target (-1: always)
    bool outOfMemoryOnRead = false;
    int reads = 0;
    int replaceAttempts = 0;
    int listings = 0;
    std::vector<std::string> folderListings;  // the folders ListFolder was asked for

    void Put(const std::string& path, std::string bytes) {
        if (Entry* e = Find(path)) {
            e->bytes = std::move(bytes);
            return;
        }
        Add({path, std::move(bytes)});
    }
    void PutFolder(const std::string& path, std::uint32_t attributes = 0, std::uint32_t reparseTag = 0) {
        Add({path, "", true, attributes, reparseTag});
    }
    // A file with attribute bits (read-only, hidden, system).
    void PutWithAttributes(const std::string& path, std::string bytes, std::uint32_t attributes) {
        Put(path, std::move(bytes));
        Find(path)->attributes = attributes;
    }
    // Makes `path` another name of `sameAs` (a junction's target, a hard link).
    void ShareIdentity(const std::string& path, const std::string& sameAs) {
        Find(path)->id = Find(sameAs)->id;
    }
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
        Add({path, std::string(bytes)});
        return Status::Ok();
    }
    Status AppendToFile(const std::string& path, std::string_view bytes) override {
        if (failAppend) return Status::Fail("read-only folder");
        if (Entry* e = Find(path)) {
            e->bytes.append(bytes);
        } else {
            Add({path, std::string(bytes)});
        }
        return Status::Ok();
    }
    Status MoveReplacing(const std::string& from, const std::string& to) override {
        ++replaceAttempts;
        if (failReplace) return Status::Fail("access denied");
        if (const Entry* target = FindConst(to); target && (target->attributes & attribute::kReadOnly) != 0)
            return Status::Fail("access denied");
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
            constexpr std::uint32_t kHiddenOrSystem = attribute::kHidden | attribute::kSystem;
            if (e.folder || (e.attributes & kHiddenOrSystem) != 0 || GetFolderPart(e.path) != folder)
                continue;
            const std::string name = GetFileName(e.path);
            if (WildcardMatch(namePattern, name, CaseFolding::IgnoreCase) && !visit(name)) break;
        }
        return Status::Ok();
    }

    // Folders must have been put, or hold something; entries come in insertion order.
    Status ListFolder(const std::string& folder,
                      const std::function<bool(const FolderEntry& entry)>& visit) override {
        ++listings;
        folderListings.push_back(folder);
        if (failList) return Status::Fail("device not ready");
        std::string bare = folder;  // a lone separator: the root, whose entries are "\\name"
        if (!bare.empty() && (bare.back() == '\\' || bare.back() == '/')) bare.pop_back();
        const std::string prefix = bare + '\\';
        const Entry* self = FindConst(bare);
        if (self && !self->folder) return Status::Fail("not a folder");
        if (!self && PathsStartingWith(prefix).empty()) return Status::Fail("path not found");
        for (const Entry& e : m_entries) {
            if (GetFolderPart(e.path) != prefix) continue;
            FolderEntry entry{GetFileName(e.path), e.attributes | (e.folder ? attribute::kDirectory : 0),
                              e.reparseTag};
            if (!visit(entry)) break;
        }
        return Status::Ok();
    }
    std::optional<FileIdentity> IdentityOf(const std::string& path) override {
        const Entry* e = FindConst(WithoutSeparator(path));
        if (!e) return std::nullopt;
        return FileIdentity{1, 0, e->id};
    }
    Status CopyToNewFile(const std::string& from, const std::string& to) override {
        const Entry* source = FindConst(from);
        if (!source || source->folder) return Status::Fail("not found");
        if (Exists(to)) return Status::Fail("exists");
        if (failCopy) return Status::Fail("disk full");  // the half-made copy is gone
        std::string bytes = source->bytes;
        Add({to, std::move(bytes)});
        return Status::Ok();
    }

private:
    static std::string WithoutSeparator(std::string path) {
        if (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
        return path;
    }
    void Add(Entry e) {
        if (e.id == 0) e.id = ++m_lastId;
        m_entries.push_back(std::move(e));
    }
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
    std::uint64_t m_lastId = 0;
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
