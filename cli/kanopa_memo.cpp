#include "cli/kanopa_memo.h"

#include <optional>
#include <ostream>

#include "common/config_file.h"
#include "common/keys.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"

namespace kanopa::cli {
namespace {

constexpr char kUsage[] =
    "使い方:\n"
    "  kanopa-memo show FILE [--json]\n"
    "  kanopa-memo create FILE [--text TEXT | --text-file PATH] [--anchor 1-9] [--margin N]\n"
    "              [--absolute X,Y] [--size W,H] [--fore COLOR] [--back COLOR]\n"
    "              [--font NAME] [--font-size N] [--bold] [--italic]\n"
    "  kanopa-memo config-show FILE [--json]\n"
    "COLOR は 0xBBGGRR または10進数。テキストファイルは UTF-8 で読み、改行は CR LF にそろえます。\n";

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

// Memo texts are Windows text: line breaks are CR LF.
std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    static constexpr char kHex[] = "0123456789abcdef";
                    out += "\\u00";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
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

void WriteStoredFieldsText(std::ostream& out, const MemoRecord& r) {
    out << "保存日時: " << r.savedAt << "\n";
    if (r.layoutMode == 1) {
        const bool known = r.anchorPosition >= 1 && r.anchorPosition <= 9;
        out << "配置: " << (known ? kAnchorNames[r.anchorPosition - 1] : "不明") << " (位置 "
            << r.anchorPosition << ")、余白 " << r.margin << " px\n";
    } else {
        out << "配置: 絶対位置 (" << r.memoLeft << ", " << r.memoTop << ")\n";
    }
    out << "大きさ: " << r.memoWidth << " x " << r.memoHeight << " px\n";
    out << "文字色: " << Hex6(r.foreColor) << "  背景色: " << Hex6(r.backColor) << "\n";
    out << "フォント: " << r.fontName << " " << r.fontSize << " pt";
    if (r.fontStyle == 2 || r.fontStyle == 3) out << " 太字";
    if (r.fontStyle == 1 || r.fontStyle == 3) out << " 斜体";
    if (r.fontStrikeout) out << " 取り消し線";
    if (r.fontUnderline) out << " 下線";
    out << "\n";
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
    if (!fs.FileSize(args.file)) return BadInput("ファイルを読めません: " + args.file);
    MemoRecord record;
    const LoadResult loaded = LoadMemo(fs, MemoKey(), args.file, record);
    if (loaded.assigned == 0) return BadInput("メモファイルとして読めません: " + args.file);
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
    }
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
                if (Status read = fs.ReadFile(v, text); !read) {
                    return BadInput("テキストファイルを読めません: " + v + " " + read.error);
                }
                if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
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
        return BadInput(OneLine(saved.error));
    }
    return std::nullopt;
}

}  // namespace

int RunKanopaMemo(const std::vector<std::string>& rawArgs, FileSystem& fs, const Clock& clock,
                  std::ostream& out, std::ostream& err) {
    if (!rawArgs.empty() && (rawArgs[0] == "--help" || rawArgs[0] == "-h" || rawArgs[0] == "help")) {
        out << kUsage;
        return 0;
    }
    Args args;
    std::optional<Failure> failure = ParseArgs(rawArgs, args);
    if (!failure) {
        if (args.command == "show") failure = Show(args, fs, out);
        else if (args.command == "create") failure = Create(args, fs, clock);
        else if (args.command == "config-show") failure = ConfigShow(args, fs, out);
        else failure = Usage("不明なコマンドです: " + args.command);
    }
    if (!failure) return 0;
    err << "kanopa-memo: " << failure->message
        << (failure->code == 2 ? "（使い方: kanopa-memo --help）" : "") << "\n";
    return failure->code;
}

}  // namespace kanopa::cli
