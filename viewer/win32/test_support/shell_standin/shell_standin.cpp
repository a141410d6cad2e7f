// Not shipped: an in-process server that stands in for the shell's window list
// (CLSID_ShellWindows), so that the viewer's COM adapter runs end to end under Wine, whose
// own list answers E_NOTIMPL. It plays the scenario a test wrote (shell_standin_scenario.h)
// and keeps to the documented contracts of the interfaces the adapter calls; every other
// method answers E_NOTIMPL.
//
// Objects count themselves: DllCanUnloadNow says S_OK only once every reference handed
// out came back. A released object's memory is kept (this lives only for a test's run),
// so that a call on it after its last Release is counted as a misuse instead of being
// undefined.
#include <windows.h>
#include <exdisp.h>
#include <objbase.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/win32/unique_handle.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "viewer/win32/test_support/shell_standin_scenario.h"

namespace {

using kanopa::ComPtr;
using kanopa::UniqueWindow;
namespace scenario = kanopa::viewer::win32::testing;

HMODULE g_module = nullptr;
volatile LONG g_liveObjects = 0;
volatile LONG g_serverLocks = 0;
volatile LONG g_misuses = 0;

constexpr wchar_t kViewWindowClass[] = L"KanopaStandIn.ShellView";

enum class ViewKind { Folder, FolderFails, Page, Fails };

struct WindowScenario {
    LONG hwnd = 0;
    ViewKind view = ViewKind::Folder;
    bool activeTab = true;
    std::string folder;
    std::string url;
    bool closing = false;
};

struct Scenario {
    std::string server;
    std::vector<WindowScenario> windows;
};

// The whole file is read afresh each time (the reader shares deletion: the test replaces
// the file while a program reads it).
bool LoadScenario(Scenario& loaded) {
    wchar_t path[MAX_PATH];
    const DWORD length =
        GetEnvironmentVariableW(scenario::kStandInScenarioVariable, path, MAX_PATH);
    std::string text;
    if (length == 0 || length >= MAX_PATH ||
        !kanopa::Win32FileSystem().ReadFile(kanopa::WideToUtf8(path), 1 << 20, text)) {
        return false;
    }
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("server=", 0) == 0) {
            loaded.server = line.substr(7);
            continue;
        }
        std::istringstream fields(line);
        std::string field;
        if (!std::getline(fields, field, '\t') || field != "window") continue;
        WindowScenario window;
        while (std::getline(fields, field, '\t')) {
            const std::size_t equals = field.find('=');
            const std::string key = field.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : field.substr(equals + 1);
            if (key == "hwnd") window.hwnd = std::strtol(value.c_str(), nullptr, 10);
            if (key == "view") {
                window.view = value == "folderfails" ? ViewKind::FolderFails
                              : value == "page"      ? ViewKind::Page
                              : value == "fails"     ? ViewKind::Fails
                                                     : ViewKind::Folder;
            }
            if (key == "tab") window.activeTab = value != "background";
            if (key == "folder") window.folder = value;
            if (key == "url") window.url = value;
            if (key == "closing") window.closing = true;
        }
        loaded.windows.push_back(window);
    }
    return true;
}

// The server an object belongs to has gone once the scenario names another.
bool ServerGone(const std::string& server) {
    Scenario now;
    return !LoadScenario(now) || now.server != server;
}

// Reference counting and liveness for one object with one or more interfaces.
class Counted {
public:
    Counted() { InterlockedIncrement(&g_liveObjects); }
    virtual ~Counted() = default;
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

protected:
    ULONG AddRefCounted() {
        if (m_refs == 0) return Misuse();
        return static_cast<ULONG>(InterlockedIncrement(&m_refs));
    }
    ULONG ReleaseCounted() {
        if (m_refs == 0) return Misuse();
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0) {
            Dispose();
            InterlockedDecrement(&g_liveObjects);
        }
        return static_cast<ULONG>(left);
    }
    // QueryInterface's common part: `found` is the interface asked for, or nullptr.
    HRESULT Hand(void* found, void** out) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (m_refs == 0) {
            Misuse();
            return E_UNEXPECTED;
        }
        if (found == nullptr) return E_NOINTERFACE;
        AddRefCounted();
        *out = found;
        return S_OK;
    }
    // Lets go of what the object holds, at its last Release.
    virtual void Dispose() {}

private:
    static ULONG Misuse() {
        InterlockedIncrement(&g_misuses);
        return 0;
    }
    volatile LONG m_refs = 1;
};

#define STANDIN_IUNKNOWN                                                          \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {  \
        return Hand(Find(iid), out);                                              \
    }                                                                             \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefCounted(); }         \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseCounted(); }

// Methods the adapter never calls.
#define NOTIMPL(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
#define NOTIMPL_PROPERTY(name, type) \
    NOTIMPL(get_##name, type*)       \
    NOTIMPL(put_##name, type)

// No IDispatch: the adapter uses the vtable only.
#define STANDIN_NO_DISPATCH                                              \
    NOTIMPL(GetTypeInfoCount, UINT*)                                     \
    NOTIMPL(GetTypeInfo, UINT, LCID, ITypeInfo**)                        \
    NOTIMPL(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)       \
    NOTIMPL(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

// The common start of a getter: somewhere to write, cleared, and a shell still running.
template <typename T>
HRESULT Start(T* out, const std::string& server) {
    if (out == nullptr) return E_POINTER;
    *out = T{};
    return ServerGone(server) ? RPC_E_DISCONNECTED : S_OK;
}

struct IdListTraits {
    using Type = PIDLIST_ABSOLUTE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { CoTaskMemFree(h); }
};
using UniqueIdList = kanopa::UniqueHandle<IdListTraits>;

// The active shell view of a window: a real child window of it, visible only in the tab
// the window shows. It hands itself out as the folder it shows (IFolderView::GetFolder).
class View final : public Counted, public IShellView, public IFolderView, public IPersistFolder2 {
public:
    explicit View(const WindowScenario& window) : m_scenario(window) {
        static const ATOM registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = g_module;
            windowClass.lpszClassName = kViewWindowClass;
            return RegisterClassW(&windowClass);
        }();
        (void)registered;
        // No parent notification: the parent may belong to a process that is busy.
        const auto parent = static_cast<HWND>(LongToHandle(window.hwnd));
        m_window.Reset(CreateWindowExW(WS_EX_NOPARENTNOTIFY, kViewWindowClass, L"",
                                       WS_CHILD | (window.activeTab ? WS_VISIBLE : 0), 0, 0, 10,
                                       10, parent, nullptr, g_module, nullptr));
        if (window.folder == scenario::kStandInThisPc) {
            SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, m_idList.Put());
        } else if (!window.folder.empty()) {
            SHParseDisplayName(kanopa::Utf8ToWide(window.folder).c_str(), nullptr, m_idList.Put(),
                               0, nullptr);
        }
    }
    STANDIN_IUNKNOWN

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = m_window.Get();
        return m_window ? S_OK : E_FAIL;
    }
    NOTIMPL(ContextSensitiveHelp, BOOL)
    // IShellView
    NOTIMPL(TranslateAccelerator, MSG*) NOTIMPL(EnableModeless, BOOL) NOTIMPL(UIActivate, UINT)
    NOTIMPL(Refresh)
    NOTIMPL(CreateViewWindow, IShellView*, LPCFOLDERSETTINGS, IShellBrowser*, RECT*, HWND*)
    NOTIMPL(DestroyViewWindow) NOTIMPL(GetCurrentInfo, LPFOLDERSETTINGS)
    NOTIMPL(AddPropertySheetPages, DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) NOTIMPL(SaveViewState)
    NOTIMPL(SelectItem, PCUITEMID_CHILD, SVSIF)
    NOTIMPL(GetItemObject, UINT, REFIID, void**)
    // IFolderView
    NOTIMPL(GetCurrentViewMode, UINT*) NOTIMPL(SetCurrentViewMode, UINT)
    HRESULT STDMETHODCALLTYPE GetFolder(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (m_scenario.view == ViewKind::FolderFails) return E_FAIL;
        return QueryInterface(iid, out);
    }
    NOTIMPL(Item, int, PITEMID_CHILD*) NOTIMPL(ItemCount, UINT, int*)
    NOTIMPL(Items, UINT, REFIID, void**)
    NOTIMPL(GetSelectionMarkedItem, int*) NOTIMPL(GetFocusedItem, int*)
    NOTIMPL(GetItemPosition, PCUITEMID_CHILD, POINT*) NOTIMPL(GetSpacing, POINT*)
    NOTIMPL(GetDefaultSpacing, POINT*) NOTIMPL(GetAutoArrange) NOTIMPL(SelectItem, int, DWORD)
    NOTIMPL(SelectAndPositionItems, UINT, PCUITEMID_CHILD_ARRAY, POINT*, DWORD)
    // IPersistFolder2: a copy of the ID list, which the caller frees with CoTaskMemFree.
    NOTIMPL(GetClassID, CLSID*) NOTIMPL(Initialize, PCIDLIST_ABSOLUTE)
    HRESULT STDMETHODCALLTYPE GetCurFolder(PIDLIST_ABSOLUTE* idList) override {
        if (idList == nullptr) return E_POINTER;
        *idList = nullptr;
        if (!m_idList) return E_FAIL;
        *idList = ILClone(m_idList.Get());
        return *idList ? S_OK : E_OUTOFMEMORY;
    }

private:
    void* Find(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IShellView) {
            return static_cast<IShellView*>(this);
        }
        // A web page's view lists no folder.
        if (iid == IID_IFolderView && m_scenario.view != ViewKind::Page) {
            return static_cast<IFolderView*>(this);
        }
        if (iid == IID_IPersist || iid == IID_IPersistFolder || iid == IID_IPersistFolder2) {
            return static_cast<IPersistFolder2*>(this);
        }
        return nullptr;
    }
    // The window goes with the view, on the thread that made both.
    void Dispose() override {
        m_window.Reset();
        m_idList.Reset();
    }

    WindowScenario m_scenario;
    UniqueWindow m_window;
    UniqueIdList m_idList;
};

// One shell window (or tab): its automation object, its service provider, the shell
// browser behind it, and its document: for a folder view the view's automation object,
// for a web page an automation object and nothing of a folder view.
class Browser final : public Counted, public IWebBrowserApp, public IServiceProvider,
                      public IShellBrowser, public IShellFolderViewDual {
public:
    Browser(const WindowScenario& window, const std::string& server)
        : m_scenario(window), m_server(server) {}
    STANDIN_IUNKNOWN
    STANDIN_NO_DISPATCH

    // IWebBrowserApp: what the adapter reads.
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* handle) override {
        if (const HRESULT hr = Start(handle, m_server); hr != S_OK) return hr;
        *handle = reinterpret_cast<SHANDLE_PTR>(LongToHandle(m_scenario.hwnd));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* url) override {
        if (const HRESULT hr = Start(url, m_server); hr != S_OK) return hr;
        *url = SysAllocString(kanopa::Utf8ToWide(m_scenario.url).c_str());
        return *url ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override {
        if (const HRESULT hr = Start(document, m_server); hr != S_OK) return hr;
        return QueryInterface(IID_IDispatch, reinterpret_cast<void**>(document));
    }
    // IServiceProvider: the top-level browser is the window's own shell browser.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override {
        if (const HRESULT hr = Start(out, m_server); hr != S_OK) return hr;
        if (service != SID_STopLevelBrowser && service != SID_SShellBrowser) return E_NOINTERFACE;
        return QueryInterface(iid, out);
    }
    // IShellBrowser
    HRESULT STDMETHODCALLTYPE QueryActiveShellView(IShellView** view) override {
        if (const HRESULT hr = Start(view, m_server); hr != S_OK) return hr;
        if (m_scenario.view == ViewKind::Fails) return E_FAIL;
        if (!m_view) m_view.Attach(new View(m_scenario));
        return m_view->QueryInterface(IID_IShellView, reinterpret_cast<void**>(view));
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = static_cast<HWND>(LongToHandle(m_scenario.hwnd));
        return S_OK;
    }
    NOTIMPL(ContextSensitiveHelp, BOOL) NOTIMPL(InsertMenusSB, HMENU, LPOLEMENUGROUPWIDTHS)
    NOTIMPL(SetMenuSB, HMENU, HOLEMENU, HWND) NOTIMPL(RemoveMenusSB, HMENU)
    NOTIMPL(SetStatusTextSB, LPCWSTR) NOTIMPL(EnableModelessSB, BOOL)
    NOTIMPL(TranslateAcceleratorSB, MSG*, WORD) NOTIMPL(BrowseObject, PCUIDLIST_RELATIVE, UINT)
    NOTIMPL(GetViewStateStream, DWORD, IStream**) NOTIMPL(GetControlWindow, UINT, HWND*)
    NOTIMPL(SendControlMsg, UINT, UINT, WPARAM, LPARAM, LRESULT*)
    NOTIMPL(OnViewWindowActive, IShellView*) NOTIMPL(SetToolbarItems, LPTBBUTTONSB, UINT, UINT)
    // IShellFolderViewDual
    NOTIMPL(get_Folder, Folder**) NOTIMPL(SelectedItems, FolderItems**)
    NOTIMPL(get_FocusedItem, FolderItem**) NOTIMPL(SelectItem, VARIANT*, int)
    NOTIMPL(PopupItemMenu, FolderItem*, VARIANT, VARIANT, BSTR*) NOTIMPL(get_Script, IDispatch**)
    NOTIMPL(get_ViewOptions, long*)

    // IWebBrowser and IWebBrowserApp: the rest.
    NOTIMPL(GoBack) NOTIMPL(GoForward) NOTIMPL(GoHome) NOTIMPL(GoSearch)
    NOTIMPL(Navigate, BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*) NOTIMPL(Refresh)
    NOTIMPL(Refresh2, VARIANT*) NOTIMPL(Stop) NOTIMPL(get_Application, IDispatch**)
    NOTIMPL(get_Parent, IDispatch**) NOTIMPL(get_Container, IDispatch**)
    NOTIMPL(get_TopLevelContainer, VARIANT_BOOL*) NOTIMPL(get_Type, BSTR*)
    NOTIMPL_PROPERTY(Left, LONG) NOTIMPL_PROPERTY(Top, LONG) NOTIMPL_PROPERTY(Width, LONG)
    NOTIMPL_PROPERTY(Height, LONG) NOTIMPL(get_LocationName, BSTR*) NOTIMPL(get_Busy, VARIANT_BOOL*)
    NOTIMPL(Quit) NOTIMPL(ClientToWindow, int*, int*) NOTIMPL(PutProperty, BSTR, VARIANT)
    NOTIMPL(GetProperty, BSTR, VARIANT*) NOTIMPL(get_Name, BSTR*) NOTIMPL(get_FullName, BSTR*)
    NOTIMPL(get_Path, BSTR*) NOTIMPL_PROPERTY(Visible, VARIANT_BOOL)
    NOTIMPL_PROPERTY(StatusBar, VARIANT_BOOL) NOTIMPL_PROPERTY(StatusText, BSTR)
    NOTIMPL_PROPERTY(ToolBar, int) NOTIMPL_PROPERTY(MenuBar, VARIANT_BOOL)
    NOTIMPL_PROPERTY(FullScreen, VARIANT_BOOL)

private:
    void* Find(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser ||
            iid == IID_IWebBrowserApp) {
            return static_cast<IWebBrowserApp*>(this);
        }
        if (iid == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
        if (iid == IID_IOleWindow || iid == IID_IShellBrowser) {
            return static_cast<IShellBrowser*>(this);
        }
        if (iid == IID_IShellFolderViewDual && m_scenario.view != ViewKind::Page) {
            return static_cast<IShellFolderViewDual*>(this);
        }
        return nullptr;
    }
    void Dispose() override { m_view.Reset(); }

    WindowScenario m_scenario;
    std::string m_server;
    ComPtr<View> m_view;
};

class ShellWindows final : public Counted, public IShellWindows {
public:
    explicit ShellWindows(Scenario played) : m_server(played.server) {
        for (const WindowScenario& window : played.windows) {
            m_counted += 1;
            // Closed between get_Count and Item: counted, but no longer in the list.
            if (window.closing) continue;
            ComPtr<Browser> browser;
            browser.Attach(new Browser(window, m_server));
            m_windows.push_back(std::move(browser));
        }
    }
    STANDIN_IUNKNOWN
    STANDIN_NO_DISPATCH

    HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
        if (const HRESULT hr = Start(count, m_server); hr != S_OK) return hr;
        *count = m_counted;
        return S_OK;
    }
    // By index (any integer variant); S_FALSE and no item for an index not in the list.
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** item) override {
        if (const HRESULT hr = Start(item, m_server); hr != S_OK) return hr;
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, &index, 0, VT_I4))) return E_INVALIDARG;
        if (number.lVal < 0 || static_cast<std::size_t>(number.lVal) >= m_windows.size()) {
            return S_FALSE;
        }
        return m_windows[static_cast<std::size_t>(number.lVal)]->QueryInterface(
            IID_IDispatch, reinterpret_cast<void**>(item));
    }
    NOTIMPL(_NewEnum, IUnknown**)
    NOTIMPL(Register, IDispatch*, LONG, int, LONG*)
    NOTIMPL(RegisterPending, LONG, VARIANT*, VARIANT*, int, LONG*) NOTIMPL(Revoke, LONG)
    NOTIMPL(OnNavigate, LONG, VARIANT*) NOTIMPL(OnActivated, LONG, VARIANT_BOOL)
    NOTIMPL(FindWindowSW, VARIANT*, VARIANT*, int, LONG*, int, IDispatch**)
    NOTIMPL(OnCreated, LONG, IUnknown*) NOTIMPL(ProcessAttachDetach, VARIANT_BOOL)

private:
    void* Find(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShellWindows) {
            return static_cast<IShellWindows*>(this);
        }
        return nullptr;
    }
    void Dispose() override { m_windows.clear(); }

    std::string m_server;
    long m_counted = 0;
    std::vector<ComPtr<Browser>> m_windows;
};

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // One static factory: its references keep the server loaded like locks do.
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&g_serverLocks));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return static_cast<ULONG>(InterlockedDecrement(&g_serverLocks));
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        Scenario played;
        // Without a scenario there is no shell to stand in for.
        if (!LoadScenario(played)) return CO_E_SERVER_EXEC_FAILURE;
        ComPtr<ShellWindows> windows;
        windows.Attach(new ShellWindows(std::move(played)));
        return windows->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        InterlockedExchangeAdd(&g_serverLocks, lock ? 1 : -1);
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_ShellWindows) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

HRESULT WINAPI DllCanUnloadNow() {
    return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}

long WINAPI StandInMisuses() { return g_misuses; }

}  // extern "C"
