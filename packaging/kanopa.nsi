; The Kanopa installer: per user and without elevation, into %LOCALAPPDATA%\Programs\Kanopa,
; a folder the user can write (the programs keep Config.txt and FixedForm.txt beside them).
; Built by packaging/CMakeLists.txt, which passes:
;   VERSION        x.y.z, as the editor's version resource says (checked below)
;   BIN_DIR        the folder holding the programs, help files and data files
;   OUT_FILE       the installer to write
;   ICON           the editor's icon
;   VIEWER_CLASS   the viewer's hidden main window class (closing it ends the viewer)
;   EDITOR_MUTEX   the editor's single-instance mutex (it exists while the editor runs)
; Silent use: setup.exe /S [/AUTOSTART=0|1] [/D=folder]
;   /AUTOSTART  start the viewer at sign-in (default: on for a first install, as before
;               for an upgrade)
; Exit codes: 0 done, 1 cancelled, 2 the editor or viewer kept running.

Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include FileFunc.nsh
!include WinMessages.nsh

; The release carries the editor's version (the viewer keeps a version of its own).
!getdllversion "${BIN_DIR}\Kanopa.exe" EditorVersion_
!if "${EditorVersion_1}.${EditorVersion_2}.${EditorVersion_3}" != "${VERSION}"
  !error "Kanopa.exe is version ${EditorVersion_1}.${EditorVersion_2}.${EditorVersion_3}, not ${VERSION}"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kanopa"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "KanopaViewer"
!define CLASSES_KEY "Software\Classes"
!define PROG_ID "Kanopa.Memo"
!define MENU_FOLDER "$SMPROGRAMS\カノパ"
!define SYNCHRONIZE 0x00100000
!define SHCNE_ASSOCCHANGED 0x08000000
; How long a silent run waits for the editor to be closed, in half seconds.
!define SILENT_EDITOR_WAIT 20
; How long the viewer gets to end after its window is closed, in milliseconds.
!define VIEWER_END_WAIT 10000

Name "カノパ ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Kanopa"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "カノパ ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Kanopa"
VIAddVersionKey /LANG=1041 "CompanyName" "Kanopa"
VIAddVersionKey /LANG=1041 "FileDescription" "カノパ セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) Kanopa"

Var Upgrade           ; 1: an earlier install was found
Var AutoStart         ; 1: the Run value is written
Var StartAfterSetup   ; 1: the viewer is started when setup finishes
Var ViewerWasRunning  ; 1: setup ended the viewer, so it starts it again
Var AutoStartBox
Var StartAfterSetupBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

LangString WelcomeText ${LANG_JAPANESE} "カノパ ${VERSION} をこのコンピューターにインストールします。$\r$\n$\r$\nカノパはフォルダーにメモを書くエディター、カノパビューアはフォルダーを開いたときにそのメモを表示する常駐プログラムです。$\r$\n$\r$\n管理者の権限は必要ありません。お使いのユーザーだけにインストールします。$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_JAPANESE} "カノパのインストールが完了しました。$\r$\n$\r$\nスタート メニューの「カノパ」から起動できます。拡張子 .epm のメモ ファイルをダブルクリックしても開けます。"
LangString OptionsTitle ${LANG_JAPANESE} "カノパビューアの起動"
LangString OptionsSubtitle ${LANG_JAPANESE} "カノパビューアをいつ起動するかを選んでください。"
LangString OptionsNote ${LANG_JAPANESE} "カノパビューアは通知領域に常駐し、開いたフォルダーにあるメモを表示します。終了するには通知領域のアイコンを右クリックします。"
LangString AutoStartLabel ${LANG_JAPANESE} "Windows へのサインイン時にカノパビューアを起動する(&S)"
LangString StartAfterSetupLabel ${LANG_JAPANESE} "セットアップの終了後にカノパビューアを起動する(&R)"
LangString EditorRunning ${LANG_JAPANESE} "カノパが起動しています。$\r$\n編集中のメモを保存してカノパを終了してから、［再試行］を押してください。"
LangString ViewerStillRunning ${LANG_JAPANESE} "カノパビューアを終了できませんでした。$\r$\n通知領域のアイコンから終了してから、［再試行］を押してください。"
LangString MemoFileType ${LANG_JAPANESE} "カノパ メモ"
LangString EditorShortcut ${LANG_JAPANESE} "カノパ"
LangString ViewerShortcut ${LANG_JAPANESE} "カノパビューア"
LangString EditorHelpShortcut ${LANG_JAPANESE} "カノパ ヘルプ"
LangString ViewerHelpShortcut ${LANG_JAPANESE} "カノパビューア ヘルプ"
LangString DeleteUserData ${LANG_JAPANESE} "設定、定型文、日付と時刻の書式、ログのファイルも削除しますか？$\r$\n［いいえ］を選ぶと、これらのファイルを次の場所に残します。$\r$\n$INSTDIR"

; Waits until no editor runs. $0 = 1 when none runs, 0 when the user cancelled or a
; silent run waited in vain. The editor is never ended from here: it may hold unsaved text.
!macro WAIT_FOR_EDITOR UN
Function ${UN}WaitForEditor
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${EDITOR_MUTEX}") p .r0'
    ${If} $0 P= 0
      StrCpy $0 1
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} ${Silent}
      IntOp $1 $1 + 1
      ${If} $1 > ${SILENT_EDITOR_WAIT}
        DetailPrint "$(EditorRunning)"
        StrCpy $0 0
        Return
      ${EndIf}
      Sleep 500
    ${Else}
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(EditorRunning)" /SD IDCANCEL IDRETRY`
        StrCpy $0 0
        Return
      ${EndIf}
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_EDITOR ""
!insertmacro WAIT_FOR_EDITOR "un."

; Ends a running viewer as its tray menu's end item does: WM_CLOSE to its hidden main
; window, then waits for its process. $ViewerWasRunning = 1 when it ran; $0 = 1 when
; none runs any more, 0 when it is still there.
!macro END_VIEWER UN
Function ${UN}EndViewer
  StrCpy $ViewerWasRunning 0
  ${Do}
    FindWindow $2 "${VIEWER_CLASS}"
    ${If} $2 = 0
      StrCpy $0 1
      Return
    ${EndIf}
    StrCpy $ViewerWasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r2, *i .r3)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r3) p .r4'
    SendMessage $2 ${WM_CLOSE} 0 0 /TIMEOUT=${VIEWER_END_WAIT}
    ${If} $4 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i ${VIEWER_END_WAIT}) i .r5'
      System::Call 'kernel32::CloseHandle(p r4)'
    ${EndIf}
    FindWindow $2 "${VIEWER_CLASS}"
    ${If} $2 = 0
      StrCpy $0 1
      Return
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ViewerStillRunning)" /SD IDCANCEL IDRETRY`
      StrCpy $0 0
      Return
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro END_VIEWER ""
!insertmacro END_VIEWER "un."

Function .onInit
  StrCpy $Upgrade 0
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $Upgrade 1
  ${EndIf}
  ; An upgrade keeps the earlier choice; a first install starts the viewer at sign-in.
  StrCpy $AutoStart 1
  ${If} $Upgrade = 1
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == ""
      StrCpy $AutoStart 0
    ${EndIf}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART=" $1
  ${IfNot} ${Errors}
    ${If} $1 == "0"
      StrCpy $AutoStart 0
    ${Else}
      StrCpy $AutoStart 1
    ${EndIf}
  ${EndIf}
  ${If} ${Silent}
    StrCpy $StartAfterSetup 0
  ${Else}
    StrCpy $StartAfterSetup 1
  ${EndIf}
FunctionEnd

; An upgrade goes into the folder of the earlier install.
Function SkipOnUpgrade
  ${If} $Upgrade = 1
    Abort
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "$(OptionsTitle)" "$(OptionsSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "$(AutoStartLabel)"
  Pop $AutoStartBox
  ${NSD_SetState} $AutoStartBox $AutoStart
  ${NSD_CreateCheckbox} 0 18u 100% 12u "$(StartAfterSetupLabel)"
  Pop $StartAfterSetupBox
  ${NSD_SetState} $StartAfterSetupBox $StartAfterSetup
  ${NSD_CreateLabel} 0 44u 100% 36u "$(OptionsNote)"
  Pop $0
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $AutoStartBox $AutoStart
  ${NSD_GetState} $StartAfterSetupBox $StartAfterSetup
  ; Asked here, while the user can still go back, and again when the files are copied.
  Call WaitForEditor
  ${If} $0 = 0
    Abort
  ${EndIf}
FunctionEnd

Section "Kanopa"
  Call WaitForEditor
  ${If} $0 = 0
    SetErrorLevel 2
    ${If} ${Silent}
      Quit
    ${EndIf}
    Abort
  ${EndIf}
  Call EndViewer
  ${If} $0 = 0
    SetErrorLevel 2
    ${If} ${Silent}
      Quit
    ${EndIf}
    Abort
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${BIN_DIR}\Kanopa.exe"
  File "${BIN_DIR}\KanopaViewer.exe"
  File "${BIN_DIR}\kanopa-memo.exe"
  File "${BIN_DIR}\Kanopa.chm"
  File "${BIN_DIR}\KanopaViewer.chm"
  ; The user's own phrases and date formats survive an upgrade.
  SetOverwrite off
  File "${BIN_DIR}\DateTime.txt"
  File "${BIN_DIR}\FixedForm.txt"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\$(EditorShortcut).lnk" "$INSTDIR\Kanopa.exe"
  CreateShortcut "${MENU_FOLDER}\$(ViewerShortcut).lnk" "$INSTDIR\KanopaViewer.exe"
  CreateShortcut "${MENU_FOLDER}\$(EditorHelpShortcut).lnk" "$INSTDIR\Kanopa.chm"
  CreateShortcut "${MENU_FOLDER}\$(ViewerHelpShortcut).lnk" "$INSTDIR\KanopaViewer.chm"

  ${If} $AutoStart = 1
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\KanopaViewer.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  WriteRegStr HKCU "${CLASSES_KEY}\.epm" "" "${PROG_ID}"
  WriteRegStr HKCU "${CLASSES_KEY}\${PROG_ID}" "" "$(MemoFileType)"
  WriteRegStr HKCU "${CLASSES_KEY}\${PROG_ID}\DefaultIcon" "" "$INSTDIR\Kanopa.exe,0"
  WriteRegStr HKCU "${CLASSES_KEY}\${PROG_ID}\shell\open\command" "" '"$INSTDIR\Kanopa.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "カノパ"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kanopa.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kanopa"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInstSuccess
  ${If} $ViewerWasRunning = 1
  ${OrIf} $StartAfterSetup = 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\KanopaViewer.exe"'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.WaitForEditor
  ${If} $0 = 0
    SetErrorLevel 2
    ${If} ${Silent}
      Quit
    ${EndIf}
    Abort
  ${EndIf}
  Call un.EndViewer
  ${If} $0 = 0
    SetErrorLevel 2
    ${If} ${Silent}
      Quit
    ${EndIf}
    Abort
  ${EndIf}

  Delete "$INSTDIR\Kanopa.exe"
  Delete "$INSTDIR\KanopaViewer.exe"
  Delete "$INSTDIR\kanopa-memo.exe"
  Delete "$INSTDIR\Kanopa.chm"
  Delete "$INSTDIR\KanopaViewer.chm"
  Delete "$INSTDIR\Uninstall.exe"

  Delete "${MENU_FOLDER}\$(EditorShortcut).lnk"
  Delete "${MENU_FOLDER}\$(ViewerShortcut).lnk"
  Delete "${MENU_FOLDER}\$(EditorHelpShortcut).lnk"
  Delete "${MENU_FOLDER}\$(ViewerHelpShortcut).lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ; .epm is left alone when another program has taken it over since.
  ReadRegStr $0 HKCU "${CLASSES_KEY}\.epm" ""
  ${If} $0 == "${PROG_ID}"
    DeleteRegValue HKCU "${CLASSES_KEY}\.epm" ""
  ${EndIf}
  DeleteRegKey /ifempty HKCU "${CLASSES_KEY}\.epm"
  DeleteRegKey HKCU "${CLASSES_KEY}\${PROG_ID}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; The user's files: asked for; a silent uninstall keeps them for a later install.
  ${IfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteUserData)" IDNO keep_user_data
    Delete "$INSTDIR\Config.txt"
    Delete "$INSTDIR\FixedForm.txt"
    Delete "$INSTDIR\DateTime.txt"
    Delete "$INSTDIR\Log.txt"
    Delete "$INSTDIR\Log.old.txt"
    ; What a save cut short left beside its file ("Config.txt.1a2b3c4d0.tmp").
    Delete "$INSTDIR\Config.txt.*.tmp"
    Delete "$INSTDIR\FixedForm.txt.*.tmp"
    keep_user_data:
  ${EndIf}
  RMDir "$INSTDIR"

  ; Last, so that the entry stays listed if anything above could not be done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
