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

// A hook on one process needs no WINEVENT_SKIPOWNPROCESS (that process is never this
// one), and Wine would take the flag to skip that very process.
UniqueWinEventHook Hook(DWORD first, DWORD last, DWORD process, WINEVENTPROC callback) {
    const DWORD flags = WINEVENT_OUTOFCONTEXT | (process == 0 ? WINEVENT_SKIPOWNPROCESS : 0);
    return UniqueWinEventHook(SetWinEventHook(first, last, nullptr, callback, process, 0, flags));
}

struct Range {
    DWORD first, last;
};
constexpr Range kFollowRanges[] = {
    {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
    {EVENT_OBJECT_DESTROY, EVENT_OBJECT_DESTROY},
    {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
};
constexpr std::size_t kMovesHook = 2;

Status HookFailure() {
    return Status::Fail("SetWinEventHook failed: " + LastErrorText(GetLastError()));
}

}  // namespace

WinEventSource::WinEventSource(HWND target, UINT message, std::function<WindowId()> followed)
    : m_target(target), m_message(message), m_followed(std::move(followed)) {}

WinEventSource::~WinEventSource() {
    for (UniqueWinEventHook& hook : m_followHooks) hook.Reset();
    m_foregroundHook.Reset();
    if (t_source == this) t_source = nullptr;
}

Status WinEventSource::Start() {
    t_source = this;
    m_foregroundHook = Hook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, 0, OnEvent);
    return m_foregroundHook ? Status::Ok() : HookFailure();
}

Status WinEventSource::Follow(WindowId window, bool& anew) {
    anew = false;
    // Each step asks; only a change of window costs a look-up of its process.
    if (window == m_followedWindow) return Status::Ok();
    m_followedWindow = window;
    DWORD process = 0;
    if (window != 0) GetWindowThreadProcessId(static_cast<HWND>(LongToHandle(window)), &process);
    if (process == GetCurrentProcessId()) process = 0;  // its own windows are never followed
    if (process == m_followedProcess) return Status::Ok();
    for (UniqueWinEventHook& hook : m_followHooks) hook.Reset();
    m_followedProcess = process;
    if (process == 0) return Status::Ok();
    anew = true;
    static_assert(std::size(kFollowRanges) == std::tuple_size_v<decltype(m_followHooks)>);
    Status status;
    for (std::size_t i = 0; i < m_followHooks.size(); ++i) {
        if (i == kMovesHook && !m_hearMoves) continue;
        m_followHooks[i] = Hook(kFollowRanges[i].first, kFollowRanges[i].last, process, OnEvent);
        if (!m_followHooks[i] && status) status = HookFailure();
    }
    return status;
}

Status WinEventSource::HearMoves(bool hear) {
    m_hearMoves = hear;
    UniqueWinEventHook& hook = m_followHooks[kMovesHook];
    if (!hear) {
        hook.Reset();
        return Status::Ok();
    }
    if (hook || m_followedProcess == 0) return Status::Ok();
    const Range& range = kFollowRanges[kMovesHook];
    hook = Hook(range.first, range.last, m_followedProcess, OnEvent);
    return hook ? Status::Ok() : HookFailure();
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
    // Posted, not stepped here: the callback also comes inside modal loops, COM's during
    // a call to the shell among them, where a step must not begin inside another.
    PostMessageW(m_target, m_message, static_cast<WPARAM>(*kind), static_cast<LPARAM>(id));
}

}  // namespace kanopa::viewer::win32
