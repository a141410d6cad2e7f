#include "viewer/win32/win_event_source.h"

#include <iterator>
#include <optional>
#include <tuple>
#include <utility>

#include "common/win32/log_last_error.h"

namespace kanopa::viewer::win32 {
namespace {

// A hook's callback carries no context of its own: the source of this thread.
thread_local WinEventSource* t_source = nullptr;

std::optional<WindowEventKind> KindOf(DWORD event) {
    switch (event) {
    case EVENT_SYSTEM_FOREGROUND: return WindowEventKind::Foreground;
    case EVENT_OBJECT_LOCATIONCHANGE: return WindowEventKind::LocationChange;
    case EVENT_SYSTEM_MINIMIZESTART: return WindowEventKind::MinimizeStart;
    case EVENT_SYSTEM_MINIMIZEEND: return WindowEventKind::MinimizeEnd;
    case EVENT_OBJECT_DESTROY: return WindowEventKind::Destroy;
    default: return std::nullopt;
    }
}

}  // namespace

WinEventSource::WinEventSource(HWND target, UINT message, std::function<WindowId()> followed)
    : m_target(target), m_message(message), m_followed(std::move(followed)) {}

WinEventSource::~WinEventSource() {
    for (UniqueWinEventHook& hook : m_hooks) hook.Reset();
    if (t_source == this) t_source = nullptr;
}

Status WinEventSource::Start() {
    struct Range { DWORD first, last; };
    // Location changes come for every caret and scroll bar too; the callback drops them.
    constexpr Range kRanges[] = {
        {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
        {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
        {EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY},
        {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
    };
    static_assert(std::size(kRanges) == std::tuple_size_v<decltype(m_hooks)>);
    t_source = this;
    Status status;
    for (std::size_t i = 0; i < m_hooks.size(); ++i) {
        m_hooks[i].Reset(SetWinEventHook(kRanges[i].first, kRanges[i].last, nullptr, OnEvent, 0, 0,
                                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
        if (!m_hooks[i] && status) {
            status = Status::Fail("SetWinEventHook failed: " + LastErrorText(GetLastError()));
        }
    }
    return status;
}

int WinEventSource::HookCount() const {
    int count = 0;
    for (const UniqueWinEventHook& hook : m_hooks) count += hook ? 1 : 0;
    return count;
}

void CALLBACK WinEventSource::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                      LONG child, DWORD, DWORD) {
    if (t_source != nullptr) t_source->Filter(event, window, object, child);
}

void WinEventSource::Filter(DWORD event, HWND window, LONG object, LONG child) const {
    // Only whole windows: not their carets, cursors, scroll bars or other parts.
    if (object != OBJID_WINDOW || child != CHILDID_SELF || window == nullptr) return;
    const std::optional<WindowEventKind> kind = KindOf(event);
    if (!kind) return;
    const WindowId id = HandleToLong(window);
    if (!EventMatters(*kind, id, m_followed ? m_followed() : 0)) return;
    PostMessageW(m_target, m_message, static_cast<WPARAM>(*kind), static_cast<LPARAM>(id));
}

}  // namespace kanopa::viewer::win32
