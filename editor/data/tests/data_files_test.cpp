// The data files shipped beside the editor, read back as the editor reads them: bytes in
// code page 932, lines ended by CR LF.
#include <gtest/gtest.h>

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
// closing it changes nothing.
TEST(FixedFormFile, IsInTheFormThePhraseDialogWrites) {
    const DataFile file = LoadDataFile("FixedForm.txt");
    ASSERT_GT(file.lines.size(), editor::kFixedFormHeaderLines);
    EXPECT_EQ(editor::WriteFixedPhrases(editor::ReadFixedPhrases(file.bytes)), file.bytes);
}

TEST(FixedFormFile, PhrasesAreQuotedDistinctAndSurviveReading) {
    const DataFile file = LoadDataFile("FixedForm.txt");
    const std::vector<std::string> phrases = editor::ReadFixedPhrases(file.bytes);
    // Every line after the header is one phrase: one holding "#" would vanish on reading.
    ASSERT_GT(phrases.size(), 0u) << "no phrases";
    EXPECT_EQ(phrases.size() + editor::kFixedFormHeaderLines, file.lines.size());
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

}  // namespace
}  // namespace kanopa
