#include "editor/font_mapping.h"

#include <cstdint>
#include <cstdlib>

#include "common/log.h"
#include "common/memo_defaults.h"
#include "common/utf8.h"

namespace kanopa::editor {

FontStyleFlags StyleToFlags(std::int32_t fontStyle) {
    return {fontStyle == 2 || fontStyle == 3, fontStyle == 1 || fontStyle == 3};
}

std::int32_t FlagsToStyle(FontStyleFlags flags) {
    return (flags.bold ? 2 : 0) + (flags.italic ? 1 : 0);
}

bool IsBoldWeight(int weight) { return weight >= kBoldThreshold; }

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return 0;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    const bool negative = (product < 0) != (c < 0);
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t LogFontHeight(std::int32_t points, int dpi) {
    return -MulDiv(points, dpi, 72);
}

std::int32_t PointsFromTenths(std::int32_t tenths) {
    const std::int32_t whole = tenths / 10;
    const std::int32_t rest = tenths % 10;
    if (rest > 5 || (rest == 5 && whole % 2 != 0)) return whole + 1;
    if (rest < -5 || (rest == -5 && whole % 2 != 0)) return whole - 1;
    return whole;
}

std::size_t Utf16Length(const std::string& text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        units += NextCodePoint(text, pos) > 0xFFFF ? 2 : 1;
    }
    return units;
}

bool FitsFaceName(const std::string& name) {
    return Utf16Length(name) <= static_cast<std::size_t>(kFaceNameMaxUnits);
}

FontChoiceResult ChooseMemoFont(FontDialog& dialog, MemoRecord& record) {
    const FontStyleFlags style = StyleToFlags(record.fontStyle);
    FontDialogInput input;
    input.faceName = FitsFaceName(record.fontName) ? record.fontName : kDefaultFontName;
    input.color = record.foreColor;
    input.height = LogFontHeight(record.fontSize, dialog.Dpi());
    input.weight = style.bold ? kBoldWeight : kRegularWeight;
    input.italic = style.italic;
    input.underline = record.fontUnderline != 0;
    input.strikeout = record.fontStrikeout != 0;

    FontDialogOutput output;
    if (!dialog.Show(input, output)) return {FontChoice::Cancelled, {}};
    // The memo file has no escaping, so a "," in the name would make every save fail.
    if (output.faceName.empty() || !FitsFaceName(output.faceName) ||
        output.faceName.find(',') != std::string::npos) {
        WriteLog("ChooseMemoFont()", "face name does not fit: " + output.faceName);
        return {FontChoice::Refused, "このフォント名は使用できません。"};
    }
    record.fontName = output.faceName;
    record.fontSize = PointsFromTenths(output.pointSizeTenths);
    record.foreColor = output.color;
    record.fontStyle = FlagsToStyle({IsBoldWeight(output.weight), output.italic});
    record.fontStrikeout = output.strikeout ? 1 : 0;
    record.fontUnderline = output.underline ? 1 : 0;
    return {FontChoice::Chosen, {}};
}

}  // namespace kanopa::editor
