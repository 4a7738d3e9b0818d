; Orvenna's setup program for Windows, built by makensis:
;   scripts/make-setup.sh VERSION PROGRAMS_DIR SETUP.exe, which runs makensis with
;   -DVERSION, -DBIN (the programs), -DRESOURCES (this folder) and -DOUTFILE.
;
; It installs for the current user only, without administrator rights, into the user's own
; programs folder: Orvenna keeps its records (src\data\ssq.db) and config.ini beside its
; executable, and there they stay writable. Upgrading installs over the old files and never
; touches those two; uninstalling keeps them unless the user ticks their removal.
; /S runs it without pages (an update started with /S, or a test).

; A 64-bit setup program for a 64-bit program (and for a Wine without its 32-bit half).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION is not defined (makensis -DVERSION=1.0.0)"
!endif
!ifndef BIN
  !error "BIN is not defined: the folder with orvenna.exe"
!endif
!ifndef RESOURCES
  !define RESOURCES "."
!endif
!ifndef OUTFILE
  !define OUTFILE "Orvenna-${VERSION}-setup.exe"
!endif

!define PRODUCT "Orvenna"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvenna"
!define SETTINGS_KEY "Software\Orvenna"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Orvenna"
InstallDirRegKey HKCU "${SETTINGS_KEY}" "InstallDir"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PRODUCT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${RESOURCES}\orvenna.ico"
!define MUI_UNICON "${RESOURCES}\orvenna.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\orvenna.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 Orvenna"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; A running Orvenna holds its lock file open without sharing until it ends, and Windows keeps
; a running program's file from being written. An update hands over to this program and then
; closes, so wait for both to be free before replacing the files.
!macro WaitForOrvennaToEnd UN WHAT
Function ${UN}FileIsBusy
  Exch $R0
  Push $R1
  StrCpy $R1 0
  ${If} ${FileExists} $R0
    ClearErrors
    FileOpen $R0 $R0 a
    ${If} ${Errors}
      StrCpy $R1 1
    ${Else}
      FileClose $R0
    ${EndIf}
  ${EndIf}
  StrCpy $R0 $R1
  Pop $R1
  Exch $R0
FunctionEnd

Function ${UN}WaitForOrvennaToEnd
  StrCpy $1 0
  ${Do}
    Push "$APPDATA\Orvenna\tarv.sq"
    Call ${UN}FileIsBusy
    Pop $2
    Push "$INSTDIR\orvenna.exe"
    Call ${UN}FileIsBusy
    Pop $3
    ${If} $2 = 0
    ${AndIf} $3 = 0
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 >= 150
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Orvenna 正在运行，请先关闭它，再点“重试”继续${WHAT}。" /SD IDCANCEL IDRETRY retry
      Abort "Orvenna 正在运行，${WHAT}已取消。"
      retry:
      StrCpy $1 0
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForOrvennaToEnd "" "安装"
!insertmacro WaitForOrvennaToEnd "un." "卸载"

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "Orvenna" SectionProgram
  SectionIn RO
  Call WaitForOrvennaToEnd
  SetOutPath "$INSTDIR"
  File "${BIN}\orvenna.exe"
  File "${BIN}\orvenna-cli.exe"
  File "${BIN}\liborvenna-htmlquery.dll"
  File "${BIN}\help.chm"
  ; The public key an update's installer must be signed with.
  File "${BIN}\update-key.pub"
  CreateDirectory "$INSTDIR\src\data"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\Orvenna.lnk" "$INSTDIR\orvenna.exe" "" "$INSTDIR\orvenna.exe" 0

  WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvenna.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.Orvenna" SectionUninstallProgram
  SectionIn RO
  Call un.WaitForOrvennaToEnd
  Delete "$INSTDIR\orvenna.exe"
  Delete "$INSTDIR\orvenna-cli.exe"
  Delete "$INSTDIR\liborvenna-htmlquery.dll"
  Delete "$INSTDIR\help.chm"
  Delete "$INSTDIR\update-key.pub"
  Delete "$INSTDIR\uninstall.exe"
  ; A downloaded update installer, which the next start would have deleted. config.ini can be
  ; edited by anyone: only the name the program gives a download is deleted, never another file
  ; (update_file=src\data\ssq.db).
  ReadINIStr $0 "$INSTDIR\config.ini" "sys" "update_file"
  Push $0
  Call un.IsInstallerName
  Pop $1
  ${If} $1 = 1
    Delete "$INSTDIR\$0"
  ${EndIf}
  Delete "$SMPROGRAMS\Orvenna.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Section /o "un.删除保存的记录和设置 (src\data\ssq.db, config.ini)" SectionRemoveData
  Delete "$INSTDIR\src\data\ssq.db"
  Delete "$INSTDIR\src\data\ssq.db-journal"
  Delete "$INSTDIR\config.ini"
SectionEnd

Section "-un.Folders"
  ; Only what is empty goes: kept records keep their folders.
  RMDir "$INSTDIR\src\data"
  RMDir "$INSTDIR\src"
  RMDir "$INSTDIR"
SectionEnd

;  Push NAME, Call un.IsInstallerName, Pop RESULT: 1 when NAME is 32 upper-case hexadecimal
;  digits + ".exe" (no folder), else 0.
Function un.IsInstallerName
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  StrCpy $R3 0
  StrLen $R1 $R0
  StrCpy $R2 $R0 4 32
  ${If} $R1 = 36
  ${AndIf} $R2 S== ".exe"
    StrCpy $R3 1
    StrCpy $R1 0
    ${Do}
      StrCpy $R2 $R0 1 $R1
      Push $R2
      Call un.IsUpperHexDigit
      Pop $R2
      ${If} $R2 = 0
        StrCpy $R3 0
        ${Break}
      ${EndIf}
      IntOp $R1 $R1 + 1
    ${LoopUntil} $R1 = 32
  ${EndIf}
  StrCpy $R0 $R3
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Push CHARACTER, Call un.IsUpperHexDigit, Pop RESULT: 1 for 0-9 and A-F (upper case only).
Function un.IsUpperHexDigit
  Exch $R0
  Push $R1
  Push $R2
  StrCpy $R1 0
  ${Do}
    StrCpy $R2 "0123456789ABCDEF" 1 $R1
    ${If} $R2 S== $R0
      StrCpy $R0 1
      Goto done
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${LoopUntil} $R1 = 16
  StrCpy $R0 0
  done:
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

Function un.onInit
  SetShellVarContext current
  ; /REMOVEDATA ticks the removal of the records and settings, for an uninstall without pages.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SectionRemoveData} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
