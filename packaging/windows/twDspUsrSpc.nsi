; The viewer's Windows installer, built on Debian with makensis
; (scripts/package-windows.sh passes VERSION and STAGE, the folder holding
; what is installed). Per user by default, for every user with /AllUsers
; (asks for elevation); /S installs silently.
; A 64-bit installer, as the programs are (and Wine without 32-bit support runs it).
Target amd64-unicode
!define APPNAME "twDspUsrSpc"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APPNAME}"
!define PROG_ID "twDspUsrSpc.SavedUserSpace"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APPNAME}"
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!include MultiUser.nsh
!include MUI2.nsh

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}\twDspUsrSpc.exe"
  File "${STAGE}\twDspUsrSpc.com"
  File "${STAGE}\twmgr.ressource.EN"
  File "${STAGE}\twmgr.ressource.FR"
  File "${STAGE}\README.md"
  File "${STAGE}\LICENSE.txt"
  SetOutPath "$INSTDIR\samples\127.0.0.1"
  File "${STAGE}\samples\127.0.0.1\TWMODEL001.twus"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\twDspUsrSpc.exe"

  ; Saved user spaces open in the viewer (SHCTX: the user's or the machine's
  ; classes, as the install mode says).
  WriteRegStr SHCTX "Software\Classes\.twus" "" "${PROG_ID}"
  WriteRegStr SHCTX "Software\Classes\${PROG_ID}" "" "Saved Tidewell user space"
  WriteRegStr SHCTX "Software\Classes\${PROG_ID}\DefaultIcon" "" "$INSTDIR\twDspUsrSpc.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROG_ID}\shell\open\command" "" '"$INSTDIR\twDspUsrSpc.exe" "%1"'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\twDspUsrSpc.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\twDspUsrSpc.exe"
  Delete "$INSTDIR\twDspUsrSpc.com"
  Delete "$INSTDIR\twmgr.ressource.EN"
  Delete "$INSTDIR\twmgr.ressource.FR"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\samples\127.0.0.1\TWMODEL001.twus"
  RMDir "$INSTDIR\samples\127.0.0.1"
  RMDir "$INSTDIR\samples"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  ; The association only while it is still ours.
  ReadRegStr $0 SHCTX "Software\Classes\.twus" ""
  StrCmp $0 "${PROG_ID}" 0 +2
    DeleteRegKey SHCTX "Software\Classes\.twus"
  DeleteRegKey SHCTX "Software\Classes\${PROG_ID}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
