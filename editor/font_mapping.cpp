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

bool FitsFaceName(const std::string& name) {
    return CountUtf16Units(name) <= kMaxFontNameUnits;
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
    // A name the memo file cannot hold (too long, a ",", a character outside code
    // page 932) would make every later save fail: refuse it now, while it is chosen.
    MemoRecord probe;
    probe.fontName = output.faceName;
    std::string problem = FindStorageProblem(probe);
    if (problem.empty() && (output.faceName.empty() || FindFieldWithComma(probe))) {
        problem = "このフォント名は使用できません。";
    }
    if (!problem.empty()) {
        WriteLog("ChooseMemoFont()", "face name refused: " + output.faceName);
        return {FontChoice::Refused, problem};
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
