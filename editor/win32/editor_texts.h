#pragma once
// What the editor window says to the user, and the markers it writes to the log.
namespace kanopa::editor::win32 {

// The program's Japanese name, as the version dialog shows it (UTF-8).
inline constexpr char kProgramTitle[] = "カノパ";
inline constexpr wchar_t kWindowCaption[] = L"メモ作成 - カノパ -";
inline constexpr wchar_t kAlreadyRunningMessage[] = L"「カノパ」は既に起動されています。";
inline constexpr wchar_t kConfirmCaption[] = L"確認";
inline constexpr wchar_t kCloseQuestion[] = L"カノパを終了します。よろしいですか？";
// Told to Windows while the closing question holds up the end of the session.
inline constexpr wchar_t kShutdownReason[] = L"終了の確認を待っています。";
// The bare file name goes between the brackets, never the full path.
inline constexpr wchar_t kHelpMissingMessage[] = L"ヘルプファイル[Kanopa.chm]がありません。";

// Toolbar tooltips, in button order.
inline constexpr const wchar_t* kToolbarTips[] = {
    L"新規作成", L"開く", L"保存", L"日付と時刻", L"定型文", L"一括コピー", L"フォント", L"背景色"};
inline constexpr wchar_t kLayoutModeTip[] = L"レイアウトモード";
inline constexpr wchar_t kPlaceButtonTip[] = L"相対位置の指定";
inline constexpr wchar_t kMarginTip[] = L"余白(px)";
inline constexpr wchar_t kPlaceButtonCaption[] = L"▼";
// cboLayoutMode's entries: index 0 anchored, 1 absolute.
inline constexpr wchar_t kLayoutAnchored[] = L"相対配置";
inline constexpr wchar_t kLayoutAbsolute[] = L"絶対配置";
inline constexpr wchar_t kRecentNone[] = L"なし";

// File dialogs.
inline constexpr wchar_t kOpenDialogTitle[] = L"開く";
inline constexpr wchar_t kSaveDialogTitle[] = L"保存";
// Pairs of name and pattern, each ending in NUL, the list ending in a second NUL.
inline constexpr wchar_t kMemoFileFilter[] =
    L"メモファイル(*.epm)\0*.epm\0全てのファイル(*.*)\0*.*\0";

// Log markers (UTF-8, as the log hook takes them).
inline constexpr char kLogStart[] = "*********アプリケーション開始*********";
inline constexpr char kLogEnd[] = "*********アプリケーション終了*********";
inline constexpr char kLogAlreadyRunning[] = "*********二重起動システム終了*********";

}  // namespace kanopa::editor::win32
