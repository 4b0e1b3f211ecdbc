; The Windows installer: per user, no administrator rights.
;   makensis -DVERSION=1.1.0 -DBINDIR=<folder of the two programs> -DREADME=<README.txt>
;            -DICON=<relaydeck.ico> -DOUTFILE=<setup.exe> relaydeck.nsi
; Silent use: setup.exe /S [/AUTOSTART] [/D=folder]   uninstall.exe /S [/PURGE]
; An upgrade and the uninstaller keep relaydeck.ini and the activity files unless the
; operator ticks their removal (or gives /PURGE).

; A 64-bit installer for a 64-bit program (and Wine without its 32-bit half runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Relaydeck"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Relaydeck ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Relaydeck"
InstallDirRegKey HKCU "Software\Relaydeck" "InstallDir"
BrandingText "The Relaydeck authors"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\relaydeck.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Relaydeck" SecProgram
    SectionIn RO
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${BINDIR}/relaydeck.exe"
    File "${BINDIR}/relaydeck-guard.exe"
    File "/oname=README.txt" "${README}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Relaydeck"
    CreateShortcut "$SMPROGRAMS\Relaydeck\Relaydeck.lnk" "$INSTDIR\relaydeck.exe"
    CreateShortcut "$SMPROGRAMS\Relaydeck\Read me.lnk" "$INSTDIR\README.txt"
    CreateShortcut "$SMPROGRAMS\Relaydeck\Uninstall Relaydeck.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "Software\Relaydeck" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Relaydeck"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Relaydeck authors"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\relaydeck.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Relaydeck with Windows (unattended, guarded)" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "Relaydeck" '"$INSTDIR\relaydeck-guard.exe"'
    WriteINIStr "$INSTDIR\relaydeck.ini" "RELAYDECK" "GUARDED" "1"
SectionEnd

Section "-autostart off"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
        DeleteRegValue HKCU "${RUN_KEY}" "Relaydeck"
    ${EndIf}
SectionEnd

Function .onInit
    ; An upgrade keeps the autostart choice of the installed copy.
    ReadRegStr $0 HKCU "${RUN_KEY}" "Relaydeck"
    ${If} $0 != ""
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/AUTOSTART" $2
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Section /o "un.Settings and activity logs" SecPurge
    Delete "$INSTDIR\relaydeck.ini"
    Delete "$INSTDIR\relaydeck-activity-*.csv"
SectionEnd

Section "un.Relaydeck" SecUnProgram
    SectionIn RO
    SetShellVarContext current
    DeleteRegValue HKCU "${RUN_KEY}" "Relaydeck"
    Delete "$INSTDIR\relaydeck.exe"
    Delete "$INSTDIR\relaydeck-guard.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir /r "$SMPROGRAMS\Relaydeck"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\Relaydeck"
    ; Left when it still holds the settings or the activity files.
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/PURGE" $2
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecPurge}
    ${EndIf}
FunctionEnd
