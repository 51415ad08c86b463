; The per-user Windows installer of Kalverin. No administrator rights: everything goes under the
; user's own profile and HKEY_CURRENT_USER.
;
; Built by installer/make-setup (tools/package calls it), which stages the files and runs
;   makensis -DVERSION=2.60 -DSTAGE=<staged files> -DOUTFILE=<setup.exe> installer/kalverin.nsi
;
; Command line of the setup program (NSIS reads /S and /D itself; /D= must come last):
;   /S               install silently with the defaults
;   /AUTOSTART=0     do not start Kalverin at logon (/AUTOSTART=1 does); without it a new install
;                    starts Kalverin at logon and an upgrade keeps what the user had
;   /ALLOWDOWNGRADE  a silent install may replace a newer installed version
;   /D=<folder>      install into <folder> instead of %LOCALAPPDATA%\Programs\Kalverin; last on
;                    the line, bare or in quotes ("/D=C:\Some Folder" is how PowerShell passes it)
; Exit codes: 0 done, 1 cancelled by the user, 2 a bad switch, 3 Kalverin would not close,
; 4 a folder that cannot be written, 5 a downgrade refused. docs/user-guide.md has the table.
; The uninstaller takes /S; it keeps the user's kalverin.ini unless the box on its page is ticked.
; The registered uninstall strings run uninstall.exe in place with _?=<folder>; it copies itself
; to a temporary folder, runs that copy, waits for it and ends with its exit code (0 removed,
; 1 cancelled, 2 a bad switch, 3 Kalverin would not close, 4 no temporary copy could be made).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!ifndef VERSION | STAGE | OUTFILE
  !error "makensis needs -DVERSION=..., -DSTAGE=... and -DOUTFILE=... (installer/make-setup passes them)"
!endif
!searchparse /noerrors "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalverin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where Task Manager keeps a start-up program the user disabled there.
!define STARTUP_APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define GUIDE_LINK "$SMPROGRAMS\Kalverin user guide.lnk"
!define PROGRAM_LINK "$SMPROGRAMS\Kalverin.lnk"
!define HOME_PAGE "https://kalverin.example.org/"

; Exit codes beside NSIS's own 0 (done) and 1 (cancelled by the user).
!define EXIT_BAD_SWITCH 2
!define EXIT_STILL_RUNNING 3
!define EXIT_BAD_FOLDER 4
!define EXIT_DOWNGRADE 5

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
!ifdef UNINSTALLER_PASS
  VIAddVersionKey FileDescription "Kalverin uninstaller"
!else
  VIAddVersionKey FileDescription "Kalverin setup"
!endif
VIAddVersionKey CompanyName "The Kalverin developers"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 the Kalverin developers (MIT License)"

!ifndef UNINSTALLER_PASS
Var AutoStart        ; the box: 1 Windows starts Kalverin at logon after this install
Var AutoStartWas     ; 1 when Windows starts it now: a Run value not disabled in Task Manager
Var HasRunValue      ; 1 when there is a Run value, enabled or not
Var AutoStartBox
Var FolderArg        ; the folder of /D=, quoted or not; "" without one
Var AllowDowngrade
Var OldFolder        ; the folder registered before this install; "" on a first install
!else
Var RemoveSettings   ; uninstaller: 1 removes %APPDATA%\Kalverin\kalverin.ini too
Var RemoveSettingsBox
Var ParentId         ; uninstaller: the process of uninstall.exe waiting for this copy
!endif

!define MUI_ICON "${__FILEDIR__}/kalverin-setup.ico"
!define MUI_UNICON "${__FILEDIR__}/kalverin-setup.ico"
!define MUI_ABORTWARNING

; The setup program and its uninstaller are two passes of this script (installer/make-setup):
; the uninstaller is built first, on its own, so that it describes itself as what it is.
!ifndef UNINSTALLER_PASS
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
!else
  UninstPage custom un.optionsPage un.optionsLeave
  !insertmacro MUI_UNPAGE_INSTFILES
!endif

!insertmacro MUI_LANGUAGE "English"

; The files of an installation; the uninstaller removes exactly these.
!macro KALVERIN_FILES action folder
  !insertmacro ${action} "kalverin.exe" "${folder}"
  !insertmacro ${action} "kalverin-dde.exe" "${folder}"
  !insertmacro ${action} "LICENSE.txt" "${folder}"
  !insertmacro ${action} "user-guide.html" "${folder}"
  !insertmacro ${action} "orvanescript.html" "${folder}"
  !insertmacro ${action} "dde.html" "${folder}"
!macroend
!macro installFile name folder
  File "${STAGE}\${name}"
!macroend
!macro removeFile name folder
  Delete "${folder}\${name}"
!macroend

; A running Kalverin holds kalverin.exe open and keeps its record in memory. Its main window is
; a dialog without an owner; IDCANCEL to it is what Esc does: the window ends, saves the record
; and the process exits. The installer asks every copy (one install: the registered folder, the
; one chosen, a portable copy; they share kalverin.ini), the uninstaller only copies started from
; $INSTDIR. Each is waited for. A window that is disabled has a dialog of Kalverin open: it could
; not act on the request now and would act on it later, when the person closes that dialog, so
; it is not asked at all. A copy that does not end is left to the user: retry or give up before
; anything has been changed.
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
    !if "${un}" == "un."
      StrCpy $1 "$INSTDIR\kalverin.exe"
    !else
      StrCpy $1 $3 13 -13
      ${If} $1 == "\kalverin.exe"  ; compared without regard to case, as Windows does
        StrCpy $1 $3
      ${EndIf}
    !endif
    ${If} $3 != $1
      System::Call 'kernel32::CloseHandle(p r2)'
      ${Continue}
    ${EndIf}
    System::Call 'user32::IsWindowEnabled(p r0) i .r1'
    ${If} $1 = 0
      StrCpy $1 1  ; not asked: it is still running
    ${Else}
      DetailPrint "Asking the Kalverin running from $3 to close (it saves your record as it does)..."
      System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p 2, p 0)'  ; IDCANCEL
      System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r1'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $1 <> 0  ; not asked, or not WAIT_OBJECT_0: it is still running
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Kalverin is still running from$\r$\n$3$\r$\n$\r$\nClose its open windows (Esc in the Kalverin window closes it), then choose Retry." /SD IDCANCEL IDRETRY retry
      DetailPrint "Kalverin is still running: nothing was changed."
      SetErrorLevel ${EXIT_STILL_RUNNING}
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

; A switch the program does not know ends it before anything is changed.
!macro REFUSE_SWITCH un
Function ${un}refuseSwitch
  Exch $0
  MessageBox MB_OK|MB_ICONSTOP "Unknown switch: $0$\r$\n$\r$\nThe switches are /S, /AUTOSTART=0, /AUTOSTART=1, /ALLOWDOWNGRADE and /D=<folder> for setup, /S for the uninstaller." /SD IDOK
  SetErrorLevel ${EXIT_BAD_SWITCH}
  Quit
FunctionEnd
!macroend

!ifdef UNINSTALLER_PASS
  !insertmacro CLOSE_RUNNING_KALVERIN "un."
  !insertmacro REFUSE_SWITCH "un."
!else
  !insertmacro CLOSE_RUNNING_KALVERIN ""
  !insertmacro REFUSE_SWITCH ""
!endif

!ifndef UNINSTALLER_PASS
; Reads the switches from the process's own command line: NSIS itself takes only a bare /D= at
; the end (and cuts it from $CMDLINE), so a quoted "/D=C:\Some Folder" would otherwise be
; ignored and the registered folder used. Sets $AutoStart, $FolderArg and $AllowDowngrade.
Function readSwitches
  System::Call 'kernel32::GetCommandLineW() w .r0'
  StrLen $1 $0
  StrCpy $2 0
  ; The program's own path, in quotes or up to the first space.
  StrCpy $3 $0 1
  ${If} $3 == '"'
    ${Do}
      IntOp $2 $2 + 1
      StrCpy $3 $0 1 $2
      ${IfThen} $2 >= $1 ${|} ${Break} ${|}
    ${LoopUntil} $3 == '"'
    IntOp $2 $2 + 1
  ${Else}
    ${Do}
      StrCpy $3 $0 1 $2
      ${IfThen} $3 == " " ${|} ${Break} ${|}
      IntOp $2 $2 + 1
    ${LoopUntil} $2 >= $1
  ${EndIf}
  ${Do}
    StrCpy $3 $0 1 $2
    ${If} $3 == " "
    ${OrIf} $3 == "$\t"
      IntOp $2 $2 + 1
      ${Continue}
    ${EndIf}
    ${IfThen} $2 >= $1 ${|} ${Break} ${|}
    ${If} $3 == '"'
      IntOp $2 $2 + 1
      StrCpy $4 $2
      ${Do}
        StrCpy $3 $0 1 $2
        ${IfThen} $3 == '"' ${|} ${Break} ${|}
        IntOp $2 $2 + 1
      ${LoopUntil} $2 >= $1
      IntOp $5 $2 - $4
      StrCpy $5 $0 $5 $4
      IntOp $2 $2 + 1
    ${Else}
      StrCpy $4 $2
      StrCpy $5 $0 3 $2
      ${If} $5 S== "/D="
        StrCpy $2 $1  ; a bare /D= is the rest of the line, spaces and all
      ${Else}
        ${Do}
          StrCpy $3 $0 1 $2
          ${If} $3 == " "
          ${OrIf} $3 == "$\t"
            ${Break}
          ${EndIf}
          IntOp $2 $2 + 1
        ${LoopUntil} $2 >= $1
      ${EndIf}
      IntOp $5 $2 - $4
      StrCpy $5 $0 $5 $4
    ${EndIf}
    StrCpy $3 $5 3
    ${If} $5 S== "/S"
    ${OrIf} $5 S== "/NCRC"
      ${Continue}
    ${ElseIf} $5 S== "/ALLOWDOWNGRADE"
      StrCpy $AllowDowngrade 1
    ${ElseIf} $5 S== "/AUTOSTART=0"
      StrCpy $AutoStart 0
    ${ElseIf} $5 S== "/AUTOSTART=1"
      StrCpy $AutoStart 1
    ${ElseIf} $3 S== "/D="
      StrCpy $FolderArg $5 "" 3
      ${Do}  ; trailing spaces, and "C:\Folder\" is "C:\Folder"
        StrCpy $3 $FolderArg 1 -1
        StrLen $4 $FolderArg
        ${If} $3 == " "
        ${OrIf} $3 == "\"
        ${AndIf} $4 > 3
          StrCpy $FolderArg $FolderArg -1
        ${Else}
          ${Break}
        ${EndIf}
      ${Loop}
      ; Only a full path: a relative one would depend on where setup happened to be started.
      StrCpy $3 $FolderArg 2 1
      StrCpy $4 $FolderArg 2
      ${If} $3 != ":\"
      ${AndIf} $4 != "\\"
        Push "$5 (the folder must be a full path, such as /D=C:\Tools\Kalverin)"
        Call refuseSwitch
      ${EndIf}
    ${Else}
      Push $5
      Call refuseSwitch
    ${EndIf}
  ${Loop}
FunctionEnd

; Whether Windows starts Kalverin at logon now: a Run value that Task Manager has not disabled
; (its StartupApproved entry is 12 bytes; an odd first byte marks it disabled).
Function readAutoStart
  StrCpy $HasRunValue 0
  StrCpy $AutoStartWas 0
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "Kalverin"
  ${IfThen} ${Errors} ${|} Return ${|}
  StrCpy $HasRunValue 1
  StrCpy $AutoStartWas 1
  System::Alloc 16
  Pop $1
  ; HKEY_CURRENT_USER, RRF_RT_REG_BINARY
  System::Call 'advapi32::RegGetValueW(p 0x80000001, w "${STARTUP_APPROVED_KEY}", w "Kalverin", i 8, p 0, p r1, *i 16) i .r2'
  ${If} $2 = 0
    System::Call '*$1(&i1 .r3)'
    IntOp $3 $3 & 1
    ${IfThen} $3 = 1 ${|} StrCpy $AutoStartWas 0 ${|}
  ${EndIf}
  System::Free $1
FunctionEnd

Function .onInit
  SetShellVarContext current
  StrCpy $AllowDowngrade 0
  StrCpy $FolderArg ""
  ClearErrors
  ReadRegStr $OldFolder HKCU "${UNINSTALL_KEY}" "InstallLocation"
  Call readAutoStart
  ; An upgrade keeps start at logon as Windows has it; a new install starts Kalverin at logon.
  ${If} $OldFolder == ""
    StrCpy $AutoStart 1
  ${Else}
    StrCpy $AutoStart $AutoStartWas
  ${EndIf}
  Call readSwitches
  ${If} $FolderArg != ""
    StrCpy $INSTDIR $FolderArg
  ${EndIf}

  ; An older version over a newer one is asked about; a silent install refuses it unless told.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} "${VERSION}" $0 $1
    ${If} $1 = 2
    ${AndIf} $AllowDowngrade <> 1
      ${If} ${Silent}
        SetErrorLevel ${EXIT_DOWNGRADE}
        Quit
      ${EndIf}
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Kalverin $0 is installed, which is newer than this setup's Kalverin ${VERSION}.$\r$\n$\r$\nReplace it with the older version? Your quit details and settings stay." IDYES +3
      SetErrorLevel 1
      Quit
    ${EndIf}
  ${EndIf}

  ; A silent install never shows the directory page: a folder NSIS finds unusable (a part of
  ; it is a file) must not quietly become another; the install fails and says why.
  ${If} ${Silent}
    Call checkFolderWritable
  ${EndIf}
FunctionEnd

; A folder that cannot be written is refused before anything is installed (Abort in .onInit
; ends the installer, on the directory page it keeps the page open).
Function refuseFolder
  MessageBox MB_OK|MB_ICONSTOP "Kalverin cannot be installed in$\r$\n$INSTDIR$\r$\nbecause that folder cannot be created or written. Choose another folder." /SD IDOK
  SetErrorLevel ${EXIT_BAD_FOLDER}
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

; True (the errors flag clear) when $OldFolder is an installation other than $INSTDIR.
Function isMove
  SetErrors
  ${If} $OldFolder != ""
  ${AndIf} $OldFolder != $INSTDIR
  ${AndIf} $OldFolder != "$INSTDIR\"
    ClearErrors
  ${EndIf}
FunctionEnd

Function directoryLeave
  Call checkFolderWritable
  Call isMove
  ${IfNot} ${Errors}
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Kalverin is installed in$\r$\n$OldFolder$\r$\n$\r$\nSetup moves it to the folder you chose and removes the program from the old folder, with its uninstaller. Your quit details and settings stay." IDOK +2
    Abort
  ${EndIf}
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
  ; Back does not pass through the page's leave function: the box is read as it changes.
  ${NSD_OnClick} $AutoStartBox autoStartClicked
  ${NSD_CreateLabel} 12u 16u -12u 36u "Kalverin then keeps counting from the moment you log on to Windows, in the notification area of the taskbar. You can change this later by running this setup again, or in the Startup tab of Task Manager."
  Pop $0
  ${If} $HasRunValue = 1
  ${AndIf} $AutoStartWas = 0
    ${NSD_CreateLabel} 12u 54u -12u 24u "Start at logon is now switched off in the Startup tab of Task Manager. Ticking the box switches it on again."
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function autoStartClicked
  Pop $0
  Call optionsLeave
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
  ; One install: the one registered before, in another folder, goes (never kalverin.ini, which
  ; is under %APPDATA%), so that neither a second copy nor its uninstaller is left behind.
  Call isMove
  ${IfNot} ${Errors}
    DetailPrint "Removing the earlier installation in $OldFolder (your quit details and settings stay)..."
    !insertmacro KALVERIN_FILES removeFile "$OldFolder"
    Delete "$OldFolder\uninstall.exe"
    RMDir "$OldFolder"
  ${EndIf}
  SetOutPath "$INSTDIR"
  !insertmacro KALVERIN_FILES installFile ""
  File "${STAGE}\uninstall.exe"

  CreateShortCut "${PROGRAM_LINK}" "$INSTDIR\kalverin.exe" "" "$INSTDIR\kalverin.exe" 0 \
    SW_SHOWNORMAL "" "Counts your time without smoking and what it saved"
  CreateShortCut "${GUIDE_LINK}" "$INSTDIR\user-guide.html"

  ; Start at logon as chosen; unchanged, both the Run value and Task Manager's switch stay as
  ; they were (the Run value then only follows the folder).
  ${If} $AutoStart = $AutoStartWas
    ${If} $HasRunValue = 1
      WriteRegStr HKCU "${RUN_KEY}" "Kalverin" "$\"$INSTDIR\kalverin.exe$\""
    ${EndIf}
  ${ElseIf} $AutoStart = 1
    WriteRegStr HKCU "${RUN_KEY}" "Kalverin" "$\"$INSTDIR\kalverin.exe$\""
    DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Kalverin"  ; no longer disabled there
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Kalverin"
    DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Kalverin"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kalverin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kalverin developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "${HOME_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\kalverin.exe$\",0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; _?= runs uninstall.exe in place, so that it can wait for its working copy (see un.onInit).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\" _?=$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S _?=$INSTDIR"
  ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallDate" "$2$1$0"  ; YYYYMMDD
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!else  ; UNINSTALLER_PASS: this pass only makes uninstall.exe, with its own version details

; The uninstaller alone, for the setup program to carry as a file (installer/make-setup); this
; pass's own setup program is thrown away.
!uninstfinalize 'cp "%1" "${STAGE}/uninstall.exe"'
Section
  WriteUninstaller "$EXEDIR\uninstall.exe"
SectionEnd

; uninstall.exe run in place (as the registered strings run it) copies itself to a temporary
; folder and waits for that copy, which does the work: a running program's file cannot be
; deleted. The copy ends; a third run of it waits for this process to end and then deletes
; uninstall.exe and the folder. So the exit code is the real uninstaller's, and the entry in
; Apps is gone when it is 0.
Function un.onInit
  SetShellVarContext current
  StrCpy $RemoveSettings 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AFTER=" $R1
  ${IfNot} ${Errors}
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i $R1) p .r1'  ; SYNCHRONIZE
    ${If} $1 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r1, i 30000)'
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Quit
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/PARENT=" $ParentId
  ${If} ${Errors}
    StrCpy $ParentId ""
  ${EndIf}
  ; Anything but /S (and the switches of the copies) is refused.
  ${WordReplace} $R0 "/PARENT=$ParentId" "" "+" $R1
  ${WordReplaceS} $R1 "/S" "" "+" $R1
  ${WordReplace} $R1 " " "" "+" $R1
  ${If} $R1 != ""
    Push $R1
    Call un.refuseSwitch
  ${EndIf}
  ${If} $EXEPATH == "$INSTDIR\uninstall.exe"
    GetTempFileName $R1
    Delete $R1
    CreateDirectory $R1
    System::Call 'kernel32::CopyFileW(w "$EXEPATH", w "$R1\uninstall.exe", i 1) i .r0'
    ${If} $0 = 0
      MessageBox MB_OK|MB_ICONSTOP "The uninstaller could not copy itself to $R1." /SD IDOK
      SetErrorLevel ${EXIT_BAD_FOLDER}
      Quit
    ${EndIf}
    System::Call 'kernel32::GetCurrentProcessId() i .r0'
    StrCpy $R2 ""
    ${IfThen} ${Silent} ${|} StrCpy $R2 "/S " ${|}
    ClearErrors
    ExecWait '"$R1\uninstall.exe" $R2/PARENT=$0 _?=$INSTDIR' $R3
    ${If} ${Errors}
      SetErrorLevel ${EXIT_BAD_FOLDER}
    ${Else}
      SetErrorLevel $R3
    ${EndIf}
    Quit
  ${EndIf}
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
  ${NSD_CreateLabel} 0 46u 100% 28u "Quit dates and settings stay in $APPDATA\Kalverin\kalverin.ini, so that Kalverin still knows them if you install it again."
  Pop $0
  ${NSD_CreateCheckbox} 0 76u 100% 20u "Also remove kalverin.ini: the quit dates and settings of every user kept in it"
  Pop $RemoveSettingsBox
  nsDialogs::Show
FunctionEnd

Function un.optionsLeave
  ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

Section "Uninstall"
  Call un.closeRunningKalverin
  ; Only the files installed: a folder the user also keeps other files in stays, with them.
  !insertmacro KALVERIN_FILES removeFile "$INSTDIR"
  Delete "$INSTDIR\uninstall.exe"  ; fails while uninstall.exe waits for this copy: see below
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

  ; The waiting uninstall.exe still holds its file: a run of this copy deletes it once it ends.
  ${If} $ParentId != ""
    Exec '"$EXEPATH" /AFTER=$ParentId _?=$INSTDIR'
  ${EndIf}
SectionEnd
!endif
