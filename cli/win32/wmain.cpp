// Windows entry of kanopa-memo: wide arguments in, UTF-8 out.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iterator>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/kanopa_memo.h"
#include "common/win32/wide.h"
#include "common/win32/win32_clock.h"
#include "common/win32/win32_file_system.h"

namespace {

// Writes UTF-8 text to a standard handle line by line. A console gets the text as
// UTF-16 through WriteConsoleW, which shows Japanese whatever the console's code page;
// a file or pipe gets the UTF-8 bytes unchanged. A write that fails fails the stream,
// so that the run does not end as a success.
class StdHandleBuf final : public std::streambuf {
public:
    explicit StdHandleBuf(DWORD which) : m_handle(GetStdHandle(which)) {
        DWORD mode = 0;
        m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE &&
                    GetConsoleMode(m_handle, &mode);
    }
    ~StdHandleBuf() override { Flush(true); }
    StdHandleBuf(const StdHandleBuf&) = delete;
    StdHandleBuf& operator=(const StdHandleBuf&) = delete;

protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        m_pending.push_back(traits_type::to_char_type(ch));
        if (ch == '\n') Flush(false);
        return m_failed ? traits_type::eof() : ch;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        m_pending.append(text, static_cast<std::size_t>(count));
        if (m_pending.find('\n') != std::string::npos) Flush(false);
        return m_failed ? 0 : count;
    }
    int sync() override {
        Flush(false);
        return m_failed ? -1 : 0;
    }

private:
    void Flush(bool all) {
        if (m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE) {
            m_pending.clear();
            return;
        }
        // Whole lines only until the end: a line break never falls inside a character.
        const std::size_t length = all ? m_pending.size() : m_pending.rfind('\n') + 1;
        if (length == 0) return;
        if (m_console) {
            const std::wstring wide = kanopa::Utf8ToWide(std::string_view(m_pending).substr(0, length));
            std::size_t done = 0;
            while (done < wide.size()) {
                DWORD written = 0;
                const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
                if (!WriteConsoleW(m_handle, wide.data() + done, chunk, &written, nullptr) ||
                    written == 0) {
                    m_failed = true;
                    break;
                }
                done += written;
            }
        } else {
            std::size_t done = 0;
            while (done < length) {
                DWORD written = 0;
                const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 20));
                if (!WriteFile(m_handle, m_pending.data() + done, chunk, &written, nullptr) ||
                    written == 0) {
                    m_failed = true;
                    break;
                }
                done += written;
            }
        }
        m_pending.erase(0, length);
    }

    HANDLE m_handle;
    bool m_console = false;
    bool m_failed = false;
    std::string m_pending;
};

// The last word when memory ran out, written without building anything: through the
// console as UTF-16 like every other line, or as UTF-8 bytes to a file or pipe.
void WriteOutOfMemory() {
    static constexpr wchar_t kWide[] = L"kanopa-memo: メモリが足りないため処理を中止しました。\n";
    static constexpr char kUtf8[] = "kanopa-memo: メモリが足りないため処理を中止しました。\n";
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, kWide, static_cast<DWORD>(std::size(kWide) - 1), &written, nullptr);
    } else {
        WriteFile(handle, kUtf8, static_cast<DWORD>(std::size(kUtf8) - 1), &written, nullptr);
    }
}

}  // namespace

namespace {

int Run(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(kanopa::WideToUtf8(argv[i]));

    kanopa::Win32FileSystem fs;
    kanopa::Win32Clock clock;
    StdHandleBuf outBuf(STD_OUTPUT_HANDLE);
    StdHandleBuf errBuf(STD_ERROR_HANDLE);
    std::ostream out(&outBuf);
    std::ostream err(&errBuf);
    const int code = kanopa::cli::RunKanopaMemo(args, fs, clock, out, err);
    out.flush();
    err.flush();
    return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Anything that still goes through the C runtime must not turn "\n" into "\r\n".
    // The console's code page is left alone: it is the console's, and outlives this run.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        WriteOutOfMemory();
        return 1;
    }
}
