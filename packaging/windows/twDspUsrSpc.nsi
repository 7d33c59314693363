; The Windows installer of twDspUsrSpc, built on Debian by
; scripts/package-windows.sh:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder> -DOUTFILE=<installer.exe> twDspUsrSpc.nsi
; STAGE holds what the zip holds. The user installs for themselves (no
; administrator needed, under %LOCALAPPDATA%\Programs) or for every user of
; the machine (Program Files); silently with /S and /CurrentUser or /AllUsers.
; A .twus snapshot opens in the viewer; the uninstaller removes only the
; files and keys it wrote.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | OUTFILE
  !error "Define VERSION, STAGE and OUTFILE (see scripts/package-windows.sh)."
!endif

!define PRODUCT "twDspUsrSpc"
!define PROGRAM "twDspUsrSpc.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SNAPSHOT_CLASS "twDspUsrSpc.Snapshot"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "LegalCopyright" "MIT licence"

!define MUI_ABORTWARNING
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  StrCpy $0 $INSTDIR  ; a folder given with /D=, which the install mode would replace
  !insertmacro MULTIUSER_INIT
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}\twDspUsrSpc.exe"
  File "${STAGE}\twDspUsrSpc.com"
  File "${STAGE}\twus_make.exe"
  File "${STAGE}\twmgr.ressource.EN"
  File "${STAGE}\twmgr.ressource.FR"
  File "${STAGE}\README.md"
  File "${STAGE}\LICENSE.txt"
  SetOutPath "$INSTDIR\samples\127.0.0.1"
  File "${STAGE}\samples\127.0.0.1\TWMODEL001.twus"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"

  ; SHCTX is HKCU or HKLM as the install mode chose.
  WriteRegStr SHCTX "Software\Classes\.twus" "" "${SNAPSHOT_CLASS}"
  WriteRegStr SHCTX "Software\Classes\${SNAPSHOT_CLASS}" "" "${PRODUCT} snapshot"
  WriteRegStr SHCTX "Software\Classes\${SNAPSHOT_CLASS}\DefaultIcon" "" "$INSTDIR\${PROGRAM},0"
  WriteRegStr SHCTX "Software\Classes\${SNAPSHOT_CLASS}\shell\open\command" "" '"$INSTDIR\${PROGRAM}" "%1"'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  ; Tell the shell that a file type changed (SHCNE_ASSOCCHANGED).
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\twDspUsrSpc.exe"
  Delete "$INSTDIR\twDspUsrSpc.com"
  Delete "$INSTDIR\twus_make.exe"
  Delete "$INSTDIR\twmgr.ressource.EN"
  Delete "$INSTDIR\twmgr.ressource.FR"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\samples\127.0.0.1\TWMODEL001.twus"
  RMDir "$INSTDIR\samples\127.0.0.1"
  RMDir "$INSTDIR\samples"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"  ; only when empty: files the user put there stay

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; The file type only while it still names this viewer.
  ReadRegStr $0 SHCTX "Software\Classes\.twus" ""
  ${If} $0 == "${SNAPSHOT_CLASS}"
    DeleteRegKey SHCTX "Software\Classes\.twus"
  ${EndIf}
  DeleteRegKey SHCTX "Software\Classes\${SNAPSHOT_CLASS}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
