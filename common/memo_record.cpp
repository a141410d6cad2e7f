#include "common/memo_record.h"

#include <limits>

#include "common/cp932.h"
#include "common/utf8.h"

namespace kanopa {
namespace {

void Put(std::string& out, std::int64_t value) {
    out += std::to_string(value);
    out += ',';
}

void Put(std::string& out, const std::string& text) {
    out += text;
    out += ',';
}

// The comma-separated parts of a decoded record, numbered from 1, found on demand.
class Parts {
public:
    explicit Parts(std::string_view text) : m_text(text) {}

    // Part n, or false when the text has fewer parts.
    bool Get(int n, std::string_view& part) const {
        std::size_t start = 0;
        for (int i = 1; i < n; ++i) {
            const std::size_t comma = m_text.find(',', start);
            if (comma == std::string_view::npos) return false;
            start = comma + 1;
        }
        const std::size_t comma = m_text.find(',', start);
        part = m_text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                     : comma - start);
        return true;
    }

    // Offset just past the n-th comma, or npos.
    std::size_t AfterComma(int n) const {
        std::size_t start = 0;
        for (int i = 0; i < n; ++i) {
            const std::size_t comma = m_text.find(',', start);
            if (comma == std::string_view::npos) return std::string_view::npos;
            start = comma + 1;
        }
        return start;
    }

private:
    std::string_view m_text;
};

}  // namespace

std::string SerializeMemoRecord(const MemoRecord& r) {
    std::string out;
    out.reserve(160 + r.memoText.size());
    Put(out, r.folderWindow);
    Put(out, r.folderPath);
    Put(out, r.memoFileName);
    Put(out, r.folderLeft);
    Put(out, r.folderTop);
    Put(out, r.folderRight);
    Put(out, r.folderBottom);
    Put(out, r.memoLeft);
    Put(out, r.memoTop);
    Put(out, r.memoWidth);
    Put(out, r.memoHeight);
    Put(out, r.foreColor);
    Put(out, r.backColor);
    Put(out, r.fontName);
    Put(out, r.fontSize);
    Put(out, r.fontStyle);
    Put(out, r.fontStrikeout);
    Put(out, r.fontUnderline);
    Put(out, r.savedAt);
    Put(out, r.popupWindow);
    Put(out, std::string(r.spareFlag ? "True" : "False"));
    Put(out, r.layoutMode);
    Put(out, r.anchorPosition);
    Put(out, r.margin);
    Put(out, r.reservedText);
    Put(out, r.reservedValue);
    out += kTextMarker;
    out += r.memoText;
    return out;
}

const char* FindFieldWithComma(const MemoRecord& r) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"folderPath", &r.folderPath}, {"memoFileName", &r.memoFileName},
        {"fontName", &r.fontName},     {"savedAt", &r.savedAt},
        {"reservedText", &r.reservedText},
    };
    for (const auto& [name, text] : fields) {
        if (text->find(',') != std::string::npos) return name;
    }
    return nullptr;
}

std::string FindStorageProblem(const MemoRecord& record) {
    if (const std::size_t units = CountUtf16Units(record.fontName); units > kMaxFontNameUnits) {
        return "フォント名が長すぎるため保存できません（" + std::to_string(units) + " 文字。" +
               std::to_string(kMaxFontNameUnits) + " 文字までです）。";
    }
    if (const auto unstorable = FindUnstorableChar(SerializeMemoRecord(record))) {
        return "保存できない文字「" + *unstorable +
               "」が含まれています。この文字を除いてから保存してください。";
    }
    return {};
}

bool ParseInt32(std::string_view text, std::int32_t& value) {
    std::size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end) return false;
    std::int64_t magnitude = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max()) return false;
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

int ParseStoredFields(std::string_view decoded, MemoRecord& record) {
    const Parts parts(decoded);
    int assigned = 0;
    std::string_view part;
    const auto number = [&](int n, std::int32_t& field) {
        std::int32_t value = 0;
        if (!parts.Get(n, part) || !ParseInt32(part, value)) return false;
        field = value;
        ++assigned;
        return true;
    };
    const auto text = [&](int n, std::string& field) {
        if (!parts.Get(n, part)) return false;
        field.assign(part);
        ++assigned;
        return true;
    };
    // In file order; the first failure stops, and what was assigned stays assigned.
    (void)(number(8, record.memoLeft) && number(9, record.memoTop) &&
           number(10, record.memoWidth) && number(11, record.memoHeight) &&
           number(12, record.foreColor) && number(13, record.backColor) &&
           text(14, record.fontName) && number(15, record.fontSize) &&
           number(16, record.fontStyle) && number(17, record.fontStrikeout) &&
           number(18, record.fontUnderline) && text(19, record.savedAt) &&
           number(22, record.layoutMode) && number(23, record.anchorPosition) &&
           number(24, record.margin));
    return assigned;
}

int ParseReservedFields(std::string_view decoded, MemoRecord& record) {
    const Parts parts(decoded);
    std::string_view part;
    if (!parts.Get(25, part)) return 0;
    record.reservedText.assign(part);
    std::int32_t value = 0;
    if (!parts.Get(26, part) || !ParseInt32(part, value) ||
        value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return 1;
    }
    record.reservedValue = static_cast<std::int16_t>(value);
    return 2;
}

// A complete record has its marker at the start of part 27; older or foreign records
// that end after field 24 or 25 have it at the start of part 25 or 26. The earliest such
// part wins, and everything after its marker is the text, commas and markers included.
bool FindMemoText(std::string_view decoded, std::string_view& text) {
    const Parts parts(decoded);
    const std::string_view marker = kTextMarker;
    for (int n = 25; n <= 27; ++n) {
        const std::size_t start = parts.AfterComma(n - 1);
        if (start == std::string_view::npos) return false;
        if (decoded.substr(start, marker.size()) == marker) {
            text = decoded.substr(start + marker.size());
            return true;
        }
    }
    return false;
}

}  // namespace kanopa
