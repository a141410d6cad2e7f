#pragma once
// Between the memo record's font fields and the system font dialog:
//   fontStyle 0 regular, 1 italic, 2 bold, 3 bold italic  <->  bold, italic
//   bold        <->  weight >= 600 (semibold and heavier); opens at 700 or 400
//   fontSize    ->   LOGFONT height -MulDiv(points, dpi, 72) at the dialog's dpi
//                    (12 points at 96 dpi: -16)
//   chosen size <-   the dialog's point size in tenths, halves to even (125 -> 12)
// A face name the memo file cannot hold is refused when chosen: longer than 31 UTF-16
// units (LOGFONT's limit), with a ",", or with a character outside code page 932.
#include <cstdint>
#include <string>

#include "common/memo_record.h"
#include "common/status.h"

namespace kanopa::editor {

inline constexpr int kFontDialogMinPoints = 8;
inline constexpr int kFontDialogMaxPoints = 24;
inline constexpr int kBoldWeight = 700;
inline constexpr int kRegularWeight = 400;
inline constexpr int kBoldThreshold = 600;

struct FontStyleFlags {
    bool bold = false;
    bool italic = false;
    bool operator==(const FontStyleFlags&) const = default;
};

FontStyleFlags StyleToFlags(std::int32_t fontStyle);
std::int32_t FlagsToStyle(FontStyleFlags flags);
bool IsBoldWeight(int weight);

// Windows' MulDiv: a * b / c rounded half away from zero; 0 when c is 0.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);
// The LOGFONT height of `points` at `dpi` (negative: a character height).
std::int32_t LogFontHeight(std::int32_t points, int dpi);
// Whole points from tenths of a point, halves to even.
std::int32_t PointsFromTenths(std::int32_t tenths);
// At most kMaxFontNameUnits UTF-16 units (the memo record's limit).
bool FitsFaceName(const std::string& name);

// What the dialog opens with.
struct FontDialogInput {
    std::string faceName;
    std::int32_t color = 0;       // 0x00BBGGRR
    std::int32_t height = 0;      // LOGFONT height at the dialog's dpi
    int weight = kRegularWeight;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int minPoints = kFontDialogMinPoints;
    int maxPoints = kFontDialogMaxPoints;
};

// What the user chose.
struct FontDialogOutput {
    std::string faceName;
    std::int32_t color = 0;
    std::int32_t pointSizeTenths = 0;  // the dialog's own point size
    int weight = kRegularWeight;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

// The system font dialog, shown by the window side (screen fonts, effects, limited
// sizes, started from the input).
class FontDialog {
public:
    virtual ~FontDialog() = default;
    // Dots per inch of the monitor the dialog opens on.
    virtual int Dpi() = 0;
    // False when cancelled.
    virtual bool Show(const FontDialogInput& input, FontDialogOutput& output) = 0;
};

enum class FontChoice { Chosen, Cancelled, Refused };

struct FontChoiceResult {
    FontChoice choice = FontChoice::Cancelled;
    std::string message;  // for Refused: the reason to show the user
};

// Opens the dialog from the record's font and writes the choice back (fontName,
// fontSize, foreColor, fontStyle, fontStrikeout, fontUnderline). Cancel, or a choice
// that cannot be stored, leaves the record unchanged. A record whose face name does
// not fit opens the dialog with the default font name.
FontChoiceResult ChooseMemoFont(FontDialog& dialog, MemoRecord& record);

}  // namespace kanopa::editor
