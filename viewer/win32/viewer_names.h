#pragma once
// Names the system looks things up by: never translated, never shown to the user.
namespace kanopa::viewer::win32 {

inline constexpr wchar_t kProgramName[] = L"KanopaViewer";  // message box captions too
inline constexpr wchar_t kMainWindowClass[] = L"KanopaViewer.frmMain";
inline constexpr wchar_t kMemoWindowClass[] = L"KanopaViewer.frmMemo";
// One resident viewer per logon session.
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\KanopaViewer.SingleInstance";
inline constexpr wchar_t kHelpFileName[] = L"KanopaViewer.chm";
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
inline constexpr wchar_t kOpenVerb[] = L"open";

}  // namespace kanopa::viewer::win32
