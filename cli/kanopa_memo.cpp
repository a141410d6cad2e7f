#include "cli/kanopa_memo.h"

#include <new>
#include <optional>
#include <ostream>

#include "cli/copy_command.h"
#include "cli/dates_command.h"
#include "cli/json_text.h"
#include "cli/search_command.h"
#include "common/config_file.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/utf8.h"

namespace kanopa::cli {
namespace {

constexpr char kUsage[] =
    "使い方:\n"
    "  kanopa-memo show FILE [--json]\n"
    "  kanopa-memo create FILE [--text TEXT | --text-file PATH] [--anchor 1-9] [--margin N]\n"
    "              [--absolute X,Y] [--size W,H] [--fore COLOR] [--back COLOR]\n"
    "              [--font NAME] [--font-size N] [--bold] [--italic]\n"
    "  kanopa-memo config-show FILE [--json]\n"
    "  kanopa-memo dates [DATETIME-FILE] [--at YYYY-MM-DDTHH:MM:SS]\n"
    "    日付と時刻の一覧を和暦・西暦の順に表示します。ファイルを省くと現在のフォルダの\n"
    "    DateTime.txt（CP932）を読みます。--at を省くと現在の日時です。\n"
    "  kanopa-memo copy MEMO-FILE FOLDER   FOLDER の中の各フォルダへメモファイルをコピー\n"
    "  kanopa-memo search ROOT PATTERN [--recursive] [--json]\n"
    "COLOR は 0xBBGGRR または10進数。テキストファイルは UTF-8 で読み、改行は CR LF にそろえます。\n"
    "CP932 で保存できない文字（絵文字など）を含むメモは保存しません。\n";

constexpr const char* kAnchorNames[] = {"左-上", "中-上", "右-上", "左-中", "中央",
                                        "右-中", "左-下", "中-下", "右-下"};

struct Failure {
    int code;
    std::string message;
};

Failure Usage(const std::string& why) { return {2, why}; }
Failure BadInput(const std::string& why) { return {1, why}; }

bool ParseNumber(const std::string& text, std::int32_t minimum, std::int32_t maximum,
                 std::int32_t& value) {
    std::int32_t parsed = 0;
    if (text.empty() || text.front() == ' ' || text.back() == ' ' || !ParseInt32(text, parsed))
        return false;
    if (parsed < minimum || parsed > maximum) return false;
    value = parsed;
    return true;
}

bool ParseColor(const std::string& text, std::int32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() > 8) return false;
        std::int32_t parsed = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return false;
            parsed = parsed * 16 + digit;
        }
        value = parsed;
        return true;
    }
    return ParseNumber(text, 0, 0xFFFFFF, value);
}

bool ParsePair(const std::string& text, std::int32_t minimum, std::int32_t maximum,
               std::int32_t& first, std::int32_t& second) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    return ParseNumber(text.substr(0, comma), minimum, maximum, first) &&
           ParseNumber(text.substr(comma + 1), minimum, maximum, second);
}

// Memo texts are Windows text: every line break (CR LF, a lone LF, a lone CR) becomes
// CR LF.
std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

class JsonObject {
public:
    explicit JsonObject(std::ostream& out) : m_out(out) { m_out << "{"; }
    void Add(const char* key, std::int64_t value) { Key(key); m_out << value; }
    void Add(const char* key, const std::string& value) { Key(key); m_out << JsonString(value); }
    void End() { m_out << "}\n"; }

private:
    void Key(const char* key) {
        m_out << (m_first ? "" : ",") << JsonString(key) << ":";
        m_first = false;
    }
    std::ostream& m_out;
    bool m_first = true;
};

// The fields a reader takes from the file, in file order.
void WriteStoredFieldsJson(JsonObject& json, const MemoRecord& r) {
    json.Add("memoLeft", r.memoLeft);
    json.Add("memoTop", r.memoTop);
    json.Add("memoWidth", r.memoWidth);
    json.Add("memoHeight", r.memoHeight);
    json.Add("foreColor", r.foreColor);
    json.Add("backColor", r.backColor);
    json.Add("fontName", r.fontName);
    json.Add("fontSize", r.fontSize);
    json.Add("fontStyle", r.fontStyle);
    json.Add("fontStrikeout", r.fontStrikeout);
    json.Add("fontUnderline", r.fontUnderline);
    json.Add("savedAt", r.savedAt);
    json.Add("layoutMode", r.layoutMode);
    json.Add("anchorPosition", r.anchorPosition);
    json.Add("margin", r.margin);
}

std::string Hex6(std::int32_t color) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06X", static_cast<unsigned>(color) & 0xFFFFFFu);
    return buffer;
}

// Every field the JSON form carries, in the same order, with its value as a number
// and, where it helps, in words.
void WriteStoredFieldsText(std::ostream& out, const MemoRecord& r) {
    const bool known = r.anchorPosition >= 1 && r.anchorPosition <= 9;
    out << "左位置 (memoLeft): " << r.memoLeft << " px\n";
    out << "上位置 (memoTop): " << r.memoTop << " px\n";
    out << "幅 (memoWidth): " << r.memoWidth << " px\n";
    out << "高さ (memoHeight): " << r.memoHeight << " px\n";
    out << "文字色 (foreColor): " << r.foreColor << " (" << Hex6(r.foreColor) << ")\n";
    out << "背景色 (backColor): " << r.backColor << " (" << Hex6(r.backColor) << ")\n";
    out << "フォント (fontName): " << r.fontName << "\n";
    out << "フォントサイズ (fontSize): " << r.fontSize << " pt\n";
    static constexpr const char* kStyles[] = {"標準", "斜体", "太字", "太字 斜体"};
    out << "スタイル (fontStyle): " << r.fontStyle << " ("
        << (r.fontStyle >= 0 && r.fontStyle <= 3 ? kStyles[r.fontStyle] : "不明") << ")\n";
    out << "取り消し線 (fontStrikeout): " << r.fontStrikeout << "\n";
    out << "下線 (fontUnderline): " << r.fontUnderline << "\n";
    out << "保存日時 (savedAt): " << r.savedAt << "\n";
    out << "配置方法 (layoutMode): " << r.layoutMode << " ("
        << (r.layoutMode == 1 ? "位置指定" : r.layoutMode == 0 ? "絶対位置" : "不明") << ")\n";
    out << "位置 (anchorPosition): " << r.anchorPosition << " ("
        << (known ? kAnchorNames[r.anchorPosition - 1] : "不明") << ")\n";
    out << "余白 (margin): " << r.margin << " px\n";
}

struct Args {
    std::string command;
    std::string file;
    std::vector<std::pair<std::string, std::optional<std::string>>> options;
};

bool TakesValue(const std::string& option) {
    return option != "--json" && option != "--bold" && option != "--italic";
}

std::optional<Failure> ParseArgs(const std::vector<std::string>& raw, Args& args) {
    if (raw.empty()) return Usage("コマンドがありません");
    args.command = raw[0];
    for (std::size_t i = 1; i < raw.size(); ++i) {
        const std::string& a = raw[i];
        if (a.rfind("--", 0) == 0) {
            if (TakesValue(a)) {
                if (i + 1 >= raw.size()) return Usage(a + " に値がありません");
                args.options.emplace_back(a, raw[++i]);
            } else {
                args.options.emplace_back(a, std::nullopt);
            }
        } else if (args.file.empty()) {
            args.file = a;
        } else {
            return Usage("余分な引数です: " + a);
        }
    }
    if (args.file.empty()) return Usage("ファイルが指定されていません");
    return std::nullopt;
}

std::optional<Failure> CheckOptions(const Args& args, std::initializer_list<const char*> allowed) {
    for (const auto& [name, value] : args.options) {
        bool ok = false;
        for (const char* a : allowed) ok = ok || name == a;
        if (!ok) return Usage("この場面では使えないオプションです: " + name);
    }
    return std::nullopt;
}

bool HasFlag(const Args& args, const char* flag) {
    for (const auto& option : args.options) {
        if (option.first == flag) return true;
    }
    return false;
}

std::optional<Failure> Show(const Args& args, FileSystem& fs, std::ostream& out) {
    if (auto f = CheckOptions(args, {"--json"})) return f;
    MemoRecord record;
    const LoadResult loaded = LoadMemo(fs, MemoKey(), args.file, record);
    if (!loaded.read) {
        if (loaded.read.problem == Problem::TooLarge) {
            return BadInput("メモファイルではありません（大きすぎます）: " + args.file);
        }
        return BadInput("ファイルを読めません: " + args.file + "（" + OneLine(loaded.read.error) + "）");
    }
    if (loaded.assigned == 0) return BadInput("メモファイルではありません: " + args.file);
    if (!loaded.complete()) {
        return BadInput("メモファイルが壊れています（読めたのは " + std::to_string(loaded.assigned) +
                        " 項目まで）: " + args.file);
    }
    if (HasFlag(args, "--json")) {
        JsonObject json(out);
        WriteStoredFieldsJson(json, record);
        json.Add("memoText", record.memoText);
        json.End();
    } else {
        out << "メモファイル: " << args.file << "\n";
        WriteStoredFieldsText(out, record);
        out << "----\n" << record.memoText << "\n";
    }
    return std::nullopt;
}

std::optional<Failure> ConfigShow(const Args& args, FileSystem& fs, std::ostream& out) {
    if (auto f = CheckOptions(args, {"--json"})) return f;
    MemoRecord record;
    if (Status loaded = LoadConfig(fs, args.file, record); !loaded) return BadInput(OneLine(loaded.error));
    if (HasFlag(args, "--json")) {
        JsonObject json(out);
        WriteStoredFieldsJson(json, record);
        json.Add("reservedText", record.reservedText);
        json.Add("reservedValue", record.reservedValue);
        json.End();
    } else {
        out << "設定ファイル: " << args.file << "\n";
        WriteStoredFieldsText(out, record);
        out << "予備の文字列 (reservedText): " << record.reservedText << "\n";
        out << "予備の数値 (reservedValue): " << record.reservedValue << "\n";
    }
    return std::nullopt;
}

// Largest text file that can still fit a memo: every character of the serialised
// memo takes at least one byte, at most four, and a byte-order mark may come first.
constexpr std::uint64_t kMaxTextFileBytes = kMaxStorableChars * 4 + 3;

// A UTF-8 text file, read whole: only a regular file no larger than a memo can hold,
// with well-formed UTF-8 and no NUL. A failure names the file (and the byte offset).
std::optional<Failure> ReadTextFile(FileSystem& fs, const std::string& path, std::string& text) {
    if (Status read = fs.ReadFile(path, kMaxTextFileBytes, text); !read) {
        switch (read.problem) {
            case Problem::NotAFile:
                return BadInput("テキストファイルが通常のファイルではありません: " + path);
            case Problem::TooLarge:
                return BadInput("テキストファイルが大きすぎます（メモに収まるのは " +
                                std::to_string(kMaxTextFileBytes) + " バイトまでです）: " + path);
            default:
                return BadInput("テキストファイルを読めません: " + path + "（" + OneLine(read.error) +
                                "）");
        }
    }
    // Offsets count from the file's first byte, a byte-order mark included.
    const std::size_t bom = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    const std::string_view body = std::string_view(text).substr(bom);
    if (const std::size_t bad = FindInvalidUtf8(body); bad != std::string_view::npos) {
        return BadInput("テキストファイルが UTF-8 ではありません（" + std::to_string(bom + bad) +
                        " バイト目から）: " + path);
    }
    if (const std::size_t nul = body.find('\0'); nul != std::string_view::npos) {
        return BadInput("テキストファイルに NUL 文字があります（" + std::to_string(bom + nul) +
                        " バイト目）: " + path);
    }
    text.erase(0, bom);
    return std::nullopt;
}

std::optional<Failure> Create(const Args& args, FileSystem& fs, const Clock& clock) {
    if (auto f = CheckOptions(args, {"--text", "--text-file", "--anchor", "--margin", "--absolute",
                                     "--size", "--fore", "--back", "--font", "--font-size",
                                     "--bold", "--italic"})) {
        return f;
    }
    MemoRecord record;
    SetDefaultMemoValues(record);
    bool bold = false, italic = false, haveText = false, anchored = false, absolute = false;
    for (const auto& option : args.options) {
        const std::string& name = option.first;
        const std::string v = option.second.value_or("");
        const auto bad = [&] { return BadInput(name + " の値が正しくありません: " + v); };
        if (name == "--text" || name == "--text-file") {
            if (haveText) return Usage("--text と --text-file はどちらか一つだけ指定できます");
            haveText = true;
            std::string text = v;
            if (name == "--text-file") {
                if (auto f = ReadTextFile(fs, v, text)) return f;
            }
            record.memoText = ToCrLf(text);
        } else if (name == "--anchor") {
            if (!ParseNumber(v, 1, 9, record.anchorPosition)) return bad();
            anchored = true;
            record.layoutMode = 1;
        } else if (name == "--margin") {
            if (!ParseNumber(v, 0, 32767, record.margin)) return bad();
        } else if (name == "--absolute") {
            if (!ParsePair(v, -32768, 32767, record.memoLeft, record.memoTop)) return bad();
            absolute = true;
            record.layoutMode = 0;
        } else if (name == "--size") {
            if (!ParsePair(v, 1, 32767, record.memoWidth, record.memoHeight)) return bad();
        } else if (name == "--fore") {
            if (!ParseColor(v, record.foreColor)) return bad();
        } else if (name == "--back") {
            if (!ParseColor(v, record.backColor)) return bad();
        } else if (name == "--font") {
            if (v.empty()) return bad();
            if (CountUtf16Units(v) > kMaxFontNameUnits) {
                return BadInput("--font のフォント名が長すぎます（" +
                                std::to_string(kMaxFontNameUnits) + " 文字まで）: " + v);
            }
            record.fontName = v;
        } else if (name == "--font-size") {
            if (!ParseNumber(v, 1, 999, record.fontSize)) return bad();
        } else if (name == "--bold") {
            bold = true;
        } else if (name == "--italic") {
            italic = true;
        }
    }
    if (anchored && absolute) return Usage("--anchor と --absolute は同時に指定できません");
    record.fontStyle = (bold ? 2 : 0) + (italic ? 1 : 0);
    if (Status saved = SaveMemo(fs, clock, MemoKey(), args.file, record); !saved) {
        return BadInput(OneLine(saved.error));  // a write failure names the file itself
    }
    return std::nullopt;
}

int RunCommand(const std::vector<std::string>& rawArgs, FileSystem& fs, const Clock& clock,
               std::ostream& out, std::ostream& err) {
    std::optional<Failure> failure;
    try {
        if (!rawArgs.empty() &&
            (rawArgs[0] == "--help" || rawArgs[0] == "-h" || rawArgs[0] == "help")) {
            out << kUsage;
            return 0;
        }
        if (!rawArgs.empty() && rawArgs[0] == "dates") {
            return RunDates({rawArgs.begin() + 1, rawArgs.end()}, fs, clock, out, err);
        }
        if (!rawArgs.empty() && rawArgs[0] == "copy")
            return RunCopyCommand({rawArgs.begin() + 1, rawArgs.end()}, fs, out, err);
        if (!rawArgs.empty() && rawArgs[0] == "search") {
#ifdef _WIN32
            constexpr char kSeparator = '\\';
#else
            constexpr char kSeparator = '/';
#endif
            const std::vector<std::string> rest(rawArgs.begin() + 1, rawArgs.end());
            if (auto f = RunSearchCommand(rest, fs, kSeparator, out)) failure = Failure{f->code, f->message};
        } else {
            Args args;
            failure = ParseArgs(rawArgs, args);
            if (!failure) {
                if (args.command == "show") failure = Show(args, fs, out);
                else if (args.command == "create") failure = Create(args, fs, clock);
                else if (args.command == "config-show") failure = ConfigShow(args, fs, out);
                else failure = Usage("不明なコマンドです: " + args.command);
            }
        }
    } catch (const std::bad_alloc&) {
        // Reported without building anything large; nothing was written.
        err << "kanopa-memo: メモリが足りないため処理を中止しました。\n";
        return 1;
    }
    if (!failure) return 0;
    err << "kanopa-memo: " << failure->message
        << (failure->code == 2 ? "（使い方: kanopa-memo --help）" : "") << "\n";
    return failure->code;
}

}  // namespace

int RunKanopaMemo(const std::vector<std::string>& rawArgs, FileSystem& fs, const Clock& clock,
                  std::ostream& out, std::ostream& err) {
    const int code = RunCommand(rawArgs, fs, clock, out, err);
    // A script that sends the output to a full disk or a closed pipe must not take a
    // cut-off listing for a whole one.
    if (!out.flush() && code == 0) {
        err << "kanopa-memo: 出力を書き込めませんでした。\n";
        return 1;
    }
    return code;
}

}  // namespace kanopa::cli
