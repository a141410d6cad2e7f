#include "cli/dates_command.h"

#include <optional>
#include <ostream>

#include "editor/insert/date_format.h"
#include "editor/insert/date_time_file.h"

namespace kanopa::cli {
namespace {

// A fixed clock for --at.
class FixedMoment final : public Clock {
public:
    explicit FixedMoment(LocalDateTime at) : m_at(at) {}
    LocalDateTime Now() const override { return m_at; }

private:
    LocalDateTime m_at;
};

// "YYYY-MM-DDTHH:MM:SS", every digit in place, a real date and time.
std::optional<LocalDateTime> ParseMoment(const std::string& text) {
    constexpr char kShape[] = "0000-00-00T00:00:00";
    if (text.size() != sizeof(kShape) - 1) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == '0' ? !digit : text[i] != kShape[i]) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        return std::stoi(text.substr(at, length));
    };
    const LocalDateTime moment{number(0, 4), number(5, 2), number(8, 2),
                               number(11, 2), number(14, 2), number(17, 2)};
    if (!editor::IsValidDateTime(moment)) return std::nullopt;
    return moment;
}

int Fail(std::ostream& err, int code, const std::string& message) {
    err << "kanopa-memo: " << message << (code == 2 ? "（使い方: kanopa-memo --help）" : "") << "\n";
    return code;
}

}  // namespace

int RunDates(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock,
             std::ostream& out, std::ostream& err) {
    std::optional<std::string> file;
    std::optional<std::string> at;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--at") {
            if (i + 1 >= args.size()) return Fail(err, 2, "--at に値がありません");
            at = args[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return Fail(err, 2, "不明なオプションです: " + arg);
        } else if (file) {
            return Fail(err, 2, "ファイルは一つだけ指定できます: " + arg);
        } else {
            file = arg;
        }
    }
    std::optional<FixedMoment> fixed;
    if (at) {
        const std::optional<LocalDateTime> moment = ParseMoment(*at);
        if (!moment) return Fail(err, 1, "--at の値が正しくありません: " + *at);
        fixed.emplace(*moment);
    }
    const std::string path = file.value_or(editor::kDateTimeFileName);
    editor::DateTimeLists lists;
    if (Status read = editor::ReadDateTimeFile(fs, path, lists); !read) {
        return Fail(err, 1, "ファイルを読めません: " + path + " " + read.error);
    }
    const Clock& source = fixed ? static_cast<const Clock&>(*fixed) : clock;
    const char* headers[] = {"[和暦]", "[西暦]"};
    for (int calendar = 0; calendar < 2; ++calendar) {
        out << headers[calendar] << "\n";
        for (const std::string& entry :
             editor::FormatDateTimeList(lists, calendar, source, editor::BuiltInEras())) {
            out << "  " << entry << "\n";
        }
    }
    return 0;
}

}  // namespace kanopa::cli
