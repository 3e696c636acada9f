; The Windows installer: both programs and the read-me under Program Files, a Start-menu entry for all
; users, and an uninstaller that Windows lists under installed apps. packaging/windows/CMakeLists.txt
; builds it with makensis -DVERSION= -DBIN_DIR= -DREADME= -DICON= -DOUTFILE= [-DSIGN=].
; "setup.exe /S" installs silently, "Uninstall.exe /S" removes it all silently. "setup.exe /S /D=folder"
; installs into that folder, unless the folder is refused (below): then it exits with status 2 and writes
; nothing.
Unicode true
; A 32-bit installer would put the 64-bit programs under "Program Files (x86)", and a Wine without 32-bit
; support does not run it at all.
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Pelmora configuration software"
!define FOLDER "Pelmora Configuration Tool"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PelmoraConfigurationTool"
!define SHORTCUT "$SMPROGRAMS\${FOLDER}.lnk"

; -DSIGN=command: signs a file in place (scripts/sign-windows.sh); the uninstaller before it goes in.
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${FOLDER}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
# The pages' footer names the product, not the installer generator.
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; $R0: 1 when the install folder is refused, else 0. Refused are the Windows folder and
; everything under it, and a folder that holds files but not our program: another product's, whose
; files ours would replace and whose README.txt and Uninstall.exe our uninstall would then delete.
Function CheckInstallFolder
  Push $R1
  Push $R2
  StrCpy $R0 0
  GetFullPathName $R1 "$INSTDIR"
  ${If} $R1 == ""
    StrCpy $R1 "$INSTDIR"
  ${EndIf}
  Push $R1
  Push $WINDIR
  Call IsInFolder
  Pop $R2
  ${If} $R2 == 1
    StrCpy $R0 1
  ${Else}
    ${DirState} "$R1" $R2
    ${If} $R2 == 1
    ${AndIfNot} ${FileExists} "$R1\pelmora-config.exe"
      StrCpy $R0 1
    ${EndIf}
  ${EndIf}
  Pop $R2
  Pop $R1
FunctionEnd

; Pushes 1 when PATH (pushed first) is FOLDER (pushed second) or inside it, else 0. Case-insensitive, as
; Windows' file names are; short (8.3) names of existing folders are compared too.
Function IsInFolder
  Exch $R1 ; folder
  Exch
  Exch $R2 ; path
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R5 0
  ${Do}
    StrLen $R3 $R1
    StrCpy $R4 $R2 $R3
    ${If} $R4 == $R1
      StrCpy $R4 $R2 1 $R3
      ${If} $R4 == ""
      ${OrIf} $R4 == "\"
        StrCpy $R5 1
        ${Break}
      ${EndIf}
    ${EndIf}
    ; Once more with the short forms, unless one is missing (no such folder) or they are the same.
    GetFullPathName /SHORT $R3 $R1
    GetFullPathName /SHORT $R4 $R2
    ${If} $R3 == ""
    ${OrIf} $R4 == ""
      ${Break}
    ${EndIf}
    ${If} $R3 == $R1
    ${AndIf} $R4 == $R2
      ${Break}
    ${EndIf}
    StrCpy $R1 $R3
    StrCpy $R2 $R4
  ${Loop}
  StrCpy $R1 $R5
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Exch $R1
FunctionEnd

Function .onInit
  SetShellVarContext all
  SetRegView 64
  ; A silent install shows no folder page, so the folder (/D=) is checked here.
  ${If} ${Silent}
    Call CheckInstallFolder
    ${If} $R0 == 1
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; The folder page's Next button stays disabled on a refused folder.
Function .onVerifyInstDir
  Call CheckInstallFolder
  ${If} $R0 == 1
    Abort
  ${EndIf}
FunctionEnd

; Program Files lets only administrators change what is in it. A folder elsewhere inherits what its parent
; allows (under C:\ any signed-in user may change it), so the program that administrators run gets a
; folder that only Administrators and SYSTEM can write to, and that Users can read and run from. Set
; before the files go in, which inherit it.
Function LimitWriters
  Push $INSTDIR
  Push $PROGRAMFILES64
  Call IsInFolder
  Pop $R0
  ${If} $R0 == 1
    Return
  ${EndIf}
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR" /inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX'
  Pop $R0
  ${If} $R0 != 0
    RMDir "$INSTDIR"
    MessageBox MB_ICONSTOP "The folder's permissions could not be set ($R0). Nothing was installed." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  Call LimitWriters
  File "${BIN_DIR}/pelmora-config.exe"
  File "${BIN_DIR}/pelmora-scan.exe"
  File "${README}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\pelmora-config.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pelmora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmora-config.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Names each installed file rather than removing the folder whole, so nothing a user put beside the
; programs (an exported list, say) is lost; the folder goes when it is empty.
; A program still running cannot be deleted: then the entry stays, so that the uninstall can be run again.
Section "Uninstall"
  ClearErrors
  Delete "$INSTDIR\pelmora-config.exe"
  Delete "$INSTDIR\pelmora-scan.exe"
  IfErrors 0 +3
    MessageBox MB_ICONSTOP "A Pelmora program is still running. Close it, then uninstall again." /SD IDOK
    Abort
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
