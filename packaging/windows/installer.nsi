; The Windows installer: both programs and the read-me under Program Files, a Start-menu entry for all
; users, and an uninstaller that Windows lists under installed apps. packaging/windows/CMakeLists.txt
; builds it with makensis -DVERSION= -DBIN_DIR= -DREADME= -DICON= -DOUTFILE= [-DSIGN=].
; "setup.exe /S" installs silently, "Uninstall.exe /S" removes it all silently.
Unicode true
; A 32-bit installer would put the 64-bit programs under "Program Files (x86)", and a Wine without 32-bit
; support does not run it at all.
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

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

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section
  SetOutPath "$INSTDIR"
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
