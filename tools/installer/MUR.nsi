; The Windows installer for MUR: the VST3 bundle into the standard VST3
; folder, the factory presets into the user's documents, and an uninstaller
; that removes exactly those. Built on Linux by scripts/build-installer.sh:
;   makensis -DVERSION=1.0.0 -DBUNDLE=... -DPRESETS_LIST=... -DOUTFILE=... MUR.nsi

; A 64-bit setup program: MUR's hosts are 64-bit, and so is everything it writes.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif

!define PRODUCT "MUR"
!define MAKER "Corvane"
!define MAKER_URL "https://corvane.com"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PRODUCT_KEY "Software\${MAKER}\${PRODUCT}"
!define UNINSTALLER "Uninstall MUR.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${MAKER}\${PRODUCT}"
BrandingText "${MAKER} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright 2026 ${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

; Where the factory presets go; an upgrade keeps the folder chosen before.
Var PresetDir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_DIRECTORYPAGE_VARIABLE $PresetDir
!define MUI_DIRECTORYPAGE_TEXT_TOP "MUR.vst3 goes into the standard VST3 folder ($COMMONFILES64\VST3). Choose where its factory presets go; MUR looks for them in Documents\Corvane\MUR\Presets\Factory."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Factory presets folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The factory preset files, listed at build time: InstallPresets and RemovePresets.
!include "${PRESETS_LIST}"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext current
  ReadRegStr $PresetDir HKLM "${PRODUCT_KEY}" "PresetDir"
  ${If} $PresetDir == ""
    StrCpy $PresetDir "$DOCUMENTS\${MAKER}\${PRODUCT}\Presets\Factory"
  ${EndIf}
FunctionEnd

Section "MUR" Main
  SectionIn RO
  SetShellVarContext current

  ; The bundle is replaced whole: an upgrade leaves nothing of the old one.
  RMDir /r "$COMMONFILES64\VST3\${PRODUCT}.vst3"
  SetOutPath "$COMMONFILES64\VST3\${PRODUCT}.vst3"
  File /r "${BUNDLE}/*"

  ; Only the factory files are written; anything else in the folder stays.
  SetOutPath "$PresetDir"
  !insertmacro InstallPresets

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${PRODUCT_KEY}" "PresetDir" "$PresetDir"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${MAKER_URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${MAKER_URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext current
  ReadRegStr $PresetDir HKLM "${PRODUCT_KEY}" "PresetDir"
FunctionEnd

Section "Uninstall"
  RMDir /r "$COMMONFILES64\VST3\${PRODUCT}.vst3"

  ; The factory files this version wrote, then their folder if nothing else
  ; is left in it. User presets beside or inside it stay.
  ${If} $PresetDir != ""
    !insertmacro RemovePresets
    RMDir "$PresetDir"
  ${EndIf}

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${MAKER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "Software\${MAKER}"
SectionEnd
