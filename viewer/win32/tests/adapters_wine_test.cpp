// The Win32 adapters of the viewer's platform interfaces, on their own.
#include "common/win32/win32_file_system.h"

#include <objbase.h>
#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/tests/temp_folder.h"
#include "common/win32/wide.h"
#include "viewer/win32/about_dialog.h"
#include "viewer/win32/com_shell_window_source.h"
#include "viewer/win32/tests/test_support.h"
#include "viewer/win32/win32_folder_change_watcher.h"
#include "viewer/win32/win32_window_system.h"

namespace kanopa::viewer::win32::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// --- Shell windows over COM ---------------------------------------------------------

class ComApartment {
public:
    ComApartment() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};

TEST(ComShellWindowSource, AShellThatCannotCountItsWindowsGivesAnErrorNotACrash) {
    ComApartment apartment;
    ASSERT_TRUE(SUCCEEDED(apartment.Result()));
    ComShellWindowSource source;
    std::vector<ShellWindowInfo> windows{ShellWindowInfo{}};

    const Status status = source.Enumerate(windows);

    if (!RunningOnWine()) {
        EXPECT_TRUE(status.ok) << status.error;
        return;
    }
    // Wine creates the object but implements none of its collection.
    EXPECT_FALSE(status.ok);
    EXPECT_THAT(status.error, HasSubstr("IShellWindows::get_Count failed: 0x80004001"));
    EXPECT_THAT(windows, IsEmpty());
}

// An automation object that is not a browser window.
class PlainDispatch final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    ULONG References() const { return m_references; }

private:
    ULONG m_references = 1;
};

TEST(ComShellWindowSource, ItemsThatAreNoBrowserWindowsAreSkippedAndReleased) {
    PlainDispatch plain;
    ShellWindowInfo info;
    EXPECT_FALSE(ReadShellWindow(&plain, info));
    EXPECT_FALSE(ReadShellWindow(nullptr, info));
    EXPECT_EQ(plain.References(), 1u);
}

// A real shell view of a folder, as a folder window shows one. Wine has no folder windows
// to list, but makes the views themselves.
ComPtr<IShellView> ShellViewOf(PCIDLIST_ABSOLUTE idList) {
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop))) return {};
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(idList, nullptr, IID_IShellFolder, folder.PutVoid()))) return {};
    SFV_CREATE create{};
    create.cbSize = sizeof(create);
    create.pshf = folder.Get();
    ComPtr<IShellView> view;
    if (FAILED(SHCreateShellFolderView(&create, &view))) return {};
    return view;
}

struct IdList {
    PIDLIST_ABSOLUTE value = nullptr;
    ~IdList() { CoTaskMemFree(value); }
};

TEST(ShellView, AFolderOnDiskGivesItsPathEndingInABackslash) {
    ComApartment apartment;
    kanopa::testing::TempFolder temp;
    const std::string folder = temp / "企画 資料";
    kanopa::testing::MakeFolder(folder);
    for (const std::string& path : {folder, std::string("C:\\")}) {
        IdList idList;
        ASSERT_TRUE(SUCCEEDED(SHParseDisplayName(Utf8ToWide(path).c_str(), nullptr, &idList.value,
                                                 0, nullptr)))
            << path;
        const ComPtr<IShellView> view = ShellViewOf(idList.value);
        ASSERT_TRUE(view) << path;

        ShellWindowInfo info;
        EXPECT_EQ(ReadShellView(view.Get(), info), FolderViewResult::FileSystem) << path;
        EXPECT_EQ(info.folderPath, path.back() == '\\' ? path : path + "\\");
        EXPECT_TRUE(info.isActiveTab);  // a view without a window of its own says nothing
    }
}

TEST(ShellView, ThisPcIsAFolderWithoutAPathAndNoViewIsNoFolder) {
    ComApartment apartment;
    IdList idList;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &idList.value)));
    const ComPtr<IShellView> view = ShellViewOf(idList.value);
    ASSERT_TRUE(view);
    ShellWindowInfo info;
    EXPECT_EQ(ReadShellView(view.Get(), info), FolderViewResult::NotFileSystem);
    EXPECT_EQ(info.folderPath, "");

    EXPECT_EQ(ReadShellView(nullptr, info), FolderViewResult::Unavailable);
}

// --- Folder change watches ----------------------------------------------------------

TEST(FolderChangeWatcher, FiresOnceAFileComesOrGoesOrIsHiddenAndStaysFired) {
    kanopa::testing::TempFolder folder;
    kanopa::testing::MakeFile(folder / "old.epm", "x");
    Win32FolderChangeWatcher watcher;

    const auto watch = watcher.Watch(folder.Path());
    ASSERT_NE(watch, nullptr);
    EXPECT_FALSE(watch->Changed());
    kanopa::testing::MakeFile(folder / "new.epm", "x");
    EXPECT_TRUE(WaitUntil([&] { return watch->Changed(); }));
    EXPECT_TRUE(watch->Changed());

    const auto removal = watcher.Watch(folder.Path());
    ASSERT_NE(removal, nullptr);
    ASSERT_TRUE(DeleteFileW(Utf8ToWide(folder / "new.epm").c_str()));
    EXPECT_TRUE(WaitUntil([&] { return removal->Changed(); }));

    const auto hiding = watcher.Watch(folder.Path());
    ASSERT_NE(hiding, nullptr);
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(folder / "old.epm").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(WaitUntil([&] { return hiding->Changed(); }));
}

TEST(FolderChangeWatcher, AFolderThatCannotBeWatchedGivesNoWatch) {
    kanopa::testing::TempFolder folder;
    Win32FolderChangeWatcher watcher;
    EXPECT_EQ(watcher.Watch(folder / "does-not-exist\\"), nullptr);
}

// --- Window placement ---------------------------------------------------------------

TEST(WindowSystem, ReportsShowStateFrameAndMonitorOfARealWindow) {
    TestWindow window(L"配置", RECT{120, 80, 620, 480});
    ASSERT_TRUE(window.BringToFront());
    Win32WindowSystem system;
    EXPECT_EQ(system.Foreground(), window.Id());
    EXPECT_TRUE(system.Exists(window.Id()));

    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window.Get(), MONITOR_DEFAULTTONEAREST), &monitor);
    const Rect screen{monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right,
                      monitor.rcMonitor.bottom};

    auto placement = system.Placement(window.Id());
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->show, ShowState::Normal);
    if (RunningOnWine()) {
        // No desktop composition: the frame is the window rectangle.
        EXPECT_EQ(placement->frame, (Rect{120, 80, 620, 480}));
    }
    EXPECT_EQ(placement->monitor, screen);

    ShowWindow(window.Get(), SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(window.Get()) != FALSE; }));
    placement = system.Placement(window.Id());
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->show, ShowState::Maximized);
    EXPECT_EQ(placement->monitor, screen);

    ShowWindow(window.Get(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window.Get()) != FALSE; }));
    placement = system.Placement(window.Id());
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->show, ShowState::Minimized);

    const std::int32_t gone = window.Id();
    window.Close();
    EXPECT_FALSE(system.Exists(gone));
    EXPECT_FALSE(system.Placement(gone).has_value());
    EXPECT_FALSE(system.Exists(0));
}

// --- Version text ---------------------------------------------------------

TEST(FormatFileVersion, MajorMinorRevisionInPlainDecimal) {
    struct Case {
        std::uint32_t ms, ls;
        const char* text;
    };
    for (const Case& c : {Case{0x00010001, 0, "1.1.0"}, Case{0x00020003, 0x000C0000, "2.3.12"},
                          Case{0x0001000A, 0x00000007, "1.10.0"}}) {  // no build number
        EXPECT_EQ(FormatFileVersion(c.ms, c.ls), c.text);
    }
}

}  // namespace
}  // namespace kanopa::viewer::win32::testing
