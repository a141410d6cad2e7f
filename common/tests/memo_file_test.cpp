#include <gtest/gtest.h>

#include "common/codec.h"
#include "common/memo_defaults.h"
#include "common/memo_file.h"
#include "common/tests/fakes.h"
#include "common/utf8.h"

namespace kanopa {
namespace {

constexpr char kKey[] = "31975";
constexpr char kPath[] = "C:\\Work\\note.epm";

class MemoFile : public ::testing::Test {
protected:
    MemoRecord DefaultMemo(const std::string& text) {
        MemoRecord r;
        SetDefaultMemoValues(r);
        r.memoText = text;
        return r;
    }
    std::string DecodedFile(const std::string& path = kPath) {
        return DecodeFromFile(kKey, fs.Get(path));
    }
    // A file holding exactly the given serialised text.
    void PutRaw(const std::string& serialized) { fs.Put(kPath, EncodeForFile(kKey, serialized)); }

    testing::FakeFileSystem fs;
    testing::FixedClock clock;
};

TEST_F(MemoFile, StoresTheDocumentedFormWithReservedPlaceholders) {
    MemoRecord r = DefaultMemo("abc");
    r.reservedText = "keep";
    r.reservedValue = 7;
    r.spareFlag = true;
    ASSERT_TRUE(SaveMemo(fs, clock, kKey, kPath, r));
    EXPECT_EQ(DecodedFile(),
              "0,,,0,0,0,0,50,50,200,100,0,16777215,ＭＳ ゴシック,11,0,0,0,"
              "2026/12/06 9:05:07,0,False,1,1,50,,-1,#TEXT#abc");
    EXPECT_EQ(r.savedAt, "2026/12/06 9:05:07");
    EXPECT_FALSE(r.spareFlag);
    EXPECT_EQ(r.reservedText, "keep");  // only the file gets the placeholders
    EXPECT_EQ(r.reservedValue, 7);
}

// Texts come back as they went in, but for characters other systems use for the code
// page's own, which are stored as the code page's; a Windows font name holds 31 UTF-16
// units, and the most is stored (one more is refused below).
TEST_F(MemoFile, TextsAndFontNamesRoundTrip) {
    const std::string fontF(31, 'F');
    std::string fontGo;
    for (int i = 0; i < 31; ++i) fontGo += "ゴ";
    const struct {
        std::string text;
        const char* loaded = nullptr;  // when it differs
        std::string fontName = "ＭＳ ゴシック";
    } cases[] = {
        {""},
        {"一行目,カンマ付き\r\n二行目\r\n"},
        {"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z"},
        {"before #TEXT# after #TEXT#"},
        {"#TEXT#"},
        {"ｶﾞｷﾞ ①②③ ㈱ ～"},
        {"10\u301C20", "10\uFF5E20"},
        {"10\u201620", "10\u222520"},
        {"10\u221220", "10\uFF0D20"},
        {"10\u00A220", "10\uFFE020"},
        {"10\u00A320", "10\uFFE120"},
        {"10\u00AC20", "10\uFFE220"},
        {"10\u201420", "10\u201520"},
        {"10\u00A620", "10\uFFE420"},
        {"x", nullptr, fontF},
        {"x", nullptr, fontGo},
    };
    for (const auto& c : cases) {
        MemoRecord saved = DefaultMemo(c.text);
        saved.margin = -5;
        saved.fontStyle = 3;
        saved.fontName = c.fontName;
        ASSERT_TRUE(SaveMemo(fs, clock, kKey, kPath, saved)) << c.text << " " << c.fontName;
        MemoRecord loaded;
        ASSERT_TRUE(LoadMemo(fs, kKey, kPath, loaded).complete()) << c.text;
        saved.reservedValue = 0;  // written as -1, never read back
        if (c.loaded != nullptr) saved.memoText = c.loaded;
        EXPECT_EQ(loaded, saved) << c.text;
    }
}

TEST_F(MemoFile, LoadNeverTouchesRunTimeOrReservedFields) {
    PutRaw("99,C:\\x\\,a.epm,1,2,3,4,10,20,30,40,5,6,Font,9,1,1,1,then,77,True,0,5,8,junk,123,#TEXT#t");
    MemoRecord r;
    r.folderWindow = 1234;
    r.folderPath = "D:\\Memo\\";
    r.memoFileName = "m.epm";
    r.folderBottom = 500;
    r.popupWindow = 42;
    r.reservedText = "mine";
    r.reservedValue = -3;
    MemoRecord expected = r;  // only the stored fields and the text change
    expected.memoLeft = 10, expected.memoTop = 20, expected.memoWidth = 30, expected.memoHeight = 40;
    expected.foreColor = 5, expected.backColor = 6, expected.fontName = "Font", expected.fontSize = 9;
    expected.fontStyle = expected.fontStrikeout = expected.fontUnderline = 1;
    expected.savedAt = "then", expected.layoutMode = 0, expected.anchorPosition = 5;
    expected.margin = 8, expected.memoText = "t";
    ASSERT_TRUE(LoadMemo(fs, kKey, kPath, r).complete());
    EXPECT_EQ(r, expected);
}

TEST_F(MemoFile, DamagedFileFillsFieldsUpToTheFirstBadOne) {
    // Field 15 (font size) is not a number: fields 8-14 are taken, the rest stay.
    PutRaw("0,,,0,0,0,0,11,12,13,14,15,16,Gothic,big,0,0,0,,0,False,1,9,50,,-1,#TEXT#new text");
    MemoRecord r;
    SetDefaultMemoValues(r);
    r.memoText = "previous memo";
    r.anchorPosition = 3;
    const LoadResult result = LoadMemo(fs, kKey, kPath, r);
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(result.assigned, 7);
    EXPECT_EQ(r.memoLeft, 11);
    EXPECT_EQ(r.backColor, 16);
    EXPECT_EQ(r.fontName, "Gothic");
    EXPECT_EQ(r.fontSize, 11);  // unchanged default
    EXPECT_EQ(r.anchorPosition, 3);
    EXPECT_EQ(r.memoText, "previous memo");
}

// Nothing is taken from these; a read failure is told apart from a file that is no memo.
TEST_F(MemoFile, UnreadableOrForeignFilesLeaveTheRecordUnchanged) {
    const MemoRecord original = DefaultMemo("unchanged");
    fs.Put("C:\\empty.epm", "");
    fs.Put("C:\\foreign.epm", "This is not a memo file at all.");
    fs.Put("C:\\huge.epm", std::string(32768, '5'));  // beyond what the codec can hold
    const struct { const char* path; Problem problem; } cases[] = {
        {"C:\\missing.epm", Problem::Failed}, {"C:\\empty.epm", Problem::None},
        {"C:\\foreign.epm", Problem::None},   {"C:\\huge.epm", Problem::TooLarge},
    };
    for (const auto& c : cases) {
        MemoRecord r = original;
        const LoadResult result = LoadMemo(fs, kKey, c.path, r);
        EXPECT_EQ(result.read.ok, c.problem == Problem::None) << c.path;
        EXPECT_EQ(result.read.problem, c.problem) << c.path;
        EXPECT_EQ(result.assigned, 0) << c.path;
        EXPECT_EQ(r, original) << c.path;
    }
}

TEST_F(MemoFile, RecordWithoutMarkerAfterItsFieldsKeepsThePreviousText) {
    PutRaw("0,,,0,0,0,0,1,2,3,4,5,6,F,9,0,0,0,,0,False,1,2,3,,-1,no marker here");
    MemoRecord r;
    r.memoText = "old";
    const LoadResult result = LoadMemo(fs, kKey, kPath, r);
    EXPECT_EQ(result.assigned, kStoredFieldCount);
    EXPECT_EQ(r.margin, 3);
    EXPECT_EQ(r.memoText, "old");
}

TEST_F(MemoFile, LengthLimitIsCheckedBeforeTheDiskIsTouched) {
    MemoRecord old = DefaultMemo("old memo");
    ASSERT_TRUE(SaveMemo(fs, clock, kKey, kPath, old));
    const std::string oldBytes = fs.Get(kPath);

    // Find the longest text that fits by asking the serialiser, not by arithmetic.
    std::string text;
    MemoRecord r = DefaultMemo("");
    r.savedAt = "2026/12/06 9:05:07";
    while (true) {
        r.memoText = text + "x";
        MemoRecord stored = r;
        stored.reservedValue = -1;
        if (CountCodePoints(SerializeMemoRecord(stored)) > kMaxStorableChars) break;
        text += "x";
    }
    MemoRecord fits = DefaultMemo(text);
    ASSERT_TRUE(SaveMemo(fs, clock, kKey, kPath, fits));
    MemoRecord loaded;
    ASSERT_TRUE(LoadMemo(fs, kKey, kPath, loaded).complete());
    EXPECT_EQ(loaded.memoText, text);

    const std::string fittingBytes = fs.Get(kPath);
    MemoRecord tooLong = DefaultMemo(text + "x");
    const Status refused = SaveMemo(fs, clock, kKey, kPath, tooLong);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.error.find("6553"), std::string::npos);
    EXPECT_EQ(fs.Get(kPath), fittingBytes);
    EXPECT_NE(oldBytes, fittingBytes);
}

// Older or foreign files may end after field 24 or 25; their text starts right after
// the marker that opens part 25 or 26, commas and all.
TEST_F(MemoFile, ShortRecordsKeepTheirWholeTextEvenWithCommas) {
    struct Case { const char* name; std::string serialized; std::string text; };
    const std::string fields24 = "0,,,0,0,0,0,1,2,3,4,5,6,F,9,0,0,0,,0,False,1,2,3,";
    const Case cases[] = {
        {"24 fields", fields24 + "#TEXT#a,b,c,d", "a,b,c,d"},
        {"25 fields", fields24 + "r,#TEXT#one, two,,three", "one, two,,three"},
        {"26 fields", fields24 + ",-1,#TEXT#x,#TEXT#y", "x,#TEXT#y"},
        {"24 fields, many commas", fields24 + "#TEXT#" + std::string(40, ','), std::string(40, ',')},
        {"24 fields, empty text", fields24 + "#TEXT#", ""},
    };
    for (const Case& c : cases) {
        PutRaw(c.serialized);
        MemoRecord r;
        ASSERT_TRUE(LoadMemo(fs, kKey, kPath, r).complete()) << c.name;
        EXPECT_EQ(r.memoText, c.text) << c.name;
        EXPECT_EQ(r.margin, 3) << c.name;
    }
}

// Nothing may be lost without a word: a refused save says why, and the file on disk
// stays as it was. A character code page 932 cannot hold is named; a comma in a text
// field would shift every later field; a font name of 32 UTF-16 units is one too many.
TEST_F(MemoFile, RefusedSavesSayWhyAndLeaveTheFileAlone) {
    MemoRecord old = DefaultMemo("the memo on disk");
    ASSERT_TRUE(SaveMemo(fs, clock, kKey, kPath, old));
    const std::string before = fs.Get(kPath);
    struct Case { std::string text, fontName, error; bool whole = false; };
    std::vector<Case> cases = {{"text, with commas, is fine", "Bad,Font", "fontName"}};
    for (const std::string unit : {"F", "ゴ"}) {
        std::string name;
        for (int i = 0; i < 32; ++i) name += unit;
        cases.push_back({"x", name, "32 文字"});
    }
    const std::pair<std::string, std::string> unstorable[] = {
        {"笑顔😀です", "😀"}, {"한국어", "한"}, {"𠮷野家", "𠮷"}, {"1€", "€"}, {"Müller", "ü"},
        {"a\xFF", "\xFF"},  // a byte that is not UTF-8
    };
    for (const auto& [text, first] : unstorable) {
        const std::string error =
            "保存できない文字「" + first + "」が含まれています。この文字を除いてから保存してください。";
        cases.push_back({text, "", error, true});
        cases.push_back({"plain", text, error, true});
    }
    for (const Case& c : cases) {
        MemoRecord r = DefaultMemo(c.text);
        if (!c.fontName.empty()) r.fontName = c.fontName;
        const Status refused = SaveMemo(fs, clock, kKey, kPath, r);
        EXPECT_FALSE(refused) << c.text << " " << c.fontName;
        if (c.whole) EXPECT_EQ(refused.error, c.error);
        else EXPECT_NE(refused.error.find(c.error), std::string::npos) << refused.error;
        EXPECT_EQ(fs.Get(kPath), before) << c.text << " " << c.fontName;
    }
    EXPECT_EQ(fs.PathsStartingWith("C:\\Work\\"), std::vector<std::string>{kPath});
}

// A save that fails on the disk keeps the old file, leaves no temporary file, names the
// file and logs the failure.
TEST_F(MemoFile, FailedSaveKeepsTheOldFileLeavesNoTemporaryAndReportsIt) {
    MemoRecord old = DefaultMemo("the memo on disk");
    ASSERT_TRUE(SaveMemo(fs, clock, kKey, kPath, old));
    const std::string before = fs.Get(kPath);
    for (const bool replaceFails : {false, true}) {
        fs.failCreate = !replaceFails;
        fs.failReplace = replaceFails;
        testing::LogCapture capture;
        MemoRecord replacement = DefaultMemo("new");
        const Status result = SaveMemo(fs, clock, kKey, kPath, replacement);
        EXPECT_FALSE(result);
        EXPECT_NE(result.error.find(kPath), std::string::npos);
        EXPECT_EQ(fs.Get(kPath), before);
        EXPECT_EQ(fs.PathsStartingWith("C:\\Work\\"), std::vector<std::string>{kPath});
        ASSERT_EQ(capture.log.entries.size(), 1u);
        EXPECT_EQ(capture.log.entries[0].first, "SaveMemo()");
        EXPECT_EQ(capture.log.entries[0].second.rfind(std::string("FILEPATH:") + kPath + " ", 0), 0u);
    }
}

}  // namespace
}  // namespace kanopa
