#include "editor/insert/date_format.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace kanopa::editor {
namespace {

enum class Field {
    Literal, AmPm, AmPmJapanese,
    Year4, Year2, DayOfYear, Quarter,
    Month, Month2, MonthAbbr, MonthName, MonthJapanese,
    Day, Day2, WeekdayAbbr, WeekdayName, WeekdayJapaneseAbbr, WeekdayJapaneseName,
    ShortDate, LongDate, Weekday, WeekOfYear,
    Hour, Hour2, Minute, Minute2, Second, Second2, LongTime, General,
    EraInitial, EraShort, EraLong, EraYear, EraYear2,
};

struct Code {
    char letter;  // lower case
    int length;
    Field field;
};

// Longest first for each letter: a run takes the longest code that fits.
constexpr Code kCodes[] = {
    {'y', 4, Field::Year4},        {'y', 2, Field::Year2},        {'y', 1, Field::DayOfYear},
    {'q', 1, Field::Quarter},
    {'m', 4, Field::MonthName},    {'m', 3, Field::MonthAbbr},    {'m', 2, Field::Month2},
    {'m', 1, Field::Month},        {'o', 4, Field::MonthJapanese},
    {'d', 6, Field::LongDate},     {'d', 5, Field::ShortDate},    {'d', 4, Field::WeekdayName},
    {'d', 3, Field::WeekdayAbbr},  {'d', 2, Field::Day2},         {'d', 1, Field::Day},
    {'a', 4, Field::WeekdayJapaneseName},                         {'a', 3, Field::WeekdayJapaneseAbbr},
    {'w', 2, Field::WeekOfYear},   {'w', 1, Field::Weekday},
    {'h', 2, Field::Hour2},        {'h', 1, Field::Hour},
    {'n', 2, Field::Minute2},      {'n', 1, Field::Minute},
    {'s', 2, Field::Second2},      {'s', 1, Field::Second},
    {'t', 5, Field::LongTime},     {'c', 1, Field::General},
    {'g', 3, Field::EraLong},      {'g', 2, Field::EraShort},     {'g', 1, Field::EraInitial},
    {'e', 2, Field::EraYear2},     {'e', 1, Field::EraYear},
};

constexpr const char* kMonthAbbr[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kMonthName[] = {"January", "February", "March",     "April",
                                      "May",     "June",     "July",      "August",
                                      "September", "October", "November", "December"};
constexpr const char* kWeekdayAbbr[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kWeekdayName[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
constexpr const char* kWeekdayJapanese[] = {"日", "月", "火", "水", "木", "金", "土"};

struct Token {
    Field field;
    std::string text;  // literal text; for AmPm the code as written ("am/pm")
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view word) {
    if (text.size() - pos < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[pos + i]) != word[i]) return false;
    }
    return true;
}

void AddLiteral(std::vector<Token>& tokens, std::string_view text) {
    if (!tokens.empty() && tokens.back().field == Field::Literal) {
        tokens.back().text += text;
    } else {
        tokens.push_back({Field::Literal, std::string(text)});
    }
}

// One pass over the pattern.
std::vector<Token> Tokenize(std::string_view pattern) {
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos];
        if (c == '"') {
            const std::size_t close = pattern.find('"', pos + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            AddLiteral(tokens, pattern.substr(pos + 1, end - pos - 1));
            pos = close == std::string_view::npos ? end : end + 1;
            continue;
        }
        if (c == '\\') {
            // The whole next character, however many bytes it takes.
            std::size_t end = pos + 1;
            if (end < pattern.size()) ++end;
            while (end < pattern.size() && (static_cast<unsigned char>(pattern[end]) & 0xC0) == 0x80) ++end;
            AddLiteral(tokens, pattern.substr(pos + 1, end - pos - 1));
            pos = end;
            continue;
        }
        const char letter = Lower(c);
        if (letter == 'a') {
            bool matched = false;
            for (std::string_view word : {"am/pm", "ampm", "a/p"}) {
                if (StartsWithNoCase(pattern, pos, word)) {
                    tokens.push_back({word == "ampm" ? Field::AmPmJapanese : Field::AmPm,
                                      std::string(pattern.substr(pos, word.size()))});
                    pos += word.size();
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        std::size_t run = 0;
        while (pos + run < pattern.size() && Lower(pattern[pos + run]) == letter) ++run;
        const Code* code = std::find_if(std::begin(kCodes), std::end(kCodes), [&](const Code& k) {
            return k.letter == letter && static_cast<std::size_t>(k.length) <= run;
        });
        if (code != std::end(kCodes)) {
            tokens.push_back({code->field, {}});
            pos += static_cast<std::size_t>(code->length);
        } else {
            AddLiteral(tokens, pattern.substr(pos, 1));
            ++pos;
        }
    }
    return tokens;
}

// "m" and "mm" next to an hour or a second are minutes.
void ResolveMinutes(std::vector<Token>& tokens) {
    const auto codeNear = [&](std::size_t i, int step) -> const Token* {
        for (std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i) + step;
             j >= 0 && j < static_cast<std::ptrdiff_t>(tokens.size()); j += step) {
            if (tokens[static_cast<std::size_t>(j)].field != Field::Literal) {
                return &tokens[static_cast<std::size_t>(j)];
            }
        }
        return nullptr;
    };
    std::vector<std::size_t> minutes;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].field != Field::Month && tokens[i].field != Field::Month2) continue;
        const Token* before = codeNear(i, -1);
        const Token* after = codeNear(i, +1);
        if ((before && (before->field == Field::Hour || before->field == Field::Hour2)) ||
            (after && (after->field == Field::Second || after->field == Field::Second2))) {
            minutes.push_back(i);
        }
    }
    // Decided on the pattern as written, then changed: "h m m" is minutes, months.
    for (std::size_t i : minutes) {
        tokens[i].field = tokens[i].field == Field::Month ? Field::Minute : Field::Minute2;
    }
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// 0 = Sunday.
int WeekdayOf(int year, int month, int day) {
    return static_cast<int>(((DaysFromCivil(year, month, day) % 7) + 11) % 7);
}

std::string Number(int value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<std::size_t>(width)) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

const Era* EraOf(const EraTable& eras, const LocalDateTime& at) {
    const Era* found = nullptr;
    for (const Era& era : eras) {
        if (std::tie(era.year, era.month, era.day) <= std::tie(at.year, at.month, at.day)) {
            found = &era;
        }
    }
    return found;
}

class Formatter {
public:
    Formatter(const LocalDateTime& at, const EraTable& eras, bool twelveHour)
        : m_at(at), m_eras(eras), m_twelveHour(twelveHour) {}

    void Write(const Token& token, std::string& out) const {
        const LocalDateTime& t = m_at;
        const int weekday = WeekdayOf(t.year, t.month, t.day);
        const int dayOfYear =
            static_cast<int>(DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(t.year, 1, 1)) + 1;
        const int hour = m_twelveHour ? (t.hour % 12 == 0 ? 12 : t.hour % 12) : t.hour;
        const Era* era = EraOf(m_eras, t);
        const int eraYear = era ? t.year - era->year + 1 : t.year;
        switch (token.field) {
        case Field::Literal: out += token.text; break;
        case Field::AmPm: {
            const std::size_t slash = token.text.find('/');
            out += t.hour < 12 ? token.text.substr(0, slash) : token.text.substr(slash + 1);
            break;
        }
        case Field::AmPmJapanese: out += t.hour < 12 ? "午前" : "午後"; break;
        case Field::Year4: out += Number(t.year, 4); break;
        case Field::Year2: out += Number(t.year % 100, 2); break;
        case Field::DayOfYear: out += Number(dayOfYear, 1); break;
        case Field::Quarter: out += Number((t.month - 1) / 3 + 1, 1); break;
        case Field::Month: out += Number(t.month, 1); break;
        case Field::Month2: out += Number(t.month, 2); break;
        case Field::MonthAbbr: out += kMonthAbbr[t.month - 1]; break;
        case Field::MonthName: out += kMonthName[t.month - 1]; break;
        case Field::MonthJapanese: out += Number(t.month, 1) + "月"; break;
        case Field::Day: out += Number(t.day, 1); break;
        case Field::Day2: out += Number(t.day, 2); break;
        case Field::WeekdayAbbr: out += kWeekdayAbbr[weekday]; break;
        case Field::WeekdayName: out += kWeekdayName[weekday]; break;
        case Field::WeekdayJapaneseAbbr: out += kWeekdayJapanese[weekday]; break;
        case Field::WeekdayJapaneseName: out += std::string(kWeekdayJapanese[weekday]) + "曜日"; break;
        case Field::ShortDate:
            out += Number(t.year, 4) + "/" + Number(t.month, 2) + "/" + Number(t.day, 2);
            break;
        case Field::LongDate:
            out += Number(t.year, 4) + "年" + Number(t.month, 1) + "月" + Number(t.day, 1) + "日";
            break;
        case Field::Weekday: out += Number(weekday + 1, 1); break;
        case Field::WeekOfYear:
            out += Number((dayOfYear - 1 + WeekdayOf(t.year, 1, 1)) / 7 + 1, 1);
            break;
        case Field::Hour: out += Number(hour, 1); break;
        case Field::Hour2: out += Number(hour, 2); break;
        case Field::Minute: out += Number(t.minute, 1); break;
        case Field::Minute2: out += Number(t.minute, 2); break;
        case Field::Second: out += Number(t.second, 1); break;
        case Field::Second2: out += Number(t.second, 2); break;
        case Field::LongTime:
            out += Number(t.hour, 1) + ":" + Number(t.minute, 2) + ":" + Number(t.second, 2);
            break;
        case Field::General:
            Write({Field::ShortDate, {}}, out);
            if (t.hour != 0 || t.minute != 0 || t.second != 0) {
                out += ' ';
                Write({Field::LongTime, {}}, out);
            }
            break;
        case Field::EraInitial: if (era) out += era->initial; break;
        case Field::EraShort: if (era) out += era->shortName; break;
        case Field::EraLong: if (era) out += era->name; break;
        case Field::EraYear: out += Number(eraYear, 1); break;
        case Field::EraYear2: out += Number(eraYear, 2); break;
        }
    }

private:
    const LocalDateTime& m_at;
    const EraTable& m_eras;
    bool m_twelveHour;
};

bool ParseDigits(std::string_view text, int& value) {
    if (text.empty() || text.size() > 4) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

const EraTable& BuiltInEras() {
    static const EraTable kEras = {
        {1868, 1, 1, "明治", "明", "M"},
        {1912, 7, 30, "大正", "大", "T"},
        {1926, 12, 25, "昭和", "昭", "S"},
        {1989, 1, 8, "平成", "平", "H"},
        {2019, 5, 1, "令和", "令", "R"},
    };
    return kEras;
}

bool IsValidDateTime(const LocalDateTime& at) {
    return at.year >= 1 && at.year <= 9999 && at.month >= 1 && at.month <= 12 && at.day >= 1 &&
           at.day <= DaysInMonth(at.year, at.month) && at.hour >= 0 && at.hour <= 23 &&
           at.minute >= 0 && at.minute <= 59 && at.second >= 0 && at.second <= 59;
}

std::optional<Era> ParseEraEntry(std::string_view name, std::string_view data) {
    const std::vector<std::string_view> date = Split(name, ' ');
    const std::vector<std::string_view> names = Split(data, '_');
    Era era;
    if (date.size() != 3 || !ParseDigits(date[0], era.year) || !ParseDigits(date[1], era.month) ||
        !ParseDigits(date[2], era.day) || !IsValidDateTime(LocalDateTime{era.year, era.month, era.day}) ||
        names.size() != 4 || names[0].empty() || names[1].empty() || names[3].empty()) {
        return std::nullopt;
    }
    era.name = names[0];
    era.shortName = names[1];
    era.initial = names[3];
    return era;
}

std::optional<EraTable> EraTableFromEntries(
    const std::vector<std::pair<std::string, std::string>>& entries) {
    EraTable eras;
    for (const auto& [name, data] : entries) {
        if (std::optional<Era> era = ParseEraEntry(name, data)) eras.push_back(std::move(*era));
    }
    if (eras.empty()) return std::nullopt;
    std::stable_sort(eras.begin(), eras.end(), [](const Era& a, const Era& b) {
        return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
    });
    return eras;
}

std::string FormatDateTime(std::string_view pattern, const LocalDateTime& at, const EraTable& eras) {
    if (!IsValidDateTime(at)) return {};
    std::vector<Token> tokens = Tokenize(pattern.empty() ? std::string_view("c") : pattern);
    ResolveMinutes(tokens);
    const bool twelveHour = std::any_of(tokens.begin(), tokens.end(), [](const Token& token) {
        return token.field == Field::AmPm || token.field == Field::AmPmJapanese;
    });
    const Formatter formatter(at, eras, twelveHour);
    std::string out;
    for (const Token& token : tokens) formatter.Write(token, out);
    return out;
}

}  // namespace kanopa::editor
