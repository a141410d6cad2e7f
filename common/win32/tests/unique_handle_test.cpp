#include "common/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"

namespace kanopa {
namespace {

// --- The template, with a handle type whose closing is recorded -------------------

struct CountingTraits {
    using Type = int;
    static inline std::vector<int> closed;
    static Type Invalid() noexcept { return -1; }
    static bool IsValid(Type h) noexcept { return h >= 0; }
    static void Close(Type h) noexcept { closed.push_back(h); }
};
using Counted = UniqueHandle<CountingTraits>;

static_assert(!std::is_copy_constructible_v<Counted> && !std::is_copy_assignable_v<Counted>);
static_assert(std::is_nothrow_move_constructible_v<Counted> &&
              std::is_nothrow_move_assignable_v<Counted>);
static_assert(!std::is_copy_constructible_v<UniqueFile> && !std::is_copy_constructible_v<UniqueWindow>);

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { CountingTraits::closed.clear(); }
    static const std::vector<int>& Closed() { return CountingTraits::closed; }
};

TEST_F(UniqueHandleTest, ClosesOnceWhenItEnds) {
    { const Counted h(7); }
    { const Counted none; }
    EXPECT_EQ(Closed(), std::vector<int>{7});
}

TEST_F(UniqueHandleTest, MoveTransfersOwnershipWithoutClosing) {
    {
        Counted a(1);
        Counted b(std::move(a));
        EXPECT_FALSE(a.IsValid());  // NOLINT(bugprone-use-after-move): the point of the test
        EXPECT_EQ(b.Get(), 1);
        EXPECT_TRUE(Closed().empty());
        Counted c(2);
        c = std::move(b);  // c's own handle goes, b's moves in
        EXPECT_EQ(Closed(), std::vector<int>{2});
        EXPECT_EQ(c.Get(), 1);
        Counted& alias = c;
        c = std::move(alias);  // self-move keeps the handle
        EXPECT_EQ(c.Get(), 1);
        EXPECT_EQ(Closed(), std::vector<int>{2});
    }
    EXPECT_EQ(Closed(), (std::vector<int>{2, 1}));
}

TEST_F(UniqueHandleTest, ResetReleaseAndPut) {
    Counted h(3);
    h.Reset(4);
    EXPECT_EQ(Closed(), std::vector<int>{3});
    h.Reset(4);  // the handle already owned stays open
    EXPECT_EQ(Closed(), std::vector<int>{3});
    const int released = h.Release();
    EXPECT_EQ(released, 4);
    EXPECT_FALSE(h);
    h.Reset();
    EXPECT_EQ(Closed(), std::vector<int>{3});

    Counted out(5);
    *out.Put() = 6;  // an API filling the out-parameter
    EXPECT_EQ(Closed(), (std::vector<int>{3, 5}));
    EXPECT_EQ(out.Get(), 6);
}

// --- The traits, on real system objects --------------------------------------------

TEST(UniqueHandleTraits, KernelHandleIsClosed) {
    HANDLE raw = nullptr;
    {
        const UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.Get();
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
    EXPECT_FALSE(UniqueKernelHandle(nullptr));
}

TEST(UniqueHandleTraits, FileIsClosedAndFailureIsInvalid) {
    testing::TempFolder temp;
    const std::wstring path = Utf8ToWide(temp / "locked.txt");
    const auto open = [&] {
        return UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    UniqueFile first = open();
    ASSERT_TRUE(first);
    EXPECT_FALSE(open());  // no sharing while the first is open
    UniqueFile moved = std::move(first);
    EXPECT_FALSE(open());
    moved.Reset();
    EXPECT_TRUE(open());
}

TEST(UniqueHandleTraits, FindAndChangeNotificationHandles) {
    testing::TempFolder temp;
    WIN32_FIND_DATAW data{};
    UniqueFind find(FindFirstFileW(Utf8ToWide(temp / "*").c_str(), &data));
    EXPECT_TRUE(find);
    find.Reset();
    EXPECT_FALSE(UniqueFind(FindFirstFileW(Utf8ToWide(temp / "none.*").c_str(), &data)));

    UniqueChangeNotification change(FindFirstChangeNotificationW(
        Utf8ToWide(temp.Path()).c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
    ASSERT_TRUE(change);
    const HANDLE raw = change.Get();
    change.Reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
}

TEST(UniqueHandleTraits, WindowMenuIconAndGdiObjectsAreDestroyed) {
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    const HWND rawWindow = window.Get();
    {
        const UniqueWindowDc dc = GetWindowDcOf(rawWindow);
        EXPECT_TRUE(dc);
        EXPECT_EQ(dc.Get().window, rawWindow);
    }
    window.Reset();
    EXPECT_FALSE(IsWindow(rawWindow));

    UniqueMenu menu(CreatePopupMenu());
    const HMENU rawMenu = menu.Get();
    ASSERT_TRUE(IsMenu(rawMenu));
    menu.Reset();
    EXPECT_FALSE(IsMenu(rawMenu));

    UniqueIcon icon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
    ASSERT_TRUE(icon);
    icon.Reset();

    UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH rawBrush = brush.Get();
    ASSERT_NE(GetObjectType(rawBrush), 0u);
    brush.Reset();
    EXPECT_EQ(GetObjectType(rawBrush), 0u);
}

TEST(UniqueHandleTraits, SelectionIsUndoneAndNeverIntoANullDc) {
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    const UniqueBrush brush(CreateSolidBrush(RGB(10, 20, 30)));
    {
        UniqueGdiSelection selected = SelectGdiObject(dc.Get(), brush.Get());
        EXPECT_TRUE(selected);
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
        const UniqueGdiSelection moved = std::move(selected);
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);

    EXPECT_FALSE(SelectGdiObject(nullptr, brush.Get()));
    EXPECT_FALSE(SelectGdiObject(dc.Get(), nullptr));
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
}

// --- ComPtr, on an object that counts its references ------------------------------

class CountedObject final : public IPersist {
public:
    ULONG refs = 1;  // the creator's reference
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist)) {
            *out = static_cast<IPersist*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
        *id = CLSID_NULL;
        return S_OK;
    }
};

TEST(ComPtr, CountsReferences) {
    CountedObject object;
    {
        ComPtr<IPersist> a(&object);
        EXPECT_EQ(object.refs, 2u);
        ComPtr<IPersist> b = a;
        EXPECT_EQ(object.refs, 3u);
        ComPtr<IPersist> c = std::move(b);
        EXPECT_EQ(object.refs, 3u);
        EXPECT_FALSE(b);  // NOLINT(bugprone-use-after-move)
        c = a;
        EXPECT_EQ(object.refs, 3u);
        a = std::move(a);
        EXPECT_EQ(object.refs, 3u);
        c.Reset();
        EXPECT_EQ(object.refs, 2u);
    }
    EXPECT_EQ(object.refs, 1u);
}

TEST(ComPtr, OutParameterReleasesTheOldReferenceFirst) {
    CountedObject first, second;
    ComPtr<IPersist> p(&first);
    IPersist** slot = &p;
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(*slot, nullptr);
    *slot = &second;  // as a creating call would, with the reference it hands over
    ++second.refs;
    EXPECT_EQ(p.Get(), &second);
    IPersist* detached = p.Detach();
    EXPECT_EQ(detached, &second);
    EXPECT_EQ(second.refs, 2u);
    p.Attach(detached);
    p.Reset();
    EXPECT_EQ(second.refs, 1u);
}

TEST(ComPtr, AsQueriesAnotherInterface) {
    CountedObject object;
    const ComPtr<IPersist> persist(&object);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(persist.As(unknown), S_OK);
    EXPECT_EQ(object.refs, 3u);
    ComPtr<IStream> stream;
    EXPECT_EQ(persist.As(IID_IStream, stream), E_NOINTERFACE);
    EXPECT_FALSE(stream);
    EXPECT_EQ(object.refs, 3u);

    const ComPtr<IPersist> none;
    EXPECT_EQ(none.As(IID_IUnknown, unknown), E_POINTER);
    EXPECT_FALSE(unknown);
    EXPECT_EQ(object.refs, 2u);
}

}  // namespace
}  // namespace kanopa
