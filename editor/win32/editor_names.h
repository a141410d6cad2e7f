#pragma once
// Names the system looks things up by: never translated, never shown to the user.
namespace kanopa::editor::win32 {

inline constexpr wchar_t kProgramName[] = L"Kanopa";  // message box captions too
inline constexpr wchar_t kMainWindowClass[] = L"Kanopa.frmCreateMemo";
inline constexpr wchar_t kFrameClass[] = L"Kanopa.fraWindow";
inline constexpr wchar_t kLabelClass[] = L"Kanopa.lblData";
inline constexpr wchar_t kPositionPickerClass[] = L"Kanopa.frmPos";
inline constexpr wchar_t kSearchWindowClass[] = L"Kanopa.frmSearch";
// One editor per logon session.
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Kanopa.SingleInstance";
inline constexpr wchar_t kHelpFileName[] = L"Kanopa.chm";
inline constexpr wchar_t kOpenVerb[] = L"open";
inline constexpr wchar_t kMemoExtension[] = L"epm";

}  // namespace kanopa::editor::win32
