; Tarumin's setup program: a per-user install (no administrator) into
; %LOCALAPPDATA%\Programs\Tarumin (another folder may be chosen), a Start-menu entry, and an
; entry in the user's "Apps" to remove it. Silent with /S. The pages are Japanese or English
; by the system's language. The user's data (%APPDATA%\tarumin: the catalogue, pictures, games,
; what Tarumin remembers) is never touched, by an update or by the uninstaller, which removes
; exactly the files it installed.
;
;   makensis -DVERSION=0.9 -DPAYLOAD=<folder> -DFILES=<files.nsh> -DICON=<ico> -DOUTFILE=<exe> installer.nsi

; A 64-bit setup for a 64-bit program (and a Windows without 32-bit support).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarumin"

Name "Tarumin"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarumin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Tarumin"
VIAddVersionKey /LANG=0 "FileDescription" "Tarumin setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "The Tarumin developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 The Tarumin developers. MIT License."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tarumin.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first is the default; NSIS takes the one of the system's UI language when it is here.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

!include "${FILES}"

Section "Tarumin"
    SetShellVarContext current
    !insertmacro TaruminInstallFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Tarumin.lnk" "$INSTDIR\Tarumin.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarumin"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tarumin developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarumin.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Tarumin.lnk"
    ; What was installed, file by file, and the folders it made once they are empty: what the
    ; user put there (a mess.exe, a tarumin\ folder of their own) stays.
    !insertmacro TaruminUninstallFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
