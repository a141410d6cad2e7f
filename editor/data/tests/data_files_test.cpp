// The files shipped with the editor: its data files, read back as the editor reads them
// (bytes in code page 932, lines ended by CR LF); its committed pictures in the form its
// resource script and image lists expect (toolbar strips of eight 32-bit pictures with
// alpha, and an icon with every size).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "editor/insert/date_time_file.h"
#include "editor/insert/delimited_items.h"
#include "editor/insert/fixed_phrases.h"

namespace kanopa {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's lines as code-page bytes; every line must end in CR LF, a lone CR or LF
// fails the test.
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF: " << bytes.substr(start);
            break;
        }
        std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break in " << line;
        lines.push_back(std::move(line));
        start = end + 2;
    }
    return lines;
}

struct DataFile {
    std::string bytes;
    std::vector<std::string> lines;  // code-page bytes
};

DataFile LoadDataFile(const char* name) {
    DataFile file;
    file.bytes = ReadBytes(std::string(KANOPA_PROGRAM_FOLDER) + "/" + name);
    file.lines = CrLfLines(file.bytes);
    return file;
}

std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// A quoted item as the delimited-field reading delivers it: the text between the quotes.
bool IsQuotedItem(const std::string& line, std::string& inner) {
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
    inner = line.substr(1, line.size() - 2);
    return inner.find('"') == std::string::npos;
}

TEST(EditorDataFiles, AreCodePage932ThroughAndThrough) {
    for (const char* name : {"DateTime.txt", "FixedForm.txt"}) {
        const DataFile file = LoadDataFile(name);
        ASSERT_FALSE(file.bytes.empty()) << name << " is missing from the program folder";
        // Every byte sequence decodes to a character and encodes back to the same bytes.
        EXPECT_EQ(Utf8ToCp932(Utf8(file.bytes)), file.bytes) << name;
        EXPECT_EQ(Utf8(file.bytes).find("\xE3\x83\xBB"), std::string::npos)
            << name << " holds bytes that decode to nothing";
    }
}

// Byte for byte what the phrase dialog writes back for the same phrases: opening and
// closing it changes nothing, and no line is lost on reading (as one holding "#" would be).
TEST(FixedFormFile, IsInTheFormThePhraseDialogWritesWithDistinctPhrases) {
    const DataFile file = LoadDataFile("FixedForm.txt");
    const std::vector<std::string> phrases = editor::ReadFixedPhrases(file.bytes);
    ASSERT_GT(phrases.size(), 0u) << "no phrases";
    EXPECT_EQ(editor::WriteFixedPhrases(phrases), file.bytes);
    for (const std::string& phrase : phrases) EXPECT_FALSE(phrase.empty());
    EXPECT_EQ(std::set<std::string>(phrases.begin(), phrases.end()).size(), phrases.size()) << "a phrase twice";
}

// Read as the dialog reads it: every line but the two section markers is offered, so no
// pattern sits before the era section or in both (an era marker after the Western one
// would count its patterns twice), and none is dropped as a trailing blank.
TEST(DateTimeFile, EveryPatternSitsInTheEraOrTheWesternSection) {
    const DataFile file = LoadDataFile("DateTime.txt");
    std::string inner;
    for (const std::string& line : file.lines) EXPECT_TRUE(IsQuotedItem(line, inner)) << Utf8(line);
    const editor::DateTimeLists lists = editor::SortDateTimeItems(editor::ReadDelimitedItems(Utf8(file.bytes)));
    EXPECT_EQ(lists.era.size() + lists.western.size() + 2, file.lines.size());
    EXPECT_GE(lists.era.size(), 3u);
    EXPECT_GE(lists.western.size(), 3u);
    // Era patterns carry the era codes; Western ones the four-digit year or a time.
    for (const std::string& text : lists.era) {
        EXPECT_NE(text.find('g'), std::string::npos) << text;
        EXPECT_NE(text.find('e'), std::string::npos) << text;
    }
    for (const std::string& text : lists.western) {
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find('g'), std::string::npos) << text;
    }
}

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    }
    return value;
}

constexpr int kToolbarPictures = 8;  // New, Open, Save, Calendar, FixedForm, Copy, Font, BackColor

TEST(ToolbarStrips, AreEightSquare32BitPicturesWithAlphaAtEachScale) {
    for (int size : {16, 24, 32}) {
        SCOPED_TRACE(size);
        const std::string bmp =
            ReadBytes(std::string(KANOPA_EDITOR_RES_FOLDER) + "/toolbar_" + std::to_string(size) + ".bmp");
        ASSERT_GE(bmp.size(), 54u);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
        const std::uint32_t offset = Le(bmp, 10, 4);
        EXPECT_EQ(Le(bmp, 14, 4), 40u);  // BITMAPINFOHEADER
        const auto width = static_cast<std::int32_t>(Le(bmp, 18, 4));
        const auto height = static_cast<std::int32_t>(Le(bmp, 22, 4));
        EXPECT_EQ(width, kToolbarPictures * size);
        EXPECT_EQ(height, size);  // positive: bottom-up rows
        EXPECT_EQ(Le(bmp, 26, 2), 1u);
        EXPECT_EQ(Le(bmp, 28, 2), 32u);
        EXPECT_EQ(Le(bmp, 30, 4), 0u);  // BI_RGB
        ASSERT_EQ(bmp.size(), offset + static_cast<std::size_t>(width) * size * 4);
        // Every picture has see-through and solid pixels of its own: alpha is real, and
        // no slot is empty.
        for (int picture = 0; picture < kToolbarPictures; ++picture) {
            int clear = 0;
            int solid = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = picture * size; x < (picture + 1) * size; ++x) {
                    const auto alpha = static_cast<unsigned char>(
                        bmp[offset + (static_cast<std::size_t>(y) * width + x) * 4 + 3]);
                    clear += alpha == 0;
                    solid += alpha == 255;
                }
            }
            EXPECT_GT(clear, 0) << "picture " << picture;
            EXPECT_GT(solid, size * size / 4) << "picture " << picture;
        }
    }
}

TEST(EditorIcon, HoldsEverySizeAsThirtyTwoBitImages) {
    const std::string ico = ReadBytes(std::string(KANOPA_EDITOR_RES_FOLDER) + "/Kanopa.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Le(ico, 0, 2), 0u);
    EXPECT_EQ(Le(ico, 2, 2), 1u);  // icon
    const int sizes[] = {16, 24, 32, 48, 256};
    ASSERT_EQ(Le(ico, 4, 2), std::size(sizes));
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int size = sizes[i];
        SCOPED_TRACE(size);
        EXPECT_EQ(Le(ico, entry, 1), static_cast<std::uint32_t>(size % 256));  // 0 stands for 256
        EXPECT_EQ(Le(ico, entry + 6, 2), 32u);
        const std::uint32_t length = Le(ico, entry + 8, 4);
        const std::uint32_t offset = Le(ico, entry + 12, 4);
        ASSERT_LE(static_cast<std::size_t>(offset) + length, ico.size());
        if (size == 256) {
            EXPECT_EQ(ico.substr(offset, 8), std::string("\x89PNG\r\n\x1a\n", 8));
            // IHDR: width and height 256, big-endian.
            EXPECT_EQ(ico.substr(offset + 16, 8), std::string("\0\0\1\0\0\0\1\0", 8));
        } else {
            EXPECT_EQ(Le(ico, offset, 4), 40u);
            EXPECT_EQ(Le(ico, offset + 4, 4), static_cast<std::uint32_t>(size));
            EXPECT_EQ(Le(ico, offset + 8, 4), static_cast<std::uint32_t>(2 * size));
        }
    }
}

}  // namespace
}  // namespace kanopa
