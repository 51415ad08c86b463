; The per-user Windows installer of Kalverin. No administrator rights: everything goes under the
; user's own profile and HKEY_CURRENT_USER.
;
; Built by installer/make-setup (tools/package calls it), which stages the files and runs
;   makensis -DVERSION=2.60 -DSTAGE=<staged files> -DOUTFILE=<setup.exe> installer/kalverin.nsi
;
; Command line of the setup program (NSIS reads /S and /D itself; /D= must come last):
;   /S             install silently with the defaults
;   /AUTOSTART=0   do not start Kalverin at logon (/AUTOSTART=1 does); without it a new install
;                  starts Kalverin at logon and an upgrade keeps what the user had
;   /D=<folder>    install into <folder> instead of %LOCALAPPDATA%\Programs\Kalverin
; The uninstaller takes /S; it keeps the user's kalverin.ini unless the box on its page is ticked.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!ifndef VERSION | STAGE | OUTFILE
  !error "makensis needs -DVERSION=..., -DSTAGE=... and -DOUTFILE=... (installer/make-setup passes them)"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalverin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where Task Manager keeps a start-up program the user disabled there.
!define STARTUP_APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define GUIDE_LINK "$SMPROGRAMS\Kalverin user guide.lnk"
!define PROGRAM_LINK "$SMPROGRAMS\Kalverin.lnk"

Name "Kalverin"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kalverin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kalverin ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "Kalverin"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Kalverin setup"
VIAddVersionKey CompanyName "The Kalverin developers"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 the Kalverin developers (MIT License)"

Var AutoStart        ; 1: the Run value is written, 0: it is removed
Var AutoStartBox
Var RemoveSettings   ; uninstaller: 1 removes %APPDATA%\Kalverin\kalverin.ini too
Var RemoveSettingsBox

!define MUI_ICON "${__FILEDIR__}/../resources/kalverin.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/kalverin.ico"
!define MUI_ABORTWARNING

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE directoryLeave
!insertmacro MUI_PAGE_DIRECTORY
Page custom optionsPage optionsLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\kalverin.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Kalverin now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\user-guide.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.optionsPage un.optionsLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The files of an installation; the uninstaller removes exactly these.
!macro KALVERIN_FILES action
  !insertmacro ${action} "kalverin.exe"
  !insertmacro ${action} "kalverin-dde.exe"
  !insertmacro ${action} "LICENSE.txt"
  !insertmacro ${action} "user-guide.html"
  !insertmacro ${action} "orvanescript.html"
  !insertmacro ${action} "dde.html"
!macroend
!macro installFile name
  File "${STAGE}\${name}"
!macroend
!macro removeFile name
  Delete "$INSTDIR\${name}"
!macroend

; A running Kalverin holds kalverin.exe open and keeps its record in memory. Its main window is
; a dialog without an owner; IDCANCEL to it is what Esc does: the window ends, saves the record
; and the process exits. Only copies started from $INSTDIR are asked; each is waited for. A copy
; that does not end (a dialog of it is still open, say) is left to the user: retry or give up
; before anything has been changed.
!macro CLOSE_RUNNING_KALVERIN un
Function ${un}closeRunningKalverin
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $0 0
  ${Do}
    ; The next top-level dialog window (class atom 32770) after $0.
    System::Call 'user32::FindWindowExW(p 0, p r0, p 32770, p 0) p .r0'
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindow(p r0, i 4) p .r1'  ; GW_OWNER
    ${IfThen} $1 P<> 0 ${|} ${Continue} ${|}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i r1) p .r2'
    ${IfThen} $2 P= 0 ${|} ${Continue} ${|}
    StrCpy $3 ""
    System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN})'
    ${If} $3 != "$INSTDIR\kalverin.exe"  ; compared without regard to case, as Windows does
      System::Call 'kernel32::CloseHandle(p r2)'
      ${Continue}
    ${EndIf}
    DetailPrint "Asking Kalverin to close (it saves your record as it does)..."
    System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p 2, p 0)'  ; IDCANCEL
    System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r1'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $1 <> 0  ; not WAIT_OBJECT_0: it is still running
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Kalverin is still running from $INSTDIR.$\r$\n$\r$\nClose its open windows (Esc in the Kalverin window closes it), then choose Retry." /SD IDCANCEL IDRETRY retry
      DetailPrint "Kalverin is still running: nothing was changed."
      SetErrorLevel 3
      Abort
      retry:
    ${EndIf}
    StrCpy $0 0  ; windows came and went: look again from the first
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_KALVERIN ""
!insertmacro CLOSE_RUNNING_KALVERIN "un."

Function .onInit
  SetShellVarContext current
  ; An upgrade keeps start-at-logon as the user left it; a new install starts Kalverin at logon.
  StrCpy $AutoStart 1
  ClearErrors
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${Errors}
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "Kalverin"
    ${If} ${Errors}
      StrCpy $AutoStart 0
    ${EndIf}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART=" $1
  ${IfNot} ${Errors}
    ${If} $1 == "0"
    ${OrIf} $1 == "1"
      StrCpy $AutoStart $1
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP "Unknown value of /AUTOSTART: $\"$1$\".$\r$\nUse /AUTOSTART=0 (do not start Kalverin at logon) or /AUTOSTART=1." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
  ; A silent install never shows the directory page. NSIS itself quietly replaces a /D= folder
  ; it finds unusable (a part of it is a file) with the default; a scripted install must rather
  ; fail and say why. NSIS cuts /D= from $CMDLINE; the process's own command line still has it.
  ${If} ${Silent}
    System::Call 'kernel32::GetCommandLineW() w .r0'
    ClearErrors
    ${GetOptions} $0 "/D=" $1
    ${IfNot} ${Errors}
      ${Do}  ; "C:\Folder\" is "C:\Folder" to NSIS
        StrCpy $2 $1 1 -1
        StrLen $3 $1
        ${IfThen} $2 != "\" ${|} ${Break} ${|}
        ${IfThen} $3 <= 3 ${|} ${Break} ${|}
        StrCpy $1 $1 -1
      ${Loop}
      ${If} $1 != $INSTDIR
        StrCpy $INSTDIR $1
        Call refuseFolder
      ${EndIf}
    ${EndIf}
    Call checkFolderWritable
  ${EndIf}
FunctionEnd

; A folder that cannot be written is refused before anything is installed (Abort in .onInit
; ends the installer, on the directory page it keeps the page open).
Function refuseFolder
  MessageBox MB_OK|MB_ICONSTOP "Kalverin cannot be installed in$\r$\n$INSTDIR$\r$\nbecause that folder cannot be created or written. Choose another folder." /SD IDOK
  SetErrorLevel 2
  Abort
FunctionEnd

Function checkFolderWritable
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\kalverin-setup.tmp" w
  ${IfThen} ${Errors} ${|} Call refuseFolder ${|}
  FileClose $0
  Delete "$INSTDIR\kalverin-setup.tmp"
  RMDir "$INSTDIR"  ; only while empty: a page left with Cancel leaves no folder behind
FunctionEnd

Function directoryLeave
  Call checkFolderWritable
FunctionEnd

Function optionsPage
  !insertmacro MUI_HEADER_TEXT "Choose options" "Choose when Kalverin starts."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "Start Kalverin when I log on"
  Pop $AutoStartBox
  ${If} $AutoStart = 1
    ${NSD_Check} $AutoStartBox
  ${EndIf}
  ${NSD_CreateLabel} 12u 16u -12u 48u "Kalverin then keeps counting from the moment you log on to Windows, in the notification area of the taskbar. You can change this later by running this setup again, or in the Startup tab of Task Manager."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function optionsLeave
  ${NSD_GetState} $AutoStartBox $AutoStart
  ${If} $AutoStart <> 0
    StrCpy $AutoStart 1
  ${EndIf}
FunctionEnd

Section "Kalverin"
  SetShellVarContext current
  Call closeRunningKalverin
  SetOutPath "$INSTDIR"
  !insertmacro KALVERIN_FILES installFile
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "${PROGRAM_LINK}" "$INSTDIR\kalverin.exe" "" "$INSTDIR\kalverin.exe" 0 \
    SW_SHOWNORMAL "" "Counts your time without smoking and what it saved"
  CreateShortCut "${GUIDE_LINK}" "$INSTDIR\user-guide.html"

  ${If} $AutoStart = 1
    WriteRegStr HKCU "${RUN_KEY}" "Kalverin" "$\"$INSTDIR\kalverin.exe$\""
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Kalverin"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kalverin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kalverin developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\kalverin.exe$\",0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext current
  StrCpy $RemoveSettings 0
FunctionEnd

Function un.optionsPage
  !insertmacro MUI_HEADER_TEXT "Remove Kalverin" "Remove Kalverin from your computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 20u "Kalverin will be removed from this folder, with its Start-menu shortcuts and its start at logon:"
  Pop $0
  ${NSD_CreateText} 0 22u 100% 13u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateLabel} 0 46u 100% 28u "Your quit date and settings stay in $APPDATA\Kalverin\kalverin.ini, so that Kalverin still knows them if you install it again."
  Pop $0
  ${NSD_CreateCheckbox} 0 76u 100% 12u "Also remove my quit date and settings"
  Pop $RemoveSettingsBox
  nsDialogs::Show
FunctionEnd

Function un.optionsLeave
  ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

Section "Uninstall"
  Call un.closeRunningKalverin
  ; Only the files installed: a folder the user also keeps other files in stays, with them.
  !insertmacro KALVERIN_FILES removeFile
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  ; The shortcuts and the registry belong to the installation registered; an old copy of the
  ; uninstaller run for another folder leaves them alone. A second uninstall finds none.
  ClearErrors
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} ${Errors}
  ${OrIf} $0 == "$INSTDIR"
    Delete "${PROGRAM_LINK}"
    Delete "${GUIDE_LINK}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
  ReadRegStr $0 HKCU "${RUN_KEY}" "Kalverin"
  ${If} $0 == "$\"$INSTDIR\kalverin.exe$\""
    DeleteRegValue HKCU "${RUN_KEY}" "Kalverin"
    DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Kalverin"
  ${EndIf}

  ${If} $RemoveSettings = 1
    Delete "$APPDATA\Kalverin\kalverin.ini"
    RMDir "$APPDATA\Kalverin"
  ${EndIf}
SectionEnd
