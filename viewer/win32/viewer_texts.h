#pragma once
// What the viewer says to the user, and the markers it writes to the log.
namespace kanopa::viewer::win32 {

// The program's Japanese name: the tray tip and the version dialog's title.
inline constexpr wchar_t kJapaneseProgramName[] = L"カノパビューア";
inline constexpr wchar_t kAlreadyRunningMessage[] = L"「カノパビューア」は既に起動されています。";
// The bare file name goes between the brackets, never the full path.
inline constexpr wchar_t kHelpMissingMessage[] = L"ヘルプファイル[KanopaViewer.chm]がありません。";

inline constexpr wchar_t kMenuHelp[] = L"ヘルプ(&H)";
inline constexpr wchar_t kMenuVersion[] = L"Version(&V)";
inline constexpr wchar_t kMenuCancel[] = L"キャンセル(&C)";
inline constexpr wchar_t kMenuEnd[] = L"終了(&Q)";
inline constexpr wchar_t kMenuCopy[] = L"コピー(&C)";

// Log markers (UTF-8, as the log hook takes them).
inline constexpr char kLogStart[] = "*********アプリケーション開始*********";
inline constexpr char kLogEnd[] = "*********アプリケーション終了*********";
inline constexpr char kLogAlreadyRunning[] = "*********二重起動システム終了*********";

}  // namespace kanopa::viewer::win32
