; The Windows installer of もじもり！, made by tools/make_windows_installer.sh from the staged
; files. Installs into Program Files with a Start-menu shortcut; the uninstaller removes
; what was installed and leaves the user's question folder (Documents\mojimori) and
; settings (%APPDATA%\mojimori). /S installs and uninstalls silently.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

; STAGE, VERSION and OUTFILE come from the command line.
Name "もじもり！"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\mojimori"
InstallDirRegKey HKLM "Software\mojimori" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\mojimori"

!insertmacro MUI_PAGE_WELCOME
; The credits of the built-in voices, pictures, strokes and the shipped font.
!define MUI_LICENSEPAGE_TEXT_TOP "クレジット（組み込みのデータとフォント）"
!define MUI_LICENSEPAGE_BUTTON "次へ >"
!define MUI_LICENSEPAGE_TEXT_BOTTOM " "
!insertmacro MUI_PAGE_LICENSE "${STAGE}\CREDITS.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
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
  CreateShortcut "$SMPROGRAMS\もじもり！.lnk" "$INSTDIR\zel.exe"
  WriteRegStr HKLM "Software\mojimori" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "もじもり！"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what was installed: the user's Documents\mojimori and %APPDATA%\mojimori stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\もじもり！.lnk"
  Delete "$INSTDIR\zel.exe"
  Delete "$INSTDIR\CREDITS.txt"
  RMDir /r "$INSTDIR\sample"
  RMDir /r "$INSTDIR\fonts"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\mojimori"
SectionEnd
