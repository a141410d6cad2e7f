#include "editor/win32/preview_pane.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "common/log.h"
#include "common/win32/back_buffer.h"
#include "common/win32/log_last_error.h"
#include "common/win32/memo_look.h"
#include "common/win32/wide.h"
#include "editor/win32/editor_names.h"
#include "editor/win32/resource.h"
#include "editor/win32/win32_text.h"

namespace kanopa::editor::win32 {
namespace {

constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;
constexpr COLORREF kFrameBack = RGB(236, 240, 244);
constexpr COLORREF kFrameEdge = RGB(128, 136, 148);
constexpr COLORREF kLabelEdge = RGB(96, 96, 96);
constexpr int kDragOutlineWidth = 2;
constexpr UINT_PTR kEditSubclassId = 1;

const wchar_t kLineClass[] = L"Kanopa.Line";

bool RegisterClassOnce(const WNDCLASSEXW& windowClass) {
    if (EnsureWindowClass(windowClass)) return true;
    LogLastError("frmCreateMemo.Form_Load()", "RegisterClassExW");
    return false;
}

}  // namespace

// --- OutlineLines ------------------------------------------------------------------

Status OutlineLines::Create(HWND frame, HINSTANCE instance) {
    WNDCLASSEXW lineClass{};
    lineClass.cbSize = sizeof(lineClass);
    lineClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        // Lines never take the mouse: the label or the frame below gets it.
        if (message == WM_NCHITTEST) return HTTRANSPARENT;
        return DefWindowProcW(window, message, wParam, lParam);
    };
    lineClass.hInstance = instance;
    lineClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    lineClass.lpszClassName = kLineClass;
    if (!RegisterClassOnce(lineClass)) return Status::Fail("RegisterClassExW failed");
    for (auto& line : m_lines) {
        line = CreateWindowExW(0, kLineClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 1, 1, frame,
                               nullptr, instance, nullptr);
        if (line == nullptr) {
            LogLastError("frmCreateMemo.Form_Load()", "CreateWindowExW");
            return Status::Fail("CreateWindowExW failed");
        }
    }
    return Status::Ok();
}

void OutlineLines::Show(const RECT& outline, int thickness) {
    const int width = (std::max)(static_cast<int>(outline.right - outline.left), 0);
    const int height = (std::max)(static_cast<int>(outline.bottom - outline.top), 0);
    const RECT places[4] = {
        {outline.left, outline.top, width + thickness, thickness},
        {outline.left, outline.bottom, width + thickness, thickness},
        {outline.left, outline.top, thickness, height + thickness},
        {outline.right, outline.top, thickness, height + thickness},
    };
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        SetWindowPos(m_lines[i], HWND_TOP, places[i].left, places[i].top, places[i].right,
                     places[i].bottom, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    m_visible = true;
}

void OutlineLines::Hide() {
    if (!m_visible) return;
    for (HWND line : m_lines) ShowWindow(line, SW_HIDE);
    m_visible = false;
}

// --- PreviewPane -------------------------------------------------------------------

PreviewPane::PreviewPane(HINSTANCE instance, Events events)
    : m_instance(instance), m_events(std::move(events)) {}

Status PreviewPane::Create(HWND parent, Preview& preview, UINT dpi) {
    m_preview = &preview;
    m_dpi = dpi;

    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof(frameClass);
    frameClass.lpfnWndProc = WindowProcThunk<PreviewPane>;
    frameClass.hInstance = m_instance;
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.lpszClassName = kFrameClass;
    WNDCLASSEXW labelClass{};
    labelClass.cbSize = sizeof(labelClass);
    labelClass.lpfnWndProc = LabelProc;
    labelClass.hInstance = m_instance;
    labelClass.lpszClassName = kLabelClass;
    if (!RegisterClassOnce(frameClass) || !RegisterClassOnce(labelClass)) {
        return Status::Fail("RegisterClassExW failed");
    }

    // WS_EX_CONTROLPARENT: Tab reaches the edit box inside.
    HWND frame = CreateWindowExW(WS_EX_CONTROLPARENT, kFrameClass, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1, 1, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FRAME)),
                                 m_instance, this);
    if (frame == nullptr) {
        LogLastError("frmCreateMemo.Form_Load()", "CreateWindowExW");
        return Status::Fail("CreateWindowExW failed");
    }
    m_frame.Reset(frame);
    m_label = CreateWindowExW(0, kLabelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 1, 1, frame,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LABEL)),
                              m_instance, this);
    m_edit = CreateWindowExW(0, WC_EDITW, L"",
                             WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_BORDER | ES_MULTILINE |
                                 ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                             0, 0, 1, 1, frame,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TEXT)), m_instance,
                             nullptr);
    if (m_label == nullptr || m_edit == nullptr) {
        LogLastError("frmCreateMemo.Form_Load()", "CreateWindowExW");
        return Status::Fail("CreateWindowExW failed");
    }
    SetWindowSubclass(m_edit, EditSubclassProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (Status status = m_guides.Create(frame, m_instance); !status) return status;
    if (Status status = m_dragOutline.Create(frame, m_instance); !status) return status;
    CreateMemoFont();
    return Status::Ok();
}

void PreviewPane::PlaceFrame(POINT origin, PixelSize size) {
    SetWindowPos(m_frame.Get(), nullptr, origin.x, origin.y, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

PixelSize PreviewPane::FrameSize() const {
    RECT client{};
    GetClientRect(m_frame.Get(), &client);
    return PixelSize{client.right, client.bottom};
}

PixelRect PreviewPane::LabelRect() const {
    RECT rect{};
    GetWindowRect(m_label, &rect);
    MapWindowPoints(HWND_DESKTOP, m_frame.Get(), reinterpret_cast<POINT*>(&rect), 2);
    return PixelRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void PreviewPane::SetLabelRect(const PixelRect& rect) {
    SetWindowPos(m_label, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_label, nullptr, FALSE);
    // An open edit box lies over the label: it goes where the label goes (the window's
    // size or the layout moved it), not left behind over the frame.
    if (IsEditing()) {
        SetWindowPos(m_edit, nullptr, rect.left, rect.top, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void PreviewPane::CreateMemoFont() {
    // Points at the DPI of the window's monitor, as the viewer will show them.
    LOGFONTW font =
        MemoLogFont(m_model.fontName, m_model.fontSize, m_model.bold, m_model.italic, m_dpi);
    if (m_model.fontSize <= 0 || m_model.fontSize > 1000) {
        WriteLog("frmCreateMemo.ApplyMemoToPreview()",
                 "Font size out of range: " + std::to_string(m_model.fontSize));
        font.lfHeight = -MulDiv(11, static_cast<int>(m_dpi), 72);
    }
    UniqueFont created(CreateFontIndirectW(&font));
    if (!created) {
        LogLastError("frmCreateMemo.ApplyMemoToPreview()", "CreateFontIndirectW");
        return;
    }
    m_font = std::move(created);
    if (m_edit != nullptr) SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
}

void PreviewPane::Apply(const PreviewModel& model) {
    const bool fontChanged = !m_font || model.fontName != m_model.fontName ||
                             model.fontSize != m_model.fontSize || model.bold != m_model.bold ||
                             model.italic != m_model.italic;
    const bool colorChanged = model.backColor != m_model.backColor || !m_editBrush;
    m_model = model;
    if (fontChanged) CreateMemoFont();
    if (colorChanged) m_editBrush.Reset(CreateSolidBrush(MemoColorToColorRef(model.backColor)));
    SetCaption(Utf8ToWide(model.text));
    SetLabelRect(model.label);
    SetWindowPos(m_edit, nullptr, model.label.left, model.label.top, model.label.width,
                 model.label.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetEditText(model.text);
    InvalidateRect(m_label, nullptr, FALSE);
    InvalidateRect(m_edit, nullptr, TRUE);
}

void PreviewPane::SetDpi(UINT dpi) {
    m_dpi = dpi;
    CreateMemoFont();
    InvalidateRect(m_label, nullptr, FALSE);
}

void PreviewPane::CommitEditBox() {
    const std::wstring text = WindowTextOf(m_edit);
    if (text.empty()) return;
    SetCaption(text);
    // Before any memo was opened or begun the label is hidden; the text written then
    // (typed, a date stamp, a phrase) must not vanish with the box.
    ShowLabel();
    ShowWindow(m_edit, SW_HIDE);
}

void PreviewPane::SetCaption(std::wstring caption) {
    m_caption = std::move(caption);
    // Also the label's window text, for screen readers and other programs that read it.
    SetWindowTextW(m_label, m_caption.c_str());
    InvalidateRect(m_label, nullptr, FALSE);
}

std::string PreviewPane::LabelCaption() const { return WideToUtf8(m_caption); }

void PreviewPane::SetEditText(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    if (WindowTextOf(m_edit) == wide) return;  // keeps the caret and the undo buffer
    SetWindowTextW(m_edit, wide.c_str());
    // A multi-line edit box reports no change for text set this way; the memo must
    // follow it as it follows typing.
    if (m_events.textChanged) m_events.textChanged(text);
}

std::string PreviewPane::EditSelection() const {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowTextOf(m_edit);
    if (end > text.size()) end = static_cast<DWORD>(text.size());
    if (start >= end) return "";
    return WideToUtf8(std::wstring_view(text).substr(start, end - start));
}

void PreviewPane::ShowLabel() { ShowWindow(m_label, SW_SHOWNA); }

void PreviewPane::BeginTextEdit() {
    const PixelRect rect = LabelRect();
    SetWindowPos(m_edit, HWND_TOP, rect.left, rect.top, rect.width, rect.height,
                 SWP_SHOWWINDOW);
    SetFocus(m_edit);
}

bool PreviewPane::IsEditing() const { return IsWindowVisible(m_edit) != FALSE; }

void PreviewPane::PaintLabel(HDC target) const {
    RECT client{};
    GetClientRect(m_label, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) return;
    // Drawn off-screen first, so that a drag or resize never flickers.
    const BackBuffer buffer(target, width, height);
    HDC dc = buffer.Dc();

    UniqueBrush back(CreateSolidBrush(MemoColorToColorRef(m_model.backColor)));
    FillRect(dc, &client, back.Get());
    UniqueBrush edge(CreateSolidBrush(kLabelEdge));
    FrameRect(dc, &client, edge.Get());
    RECT text = client;
    InflateRect(&text, -Pixels(30), -Pixels(30));
    {
        auto fontSelected = SelectGdiObject(dc, m_font.Get());
        SetTextColor(dc, MemoColorToColorRef(m_model.foreColor));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &text, kTextFormat);
    }}

// --- The mouse on the label ----------------------------------------------------------

void PreviewPane::OnLabelButtonDown(POINT point) {
    m_buttonDown = true;
    SetCapture(m_label);
    m_pressPoint = point;
    m_dragging = !m_preview->OnLabelPress(point.x, point.y);
    if (m_dragging) m_dragOutline.Show(DragOutline(point), kDragOutlineWidth);
}

RECT PreviewPane::DragOutline(POINT point) const {
    const PixelRect label = LabelRect();
    const int left = label.left + point.x - m_pressPoint.x;
    const int top = label.top + point.y - m_pressPoint.y;
    return RECT{left, top, left + label.width - kDragOutlineWidth,
                top + label.height - kDragOutlineWidth};
}

void PreviewPane::OnLabelMouseMove(POINT point, bool buttonHeld) {
    const PixelRect label = LabelRect();
    m_sizingCursor = InResizeBand(point.x, point.y, PixelSize{label.width, label.height},
                                  m_preview->TwipsPerPixel());
    if (m_dragging) {
        m_dragOutline.Show(DragOutline(point), kDragOutlineWidth);
        return;
    }
    SetCursor(LoadCursorW(nullptr, m_sizingCursor ? IDC_SIZENWSE : IDC_ARROW));
    if (buttonHeld && m_buttonDown) {
        m_guides.Show(RECT{label.left, label.top, label.left + point.x, label.top + point.y}, 1);
    } else {
        m_guides.Hide();
    }
    m_preview->OnLabelPointerMove();
}

void PreviewPane::OnLabelButtonUp(POINT point) {
    if (!m_buttonDown) return;
    const bool dragging = m_dragging;
    EndDrag();
    if (!dragging) {
        m_preview->OnLabelRelease(point.x, point.y);
        return;
    }
    RECT client{};
    GetClientRect(m_label, &client);
    if (PtInRect(&client, point)) {
        m_preview->OnDropOnLabel(point.x, point.y);
        return;
    }
    POINT inFrame = point;
    MapWindowPoints(m_label, m_frame.Get(), &inFrame, 1);
    RECT frame{};
    GetClientRect(m_frame.Get(), &frame);
    // Released anywhere else, the label stays where it was.
    if (PtInRect(&frame, inFrame)) m_preview->OnDropOnFrame(inFrame.x, inFrame.y);
}

void PreviewPane::EndDrag() {
    m_buttonDown = false;
    m_dragging = false;
    m_dragOutline.Hide();
    if (GetCapture() == m_label) ReleaseCapture();
}

LRESULT CALLBACK PreviewPane::LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PreviewPane*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_preview == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self->OnLabelMessage(window, message, wParam, lParam);
}

LRESULT PreviewPane::OnLabelMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
        PaintWindow(window, [&](HDC dc) { PaintLabel(dc); });
        return 0;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, m_sizingCursor ? IDC_SIZENWSE : IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        OnLabelButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        OnLabelMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                         (wParam & MK_LBUTTON) != 0);
        return 0;
    case WM_LBUTTONUP:
        OnLabelButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a message box, Alt+Tab): the drag is off.
        if (reinterpret_cast<HWND>(lParam) != window && m_buttonDown) {
            m_buttonDown = false;
            m_dragging = false;
            m_dragOutline.Hide();
        }
        return 0;
    case WM_CONTEXTMENU: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1) {
            screen = POINT{0, 0};
            ClientToScreen(window, &screen);
        }
        if (m_events.labelMenu) m_events.labelMenu(screen);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PreviewPane::EditSubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<PreviewPane*>(data);
    switch (message) {
    case WM_CONTEXTMENU: {
        // The edit commands of the editor's own menu, never the edit box's built-in menu.
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1) {
            screen = POINT{0, 0};
            ClientToScreen(window, &screen);
        }
        SetFocus(window);
        if (self->m_events.editMenu) self->m_events.editMenu(screen);
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, EditSubclassProc, kEditSubclassId);
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// --- The frame -----------------------------------------------------------------------

LRESULT PreviewPane::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        UniqueBrush back(CreateSolidBrush(kFrameBack));
        FillRect(reinterpret_cast<HDC>(wParam), &client, back.Get());
        UniqueBrush edge(CreateSolidBrush(kFrameEdge));
        FrameRect(reinterpret_cast<HDC>(wParam), &client, edge.Get());
        return 1;
    }
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_MOUSEMOVE:
        m_guides.Hide();
        return 0;
    case WM_LBUTTONDOWN:
        if (m_events.frameClick) m_events.frameClick();
        return 0;
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lParam) == m_edit && m_editBrush) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, MemoColorToColorRef(m_model.foreColor));
            SetBkColor(dc, MemoColorToColorRef(m_model.backColor));
            return reinterpret_cast<LRESULT>(m_editBrush.Get());
        }
        break;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_edit && HIWORD(wParam) == EN_CHANGE &&
            m_events.textChanged) {
            m_events.textChanged(WideToUtf8(WindowTextOf(m_edit)));
            return 0;
        }
        break;
    case WM_CLOSE:
        // The multi-line edit box posts this to its parent on Esc; the frame, and the
        // memo in it, go only with the editor window.
        return 0;
    case WM_NCDESTROY:
        // The parent destroys the frame with itself: nothing left for us to destroy.
        if (m_frame.Get() == window) (void)m_frame.Release();
        m_label = nullptr;
        m_edit = nullptr;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kanopa::editor::win32
