// The thin wrappers every Win32 caller leans on: handle and COM ownership, UTF-8/UTF-16.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"

namespace kanopa {
namespace {

using ::testing::HasSubstr;

struct CountingTraits {
    using Type = int;
    static inline std::vector<int> closed;
    static Type Invalid() noexcept { return -1; }
    static bool IsValid(Type h) noexcept { return h >= 0; }
    static void Close(Type h) noexcept { closed.push_back(h); }
};
using Counted = UniqueHandle<CountingTraits>;
static_assert(!std::is_copy_constructible_v<Counted> && !std::is_copy_assignable_v<Counted>);

TEST(UniqueHandle, MovesAndResetsCloseEveryHandleExactlyOnce) {
    CountingTraits::closed.clear();
    {
        Counted a(1);
        Counted b(std::move(a));
        Counted c(2);
        c = std::move(b);  // c's own handle goes, 1 moves in
        Counted& alias = c;
        c = std::move(alias);  // self-move keeps it
        EXPECT_EQ(c.Get(), 1);
        c.Reset(3);
        c.Reset(3);  // the handle already owned stays open
        EXPECT_EQ(c.Release(), 3);
        Counted d(4);
        *d.Put() = 5;  // an out-parameter: what d held goes first
        EXPECT_EQ(CountingTraits::closed, (std::vector<int>{2, 1, 4}));
    }
    EXPECT_EQ(CountingTraits::closed, (std::vector<int>{2, 1, 4, 5}));
}

TEST(UniqueHandle, GdiSelectionPutsThePreviousObjectBackAndNeverSelectsIntoNoDc) {
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    const UniqueBrush brush(CreateSolidBrush(RGB(10, 20, 30)));
    {
        const UniqueGdiSelection selected = SelectGdiObject(dc.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
    EXPECT_FALSE(SelectGdiObject(nullptr, brush.Get()));
}

// The reference count of a COM object, as AddRef and Release report it.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

TEST(ComPtr, HoldsOneReferenceOfItsOwn) {
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    IStream* const raw = stream.Get();
    raw->AddRef();  // ours, to watch the count to the end
    {
        ComPtr<IStream> copy = stream;
        ComPtr<IStream> moved = std::move(copy);
        moved = stream;
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(moved.As(unknown), S_OK);
        EXPECT_EQ(References(raw), 4u);
        *&moved = nullptr;  // an out-parameter: the reference held goes first
        EXPECT_EQ(References(raw), 3u);
    }
    stream.Reset();
    EXPECT_EQ(raw->Release(), 0u);
}

TEST(WideText, ConvertsBothWaysAndReplacesBrokenInput) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"", L""},
        {"メモ帳フォルダ\\テスト①.epm",
         L"\u30E1\u30E2\u5E33\u30D5\u30A9\u30EB\u30C0\\\u30C6\u30B9\u30C8\u2460.epm"},
        // Outside the Basic Multilingual Plane: surrogate pairs in UTF-16.
        {"\xF0\xA9\xB8\xBD\xF0\x9F\x93\x9D", L"\xD867\xDE3D\xD83D\xDCDD"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& [utf8, wide] : cases) {
        EXPECT_EQ(Utf8ToWide(utf8), wide) << utf8;
        EXPECT_EQ(WideToUtf8(wide), utf8) << utf8;
    }
    // A stray byte or a lone surrogate must not swallow the text around it.
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\xD800" L"b")), "a\xEF\xBF\xBD" "b");
    // Error texts go into one-line log messages; a code without text is named.
    EXPECT_THAT(LastErrorText(ERROR_ACCESS_DENIED), Not(HasSubstr("\n")));
    EXPECT_THAT(LastErrorText(0x2000FFFF), HasSubstr("536936447"));
}

}  // namespace
}  // namespace kanopa
