; Pendrake setup: installs both bitnesses of the logging component, the client, the manual and
; the example scripts into Program Files and registers each component with the registration
; program of its own bitness. The setup is itself a 64-bit program: 32-bit Windows does not
; start it, and on 64-bit Windows it needs 32-bit support only for the x86 registration.
;
;   makensis -DSHIP=<release folder> -DFILES_NSH=<example list> -DVERSION=1.2.0.4
;            -DOUTFILE=<setup.exe> [-DSIGN=<tools/sign.sh>] Pendrake.nsi
;
; Use:  setup.exe [/S] [/D=<folder>]          (/D last on the line, no quotes)
;       "<folder>\Uninstall.exe" /S _?=<folder>  (runs in place: waits, and its exit code
;                                                tells the outcome; _?= unquoted, last)
; Exit codes: 0 done, 1 cancelled by the user, 2 failed.

Target amd64-unicode
ManifestDPIAware true

!ifndef SHIP | FILES_NSH | VERSION | OUTFILE
  !error "define SHIP, FILES_NSH, VERSION and OUTFILE (see the head of this file)"
!endif

!ifdef SIGN
  ; The uninstaller is signed before it is packed, so the one that setup writes at install time
  ; carries the signature too; then the setup program itself. The script signs nothing unless
  ; the environment names a key, and a failed signing fails the build.
  !uninstfinalize 'bash "${SIGN}" "%1"' = 0
  !finalize 'bash "${SIGN}" "%1"' = 0
!endif

!include LogicLib.nsh
!include MUI2.nsh
!include "${FILES_NSH}"

!define CLSID "{7880953B-8A8E-4D5A-AECD-396BF77A31E5}"
!define PROGID "Orvelle.Pendrake"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pendrake"
!define STARTMENU "$SMPROGRAMS\Pendrake"
!define EXIT_FAILED 2
!define REGSVR32_X64 "$WINDIR\System32\regsvr32.exe"
!define REGSVR32_X86 "$WINDIR\SysWOW64\regsvr32.exe"

Name "Pendrake ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pendrake"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "Pendrake ${VERSION}"
ShowInstDetails show
ShowUnInstDetails show
; A file that cannot be written fails the installation instead of being skipped.
AllowSkipFiles off

Var Failed

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${SHIP}/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\manual.htm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the manual"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Pendrake"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Pendrake Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Orvelle"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 Orvelle, MIT License"

; ---- helpers shared by the installer and the uninstaller --------------------------------------

; Runs a registration program and leaves its exit code in $R8 ("error" when it did not start).
!macro PendrakeRunRegsvr32 PROGRAM ARGS DLL
  ClearErrors
  ExecWait '"${PROGRAM}" ${ARGS} "${DLL}"' $R8
  ${If} ${Errors}
    StrCpy $R8 "error"
  ${EndIf}
!macroend

!macro PendrakeRegsvr32x64 ARGS DLL
  !insertmacro PendrakeRunRegsvr32 "${REGSVR32_X64}" "${ARGS}" "${DLL}"
!macroend

!macro PendrakeRegsvr32x86 ARGS DLL
  !insertmacro PendrakeRunRegsvr32 "${REGSVR32_X86}" "${ARGS}" "${DLL}"
!macroend

; Leaves in $R9 the in-process server registered for the class in one registry view
; (32 or 64), "" when the class is not registered there.
!macro PendrakeReadServer VIEW
  SetRegView ${VIEW}
  ClearErrors
  ReadRegStr $R9 HKCR "CLSID\${CLSID}\InprocServer32" ""
  SetRegView 64
!macroend

; Sets $R7 to 1 when $R9 names the existing file PATH, else 0. Both are brought to one form
; first: a folder given as a short name or in other letter case is still the same folder.
!macro PendrakeIsServer PATH
  StrCpy $R7 0
  ${If} $R9 != ""
    GetFullPathName /SHORT $R6 "$R9"
    GetFullPathName /SHORT $R5 "${PATH}"
    ${If} $R6 != ""
    ${AndIf} $R6 == $R5
      StrCpy $R7 1
    ${EndIf}
  ${EndIf}
!macroend

; ---- installer ------------------------------------------------------------------------------

Function .onInit
  SetShellVarContext all
  SetRegView 64
  ; Installing again goes where the installed copy is, unless /D names another folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\Pendrake"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

Function PendrakeFail
  SetErrorLevel ${EXIT_FAILED}
  MessageBox MB_ICONSTOP "Pendrake could not be installed completely; see the details.$\r$\nThe files stay in $INSTDIR; its Uninstall.exe removes them." /SD IDOK
  Abort "Installation failed."
FunctionEnd

Section "Pendrake" SecPendrake
  SectionIn RO
  StrCpy $Failed 0
  SetOverwrite on
  ClearErrors
  SetOutPath "$INSTDIR"
  ; The uninstaller comes first, so that whatever a failed installation left can be removed.
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  File "${SHIP}/PendrakeClient.exe"
  ; The client's About box reads the version of the Pendrake.dll in its own folder: the x64 one.
  File "/oname=Pendrake.dll" "${SHIP}/x64/Pendrake.dll"
  File "${SHIP}/manual.htm"
  File "${SHIP}/README.md"
  File "${SHIP}/LICENSE"
  SetOutPath "$INSTDIR\x86"
  File "${SHIP}/x86/Pendrake.dll"
  !insertmacro PendrakeInstallExamples
  SetOutPath "$INSTDIR"
  ${If} ${Errors}
    DetailPrint "Some files could not be written."
    Call PendrakeFail
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pendrake ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvelle"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\PendrakeClient.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The shortcut's working folder is $INSTDIR (the output path): the client opens manual.htm
  ; from its working folder.
  CreateDirectory "${STARTMENU}"
  CreateShortCut "${STARTMENU}\Pendrake Client.lnk" "$INSTDIR\PendrakeClient.exe"
  CreateShortCut "${STARTMENU}\Pendrake Manual.lnk" "$INSTDIR\manual.htm"

  ; x86 first, x64 last: both point the shared event source keys at their own file, and the
  ; last word goes to the native one. A Windows without 32-bit support (WOW64 is optional on
  ; Server Core) has no 32-bit program that could load the x86 file: it is installed, not
  ; registered.
  ${If} ${FileExists} "${REGSVR32_X86}"
    DetailPrint "Registering the x86 component"
    !insertmacro PendrakeRegsvr32x86 "/s" "$INSTDIR\x86\Pendrake.dll"
    !insertmacro PendrakeReadServer 32
    !insertmacro PendrakeIsServer "$INSTDIR\x86\Pendrake.dll"
    ${If} $R8 != 0
    ${OrIf} $R7 != 1
      DetailPrint "x86 registration failed (regsvr32 exit code $R8, registered server '$R9')."
      StrCpy $Failed 1
    ${EndIf}
  ${Else}
    DetailPrint "This Windows runs no 32-bit programs (no ${REGSVR32_X86}): the x86 component is not registered."
  ${EndIf}
  DetailPrint "Registering the x64 component"
  !insertmacro PendrakeRegsvr32x64 "/s" "$INSTDIR\Pendrake.dll"
  !insertmacro PendrakeReadServer 64
  !insertmacro PendrakeIsServer "$INSTDIR\Pendrake.dll"
  ${If} $R8 != 0
  ${OrIf} $R7 != 1
    DetailPrint "x64 registration failed (regsvr32 exit code $R8, registered server '$R9')."
    StrCpy $Failed 1
  ${EndIf}
  ${If} $Failed != 0
    Call PendrakeFail
  ${EndIf}
SectionEnd

; ---- uninstaller ----------------------------------------------------------------------------

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

; Unregisters the component of one view when, and only when, that view's registration is this
; copy's file; afterwards that file must no longer be registered there. The outcome is judged
; from the registry, not from regsvr32: unregistering a component that is half gone reports
; the missing type library although nothing is left behind.
!macro PendrakeUnregister VIEW DLL
  !insertmacro PendrakeReadServer ${VIEW}
  !insertmacro PendrakeIsServer "${DLL}"
  ${If} $R7 == 1
    DetailPrint "Unregistering ${DLL}"
    !insertmacro PendrakeRegsvr32x${VIEW}_Unregister "${DLL}"
    !insertmacro PendrakeReadServer ${VIEW}
    !insertmacro PendrakeIsServer "${DLL}"
    ${If} $R7 == 1
      DetailPrint "Unregistration of ${DLL} failed (regsvr32 exit code $R8)."
      StrCpy $Failed 1
    ${EndIf}
  ${EndIf}
!macroend
!macro PendrakeRegsvr32x64_Unregister DLL
  !insertmacro PendrakeRegsvr32x64 "/u /s" "${DLL}"
!macroend
!macro PendrakeRegsvr32x32_Unregister DLL
  !insertmacro PendrakeRegsvr32x86 "/u /s" "${DLL}"
!macroend

Section "Uninstall"
  StrCpy $Failed 0
  ; _?= may name any folder: one without this uninstaller holds no installation of it.
  ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
    SetErrorLevel ${EXIT_FAILED}
    MessageBox MB_ICONSTOP "There is no Pendrake installation in $INSTDIR." /SD IDOK
    Abort "Nothing to uninstall."
  ${EndIf}
  ; The first unregistration keeps the ProgIDs and the settings key with the stored defaults
  ; while the other bitness is still registered; the second removes them.
  !insertmacro PendrakeUnregister 64 "$INSTDIR\Pendrake.dll"
  !insertmacro PendrakeUnregister 32 "$INSTDIR\x86\Pendrake.dll"
  ${If} $Failed != 0
    ; The files stay while a registration still names them, so that it keeps working.
    SetErrorLevel ${EXIT_FAILED}
    MessageBox MB_ICONSTOP "Pendrake could not be unregistered; its files stay in $INSTDIR." /SD IDOK
    Abort "Uninstallation failed."
  ${EndIf}

  ClearErrors
  Delete "$INSTDIR\PendrakeClient.exe"
  Delete "$INSTDIR\Pendrake.dll"
  Delete "$INSTDIR\manual.htm"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\x86\Pendrake.dll"
  !insertmacro PendrakeDeleteExamples
  Delete "${STARTMENU}\Pendrake Client.lnk"
  Delete "${STARTMENU}\Pendrake Manual.lnk"
  ${If} ${Errors}
    DetailPrint "Some files could not be removed."
    SetErrorLevel ${EXIT_FAILED}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Folders go only when empty: what a user put into them stays. Run in place (_?=) the
  ; uninstaller cannot remove itself, and so neither its folder.
  !insertmacro PendrakeRemoveExampleFolders
  RMDir "$INSTDIR\x86"
  RMDir "${STARTMENU}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
