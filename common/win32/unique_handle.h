#pragma once
// Ownership of Win32 handles, GDI objects and COM pointers.
//
// UniqueHandle<Traits> is the one owner of a handle: move-only, closes exactly once.
// A traits class supplies
//   using Type = ...;               the handle type held
//   static Type Invalid();          the "no handle" value
//   static bool IsValid(Type);      whether a value is owned and must be closed
//   static void Close(Type);        how it is given back to the system
// ComPtr<T> holds one COM reference (AddRef on copy, Release when done).
#include <windows.h>
#include <unknwn.h>

#include <concepts>
#include <cstddef>
#include <memory>
#include <utility>

namespace kanopa {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;
    static_assert(std::equality_comparable<Type>);

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type value) noexcept : m_value(value) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const noexcept { return m_value; }
    bool IsValid() const noexcept { return Traits::IsValid(m_value); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Closes the current handle (if any) and takes ownership of `value`. Resetting to
    // the handle already owned keeps it open.
    void Reset(Type value = Traits::Invalid()) noexcept {
        const Type old = std::exchange(m_value, value);
        if (Traits::IsValid(old) && !(old == value)) Traits::Close(old);
    }
    // Gives up ownership without closing; the caller now owns the handle.
    [[nodiscard]] Type Release() noexcept { return std::exchange(m_value, Traits::Invalid()); }
    // For APIs that return a handle through an out-parameter: closes the current one first.
    Type* Put() noexcept {
        Reset();
        return &m_value;
    }

private:
    Type m_value = Traits::Invalid();
};

// Kernel objects opened by CreateFileW and friends, which report failure as
// INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};

// Kernel objects whose creators report failure as NULL: mutexes and other named
// objects, events, processes, threads.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type key) noexcept { return key != nullptr; }
    static void Close(Type key) noexcept { RegCloseKey(key); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { FindClose(h); }
};

struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { FindCloseChangeNotification(h); }
};

// DestroyWindow works only on the thread that created the window: destroy the owner there.
struct WindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DestroyWindow(h); }
};

// Only for menus not attached to a window: a window destroys its own menu bar.
struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DestroyMenu(h); }
};

// Only for icons the program created or loaded with LR_DEFAULTCOLOR and no LR_SHARED:
// shared icons must never be destroyed.
struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DestroyIcon(h); }
};

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DeleteObject(h); }
};

// A device context from GetDC/GetWindowDC: ReleaseDC needs the window it came from.
struct WindowDc {
    HWND window = nullptr;
    HDC dc = nullptr;
    bool operator==(const WindowDc&) const = default;
};
struct WindowDcTraits {
    using Type = WindowDc;
    static Type Invalid() noexcept { return {}; }
    static bool IsValid(Type h) noexcept { return h.dc != nullptr; }
    static void Close(Type h) noexcept { ReleaseDC(h.window, h.dc); }
};

// A device context from CreateCompatibleDC/CreateDCW.
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DeleteDC(h); }
};

// An object selected into a DC and the one it displaced, put back when the guard ends.
// Declare the guard after the owner of the selected object, so that the object is
// deselected before it is deleted.
struct GdiSelection {
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    bool operator==(const GdiSelection&) const = default;
};
struct GdiSelectionTraits {
    using Type = GdiSelection;
    static Type Invalid() noexcept { return {}; }
    static bool IsValid(Type h) noexcept {
        return h.dc != nullptr && h.previous != nullptr && h.previous != HGDI_ERROR;
    }
    static void Close(Type h) noexcept { SelectObject(h.dc, h.previous); }
};

// Memory from LocalAlloc, e.g. FormatMessageW's FORMAT_MESSAGE_ALLOCATE_BUFFER.
struct LocalMemoryTraits {
    using Type = void*;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { LocalFree(h); }
};

// A window event hook; unhooked on the thread that set it.
struct WinEventHookTraits {
    using Type = HWINEVENTHOOK;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { UnhookWinEvent(h); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueMutex = UniqueKernelHandle;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueChangeNotification = UniqueHandle<ChangeNotificationTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueGdiSelection = UniqueHandle<GdiSelectionTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
using UniqueWinEventHook = UniqueHandle<WinEventHookTraits>;

// GetDC(window) with its release attached; invalid when GetDC fails.
inline UniqueWindowDc GetWindowDcOf(HWND window) noexcept {
    return UniqueWindowDc(WindowDc{window, GetDC(window)});
}

// Selects `object` into `dc` until the guard ends. With a null DC or object nothing is
// selected, and nothing is restored later.
inline UniqueGdiSelection SelectGdiObject(HDC dc, HGDIOBJ object) noexcept {
    if (dc == nullptr || object == nullptr) return {};
    return UniqueGdiSelection(GdiSelection{dc, SelectObject(dc, object)});
}

// One counted reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adds a reference of its own; the caller keeps its own.
    explicit ComPtr(T* pointer) noexcept : m_pointer(pointer) { AddRefPointer(); }
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr& other) noexcept : m_pointer(other.m_pointer) { AddRefPointer(); }
    ComPtr& operator=(const ComPtr& other) noexcept {
        if (m_pointer != other.m_pointer) ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != std::addressof(other)) ComPtr(std::move(other)).Swap(*this);
        return *this;
    }

    T* Get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    // Drops the reference held.
    void Reset() noexcept {
        if (T* old = std::exchange(m_pointer, nullptr)) old->Release();
    }
    // Takes over a reference the caller owns (no AddRef).
    void Attach(T* pointer) noexcept {
        Reset();
        m_pointer = pointer;
    }
    // Hands the reference to the caller (no Release). Not named Release: that is
    // IUnknown's name for dropping a reference.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(m_pointer, nullptr); }

    // Out-parameter of a creating call: the reference held is dropped first.
    T** operator&() noexcept {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(&*this); }

    // QueryInterface for `iid` into `out` (which is reset first).
    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (m_pointer == nullptr) {
            out.Reset();
            return E_POINTER;
        }
        return m_pointer->QueryInterface(iid, out.PutVoid());
    }
    template <typename U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        return As(__uuidof(U), out);
    }

    void Swap(ComPtr& other) noexcept { std::swap(m_pointer, other.m_pointer); }

private:
    void AddRefPointer() const noexcept {
        if (m_pointer != nullptr) m_pointer->AddRef();
    }

    T* m_pointer = nullptr;
};

}  // namespace kanopa
