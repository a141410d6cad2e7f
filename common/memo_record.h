#pragma once
// The memo record: 26 fields and the memo text, in serialisation order.
//
// Serialised form: each field as text followed by ",", then "#TEXT#", then the memo
// text unchanged. Integers are plain decimal, the Boolean is "True"/"False", text
// fields are written as they are (so they must not contain ","):
//   f1,f2,...,f26,#TEXT#memo text
#include <cstdint>
#include <string>
#include <string_view>

namespace kanopa {

inline constexpr char kTextMarker[] = "#TEXT#";

struct MemoRecord {
    // Run-time fields of the viewer: never taken from a file.
    std::int32_t folderWindow = 0;
    std::string folderPath;      // ends in "\"
    std::string memoFileName;
    std::int32_t folderLeft = 0;
    std::int32_t folderTop = 0;
    std::int32_t folderRight = 0;
    std::int32_t folderBottom = 0;
    // Popup geometry in screen pixels.
    std::int32_t memoLeft = 0;
    std::int32_t memoTop = 0;
    std::int32_t memoWidth = 0;
    std::int32_t memoHeight = 0;
    std::int32_t foreColor = 0;  // 0x00BBGGRR
    std::int32_t backColor = 0;  // 0x00BBGGRR
    std::string fontName;
    std::int32_t fontSize = 0;   // points
    std::int32_t fontStyle = 0;  // 0 regular, 1 italic, 2 bold, 3 bold italic
    std::int32_t fontStrikeout = 0;
    std::int32_t fontUnderline = 0;
    std::string savedAt;
    std::int32_t popupWindow = 0;  // run-time (viewer)
    bool spareFlag = false;
    std::int32_t layoutMode = 0;   // 1 anchored, 0 absolute
    std::int32_t anchorPosition = 0;  // 1..9, row by row from top left
    std::int32_t margin = 0;
    std::string reservedText;
    std::int16_t reservedValue = 0;
    std::string memoText;

    bool operator==(const MemoRecord&) const = default;
};

std::string SerializeMemoRecord(const MemoRecord& record);

// Text fields other than the memo text must not hold ",": the file has no escaping.
// Returns the name of the first offending field, or nullptr.
const char* FindFieldWithComma(const MemoRecord& record);

// A Windows font face name holds at most 31 UTF-16 units (LOGFONT's 32 with the end).
inline constexpr std::size_t kMaxFontNameUnits = 31;

// Why a record cannot be written as it is, as a sentence for the user; "" when it can.
// Checked: the font name's length, and every text as serialised for a character code
// page 932 cannot hold (the first one is named), so that nothing is lost silently.
std::string FindStorageProblem(const MemoRecord& record);

// Strict decimal integer as the readers accept it: optional blanks around an optional
// sign and at least one digit, within the 32-bit range.
bool ParseInt32(std::string_view text, std::int32_t& value);

// Reading a decoded record (the serialised form). Parts are numbered from 1.
inline constexpr int kStoredFieldCount = 15;  // parts 8-19 and 22-24
// Assigns parts 8-19 and 22-24 in order and stops at the first one missing or not a
// number; returns how many were assigned (kStoredFieldCount when all).
int ParseStoredFields(std::string_view decoded, MemoRecord& record);
// Assigns part 25 (text) and 26 (16-bit number); returns how many were assigned.
int ParseReservedFields(std::string_view decoded, MemoRecord& record);
// The memo text: what follows "#TEXT#" at the start of the earliest of parts 25, 26
// and 27 that begins with it (27 in a complete record; 25 or 26 when it ends early).
bool FindMemoText(std::string_view decoded, std::string_view& text);

}  // namespace kanopa
