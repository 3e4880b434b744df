; Zentura's installer: the program, its tray companion, settings and
; language files into Program Files, Start-menu shortcuts, an uninstaller
; listed under Add/Remove Programs.
; makensis -DVERSION=a.b.c.d -DSOURCE=<folder of the programs> -DDATA=<folder
; with Zentura.ini and Language> -DOUTFILE=<setup.exe>
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

!define PRODUCT "Zentura"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}"
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
  !insertmacro WaitUnlocked "$INSTDIR\Zentura.exe" install
  File "${SOURCE}\Zentura.exe"
  File "${SOURCE}\zentray.exe"
  ; The user's settings survive an update.
  SetOverwrite off
  File "${DATA}\Zentura.ini"
  SetOverwrite on
  SetOutPath "$INSTDIR\Language"
  File "${DATA}\Language\*.lng"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Zentura.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zentura.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro RegView
  ; temp.ini is the record of game mode: the services and programs it names
  ; are still stopped. Removing it would lose the way back.
  IfFileExists "$INSTDIR\temp.ini" 0 done
    MessageBox MB_YESNO|MB_ICONEXCLAMATION \
      "Zentura is still in game mode: the services and programs it stopped have not been restarted.$\r$\n$\r$\nStart Zentura and switch back to normal mode first. Uninstall anyway (they stay stopped)?" \
      /SD IDNO IDYES done
    SetErrorLevel 3
    Abort
  done:
FunctionEnd

Section "Uninstall"
  !insertmacro WaitUnlocked "$INSTDIR\Zentura.exe" uninstall
  Delete "$INSTDIR\Zentura.exe"
  Delete "$INSTDIR\zentray.exe"
  Delete "$INSTDIR\Zentura.ini"
  Delete "$INSTDIR\temp.ini"
  Delete "$INSTDIR\zenupdate.upt"
  Delete "$INSTDIR\Language\*.lng"
  RMDir "$INSTDIR\Language"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
