#include "common/log.h"

#include "common/date_time.h"

namespace kanopa {
namespace {

// The one hook of the process; set only by ScopedLogSink on the UI thread.
LogSink* g_sink = nullptr;

constexpr char kOldLogFileName[] = "Log.old.txt";
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

}  // namespace

void WriteLog(std::string_view source, std::string_view message) noexcept {
    if (g_sink) g_sink->Write(source, message);
}

ScopedLogSink::ScopedLogSink(LogSink& sink) : m_previous(g_sink) { g_sink = &sink; }
ScopedLogSink::~ScopedLogSink() { g_sink = m_previous; }

FileLogSink::FileLogSink(FileSystem& fs, const Clock& clock, std::string folder, std::size_t limit)
    : m_fs(fs), m_clock(clock), m_path(folder + kLogFileName), m_oldPath(folder + kOldLogFileName),
      m_limit(limit) {}

namespace {

bool SameMinute(const LocalDateTime& a, const LocalDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute;
}

}  // namespace

void FileLogSink::Write(std::string_view source, std::string_view message) noexcept {
    LocalDateTime now;
    try {
        now = m_clock.Now();
        if (m_failedAt && SameMinute(*m_failedAt, now)) return;
        std::string line = FormatLogTimestamp(now);
        line.append("\t").append(source).append("\t").append(message).append("\r\n");
        auto size = m_fs.FileSize(m_path);
        if (size && *size + line.size() > m_limit) {
            if (!m_fs.MoveReplacing(m_path, m_oldPath)) {
                m_failedAt = now;
                return;
            }
            size.reset();
        }
        // Notepad and friends read a UTF-8 file reliably only with its byte-order mark.
        if (!size || *size == 0) line.insert(0, kUtf8Bom);
        if (m_fs.AppendToFile(m_path, line)) {
            m_failedAt.reset();
        } else {
            m_failedAt = now;
        }
    } catch (...) {
        m_failedAt = now;
    }
}

}  // namespace kanopa
