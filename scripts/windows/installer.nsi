; The Windows installer of the Tarvo consignment program (NSIS 3, built by build.sh):
;   makensis -DVERSION=1.0.0 -DSOURCE_DIR=<shipped folder> -DOUT_FILE=<setup.exe> installer.nsi
;
; Installs the shipped folder into Program Files\Tarvo Consignment (the report definitions in
; its reports\ folder, where the program looks after the working folder), adds the Start-menu
; entries for the administrator's tools and an uninstaller, and puts the sample QLM.INI and
; Server.Dat into the suite's folder (the working folder the suite's launcher starts the
; program in) when that folder has none yet: the suite's own files are never replaced.
; Silent installation: setup.exe /S [/SUITE=C:\Suite] [/D=C:\Program Files\Tarvo Consignment]

Unicode true
; A 64-bit installer for a 64-bit program (it also runs where only 64-bit Wine is installed).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef SOURCE_DIR
  !error "SOURCE_DIR is not defined"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "tarvo-consignment-${VERSION}-setup.exe"
!endif

!define PRODUCT "Tarvo Consignment"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoConsignment"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\Tarvo\Consignment" "InstallDir"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Tarvo"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "LegalCopyright" "Tarvo"

Var SuiteDir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}\doc\copyright"
!insertmacro MUI_PAGE_DIRECTORY
; The suite's folder: where the sample settings go when it has none.
!define MUI_PAGE_HEADER_TEXT "The suite's folder"
!define MUI_PAGE_HEADER_SUBTEXT "The working folder the suite's menu launcher starts the program in."
!define MUI_DIRECTORYPAGE_TEXT_TOP "A sample QLM.INI and Server.Dat are put into this folder when it has none. Files already there are kept. Leave it empty to skip."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Suite folder"
!define MUI_DIRECTORYPAGE_VARIABLE $SuiteDir
!define MUI_DIRECTORYPAGE_VERIFYONLEAVE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows."
    Abort
  ${EndIf}
  SetRegView 64
  StrCpy $SuiteDir ""
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SUITE=" $1
  ${IfNot} ${Errors}
    StrCpy $SuiteDir $1
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Program" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r "${SOURCE_DIR}\*.*"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\Tarvo\Consignment" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tarvo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvo-consignment.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The administrator's tools. The program itself is started by the suite's launcher only.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  ; tarvo-dbinit is a console tool: a command prompt in the program's folder, with its help.
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Database set-up (tarvo-dbinit).lnk" "$SYSDIR\cmd.exe" \
    '/k "cd /d "$INSTDIR" && tarvo-dbinit.exe --help"' "$INSTDIR\tarvo-dbinit.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Administrator's guide.lnk" "$INSTDIR\doc\ADMIN.md"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Sample settings.lnk" "$INSTDIR\doc\examples"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  ${If} $SuiteDir != ""
    CreateDirectory "$SuiteDir"
    ${IfNot} ${FileExists} "$SuiteDir\QLM.INI"
      CopyFiles /SILENT "$INSTDIR\doc\examples\QLM.INI" "$SuiteDir\QLM.INI"
    ${EndIf}
    ${IfNot} ${FileExists} "$SuiteDir\Server.Dat"
      CopyFiles /SILENT "$INSTDIR\doc\examples\Server.Dat" "$SuiteDir\Server.Dat"
    ${EndIf}
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\*.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  ; Only what was installed: the suite's folder and the databases are not touched.
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\sqldrivers"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\tls"
  RMDir /r "$INSTDIR\reports"
  RMDir /r "$INSTDIR\sql"
  RMDir /r "$INSTDIR\doc"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Tarvo\Consignment"
  DeleteRegKey /ifempty HKLM "Software\Tarvo"
SectionEnd
