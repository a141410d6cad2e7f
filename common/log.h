#pragma once
// The log hook every error handler calls with a source ("SaveMemo()") and a message.
// A program installs one sink for its run (ScopedLogSink); with none installed the
// hook discards both texts. Writing a log must never fail its caller.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "clock.h"
#include "file_system.h"

namespace kanopa {

inline constexpr char kLogFileName[] = "Log.txt";

class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void Write(std::string_view source, std::string_view message) noexcept = 0;
};

void WriteLog(std::string_view source, std::string_view message) noexcept;

// Installs a sink for its lifetime and restores the previous one afterwards.
class ScopedLogSink {
public:
    explicit ScopedLogSink(LogSink& sink);
    ~ScopedLogSink();
    ScopedLogSink(const ScopedLogSink&) = delete;
    ScopedLogSink& operator=(const ScopedLogSink&) = delete;

private:
    LogSink* m_previous;
};

// Appends "YYYY/MM/DD HH:MM:SS<TAB>source<TAB>message" lines (UTF-8) to "Log.txt" in a
// folder. Past the size limit the file becomes "Log.old.txt" (one older generation)
// and a new one starts. After a write fails the sink stays quiet for the rest of that
// minute, so a read-only program folder costs one try a minute, and a file held for a
// moment (by a virus scanner, say) does not end the log of a program that runs all day.
class FileLogSink final : public LogSink {
public:
    static constexpr std::size_t kDefaultLimit = 1024 * 1024;
    FileLogSink(FileSystem& fs, const Clock& clock, std::string folder,
                std::size_t limit = kDefaultLimit);
    void Write(std::string_view source, std::string_view message) noexcept override;
    bool failed() const { return m_failedAt.has_value(); }

private:
    FileSystem& m_fs;
    const Clock& m_clock;
    std::string m_path;
    std::string m_oldPath;
    std::size_t m_limit;
    std::optional<LocalDateTime> m_failedAt;  // the last failure, while no write worked since
};

}  // namespace kanopa
