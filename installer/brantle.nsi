; Brantle's installer: the program and its command line into Program Files,
; Start-menu shortcuts, an uninstaller listed under Add/Remove Programs.
; makensis -DVERSION=x.y.z -DSOURCE=<folder of the programs> -DOUTFILE=<setup.exe>
; -DARCH=x64 makes the 64-bit installer of the 64-bit programs.
Unicode true
!ifndef ARCH
  !define ARCH x86
!endif
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define PROGRAMS "$PROGRAMFILES64"
!else
  !define PROGRAMS "$PROGRAMFILES"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Brantle"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PRODUCT} developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!include "wait_unlocked.nsh"

!macro RegView
  ; Shortcuts for every user of the machine, as the program folder is.
  SetShellVarContext all
  ; A 64-bit program lists itself in the 64-bit registry, a 32-bit one in the 32-bit view.
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro RegView
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  ; An update starts the installer just before the running program ends.
  !insertmacro WaitUnlocked "$INSTDIR\Brantle.exe" install
  File "${SOURCE}\Brantle.exe"
  File "${SOURCE}\brantle-cli.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Brantle.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Brantle.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro RegView
FunctionEnd

Section "Uninstall"
  !insertmacro WaitUnlocked "$INSTDIR\Brantle.exe" uninstall
  Delete "$INSTDIR\Brantle.exe"
  Delete "$INSTDIR\brantle-cli.exe"
  ; The program's own files beside it: its preferences, an update's leftover.
  Delete "$INSTDIR\Brantle.ini"
  Delete "$INSTDIR\Update.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
