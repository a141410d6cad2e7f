// The data files shipped beside the editor, read back as the editor reads them: bytes in
// code page 932, lines ended by CR LF.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/cp932.h"
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
// closing it changes nothing.
TEST(FixedFormFile, IsInTheFormThePhraseDialogWrites) {
    const DataFile file = LoadDataFile("FixedForm.txt");
    ASSERT_GT(file.lines.size(), editor::kFixedFormHeaderLines);
    EXPECT_EQ(editor::WriteFixedPhrases(editor::ReadFixedPhrases(file.bytes)), file.bytes);
}

TEST(FixedFormFile, PhrasesAreQuotedDistinctAndSurviveReading) {
    const DataFile file = LoadDataFile("FixedForm.txt");
    ASSERT_GT(file.lines.size(), 10u) << "no phrases";
    std::set<std::string> seen;
    for (std::size_t i = 10; i < file.lines.size(); ++i) {
        std::string phrase;
        ASSERT_TRUE(IsQuotedItem(file.lines[i], phrase)) << "line " << i + 1;
        const std::string text = Utf8(phrase);
        EXPECT_FALSE(text.empty()) << "line " << i + 1;
        // The reader skips any item with "#": such a phrase would vanish.
        EXPECT_EQ(text.find('#'), std::string::npos) << text;
        EXPECT_TRUE(seen.insert(text).second) << "twice: " << text;
    }
}

TEST(DateTimeFile, EveryPatternSitsInTheEraOrTheWesternSection) {
    const DataFile file = LoadDataFile("DateTime.txt");
    enum class Section { None, Era, Western };
    Section section = Section::None;
    int eraPatterns = 0;
    int westernPatterns = 0;
    bool eraMarkerSeen = false;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        std::string item;
        ASSERT_TRUE(IsQuotedItem(file.lines[i], item)) << "line " << i + 1;
        const std::string text = Utf8(item);
        const bool era = text.find("和暦") != std::string::npos;
        const bool western = text.find("西暦") != std::string::npos;
        ASSERT_FALSE(era && western) << "line " << i + 1 << " marks both sections";
        if (era) {
            // Once the Western section has begun, an era marker would be read as a
            // Western pattern.
            ASSERT_EQ(section, Section::None) << "era marker on line " << i + 1;
            section = Section::Era;
            eraMarkerSeen = true;
            continue;
        }
        if (western) {
            ASSERT_TRUE(eraMarkerSeen) << "the era section must come first";
            ASSERT_EQ(section, Section::Era) << "second Western marker on line " << i + 1;
            section = Section::Western;
            continue;
        }
        ASSERT_NE(section, Section::None) << "pattern before any section: " << text;
        EXPECT_FALSE(text.empty()) << "line " << i + 1;
        (section == Section::Era ? eraPatterns : westernPatterns) += 1;
        // Era patterns carry the era codes; Western ones the four-digit year or a time.
        if (section == Section::Era) {
            EXPECT_NE(text.find('g'), std::string::npos) << text;
            EXPECT_NE(text.find('e'), std::string::npos) << text;
        } else {
            EXPECT_EQ(text.find('g'), std::string::npos) << text;
        }
    }
    EXPECT_EQ(section, Section::Western);
    EXPECT_GE(eraPatterns, 3);
    EXPECT_GE(westernPatterns, 3);
}

}  // namespace
}  // namespace kanopa
