; The Windows installer of もじもり！, made by tools/make_windows_installer.sh from the staged
; files. Installs into Program Files with a Start-menu shortcut, and a desktop shortcut when
; the parent ticks it on the last page; the uninstaller removes what was installed and
; leaves the user's question folder (Documents\mojimori) and settings (%APPDATA%\mojimori).
; /S installs and uninstalls silently (no desktop shortcut).
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

; STAGE, VERSION, FILE_VERSION (four numbers), ICON and OUTFILE come from the command line.
Name "もじもり！"
Caption "もじもり！ リリース ${VERSION} のインストール"
UninstallCaption "もじもり！ のアンインストール"
BrandingText "もじもり！ リリース ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\mojimori"
InstallDirRegKey HKLM "Software\mojimori" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

; The release, also in the installer's file properties.
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "もじもり！"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "もじもり！ リリース ${VERSION} のインストーラー"
VIAddVersionKey /LANG=1041 "LegalCopyright" "無料のソフトウェア（CREDITS.txt）"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\mojimori"
!define SHORTCUT "もじもり！.lnk"
; Where the parent's own files are, as the parent finds them.
!define KEPT_TEXT "問題フォルダー（「ドキュメント」の中の mojimori フォルダー、Documents\mojimori）と設定（%APPDATA%\mojimori）は消さずに残します。いらないときは、アンインストールのあとでエクスプローラーから削除してください。"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

!define MUI_WELCOMEPAGE_TITLE "もじもり！ のインストール"
!define MUI_WELCOMEPAGE_TEXT "ひらがな・カタカナを覚えはじめた小さなお子さんのための、五十音表の形をしたキーボードです。$\r$\n$\r$\nこれは リリース ${VERSION} です。無料で使えます。$\r$\n$\r$\n「次へ」を押して進んでください。"
!insertmacro MUI_PAGE_WELCOME
; What the program is, that it is free, where its files go, and the credits.
!define MUI_PAGE_HEADER_TEXT "もじもり！ について"
!define MUI_PAGE_HEADER_SUBTEXT "無料のソフトウェアです。ファイルの置き場所と、声・絵・文字の出典をお読みください。"
!define MUI_LICENSEPAGE_TEXT_TOP "下の文は、スクロールして続きを読めます。"
!define MUI_LICENSEPAGE_BUTTON "次へ >"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "インストールの場所を選ぶには「次へ」を押してください。"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\about.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "インストールが終わりました"
!define MUI_FINISHPAGE_TEXT "スタートメニューの「もじもり！」から起動できます。使いかたは、プログラムの「ヘルプ」メニューから読めます。"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "もじもり！ をすぐに始める"
; The page's second box makes the desktop shortcut.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "デスクトップにショートカットを作る"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION MakeDesktopShortcut
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "問題フォルダー（「ドキュメント」の mojimori、Documents\mojimori）と設定（%APPDATA%\mojimori）は消さずに残します。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "アンインストールが終わりました"
!define MUI_FINISHPAGE_TEXT "もじもり！ をこのパソコンから削除しました。$\r$\n$\r$\n${KEPT_TEXT}"
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; The uninstaller runs from a copy of itself in a folder of the temporary files (~nsu*.tmp),
; which Windows would remove only at the next restart: a hidden command removes it once
; the copy has ended, trying each second for half a minute.
Function un.onUninstSuccess
  StrLen $0 "$TEMP\~nsu"
  StrCpy $1 "$EXEDIR" $0
  StrCmp $1 "$TEMP\~nsu" 0 done
  SetOutPath "$TEMP"
  Exec '"$SYSDIR\cmd.exe" /c for /l %i in (1,1,30) do @(ping -n 2 127.0.0.1 >nul & rmdir /s /q "$EXEDIR" 2>nul & if not exist "$EXEDIR" exit /b 0)'
  done:
FunctionEnd

Function MakeDesktopShortcut
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\zel.exe"
FunctionEnd

Section "もじもり！"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\zel.exe"
  File "${STAGE}\CREDITS.txt"
  SetOutPath "$INSTDIR\sample"
  File /r "${STAGE}\sample\*.*"
  SetOutPath "$INSTDIR\fonts"
  File "${STAGE}\fonts\ipag.ttf"
  File "${STAGE}\fonts\IPA_Font_License.txt"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\zel.exe"
  WriteRegStr HKLM "Software\mojimori" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "もじもり！"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what was installed: the user's Documents\mojimori and %APPDATA%\mojimori stay.
Section "Uninstall"
  SetShellVarContext all
  DetailPrint "${KEPT_TEXT}"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$INSTDIR\zel.exe"
  Delete "$INSTDIR\CREDITS.txt"
  RMDir /r "$INSTDIR\sample"
  RMDir /r "$INSTDIR\fonts"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\mojimori"
SectionEnd
