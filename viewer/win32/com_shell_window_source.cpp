#include "viewer/win32/com_shell_window_source.h"

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "viewer/memo_paths.h"

namespace kanopa::viewer::win32 {
namespace {

// An ID list the shell allocated for us.
struct IdListTraits {
    using Type = PIDLIST_ABSOLUTE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { CoTaskMemFree(h); }
};
using UniqueIdList = UniqueHandle<IdListTraits>;

struct BstrTraits {
    using Type = BSTR;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { SysFreeString(h); }
};
using UniqueBstr = UniqueHandle<BstrTraits>;

Status ComFailure(const char* call, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(hr));
    return Status::Fail(std::string(call) + " failed: " + code + " " +
                        LastErrorText(static_cast<DWORD>(hr)));
}

ComPtr<IShellView> ActiveShellView(IWebBrowserApp* browser) {
    ComPtr<IServiceProvider> provider;
    if (FAILED(browser->QueryInterface(IID_IServiceProvider, provider.PutVoid())) || !provider) {
        return {};
    }
    ComPtr<IShellBrowser> shellBrowser;
    if (FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                      shellBrowser.PutVoid())) ||
        !shellBrowser) {
        return {};
    }
    ComPtr<IShellView> view;
    if (FAILED(shellBrowser->QueryActiveShellView(&view))) return {};
    return view;
}

FolderViewResult FolderViewPath(IFolderView* folderView, std::string& path) {
    ComPtr<IPersistFolder2> folder;
    if (FAILED(folderView->GetFolder(IID_IPersistFolder2, folder.PutVoid())) || !folder) {
        return FolderViewResult::Unavailable;
    }
    UniqueIdList idList;
    if (FAILED(folder->GetCurFolder(idList.Put())) || !idList) return FolderViewResult::Unavailable;
    // Long enough for any path the file system allows.
    std::wstring buffer(32768, L'\0');
    if (!SHGetPathFromIDListEx(idList.Get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                               GPFIDL_DEFAULT)) {
        return FolderViewResult::NotFileSystem;
    }
    buffer.resize(wcslen(buffer.c_str()));
    if (buffer.empty()) return FolderViewResult::NotFileSystem;
    if (buffer.back() != L'\\') buffer += L'\\';
    path = WideToUtf8(buffer);
    return FolderViewResult::FileSystem;
}

// A window whose document is neither a folder view nor absent shows a web page.
bool ShowsWebPage(IWebBrowserApp* browser) {
    ComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(&document)) || !document) return false;
    ComPtr<IShellFolderViewDual> folderDocument;
    return FAILED(document->QueryInterface(IID_IShellFolderViewDual, folderDocument.PutVoid()));
}

std::string LocationPath(IWebBrowserApp* browser) {
    UniqueBstr url;
    if (FAILED(browser->get_LocationURL(url.Put())) || !url) return {};
    return LocationUrlToPath(WideToUtf8(std::wstring_view(url.Get(), SysStringLen(url.Get()))));
}

}  // namespace

FolderViewResult ReadShellView(IShellView* view, ShellWindowInfo& info) {
    if (view == nullptr) return FolderViewResult::Unavailable;
    // Tabs of one window share its handle; only the selected tab's view is visible.
    HWND viewWindow = nullptr;
    if (SUCCEEDED(view->GetWindow(&viewWindow)) && viewWindow != nullptr) {
        info.tab = IsWindowVisible(viewWindow) ? TabState::Active : TabState::Background;
    }
    ComPtr<IFolderView> folderView;
    if (FAILED(view->QueryInterface(IID_IFolderView, folderView.PutVoid())) || !folderView) {
        return FolderViewResult::Unavailable;
    }
    return FolderViewPath(folderView.Get(), info.folderPath);
}

bool ReadShellWindow(IDispatch* item, ShellWindowInfo& info) {
    if (item == nullptr) return false;
    ComPtr<IWebBrowserApp> browser;
    if (FAILED(item->QueryInterface(IID_IWebBrowserApp, browser.PutVoid())) || !browser) {
        return false;
    }
    SHANDLE_PTR handle = 0;
    if (FAILED(browser->get_HWND(&handle))) return false;
    info = ShellWindowInfo{};
    info.window = HandleToLong(reinterpret_cast<HWND>(handle));

    FolderViewResult result = FolderViewResult::Unavailable;
    if (ComPtr<IShellView> view = ActiveShellView(browser.Get())) {
        result = ReadShellView(view.Get(), info);
    }
    if (result == FolderViewResult::Unavailable) {
        info.isWebPage = ShowsWebPage(browser.Get());
        // The view could not say: the location URL is the next best source.
        if (!info.isWebPage) info.folderPath = LocationPath(browser.Get());
    }
    return true;
}

Status ComShellWindowSource::Enumerate(std::vector<ShellWindowInfo>& windows) {
    windows.clear();
    // Made afresh on every call: a restarted Explorer leaves a stale object behind.
    ComPtr<IShellWindows> shellWindows;
    HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                  shellWindows.PutVoid());
    if (FAILED(hr)) return ComFailure("CoCreateInstance(ShellWindows)", hr);
    long count = 0;
    hr = shellWindows->get_Count(&count);
    if (FAILED(hr)) return ComFailure("IShellWindows::get_Count", hr);
    for (long i = 0; i < count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        ComPtr<IDispatch> item;
        hr = shellWindows->Item(index, &item);
        // S_FALSE without an item: the window closed since the count was taken.
        if (FAILED(hr) || !item) continue;
        ShellWindowInfo info;
        if (ReadShellWindow(item.Get(), info)) windows.push_back(std::move(info));
    }
    return Status::Ok();
}

}  // namespace kanopa::viewer::win32
