; Velmora's installer: Program Files\Velmora, a Start-menu entry "Velmora", the option to start
; with Windows and an uninstaller that takes all of it away again, the settings only when asked.
; installer/CMakeLists.txt runs makensis with VERSAO, PALCO (the folder of the programs to ship),
; ICONE, SAIDA and, when the tray program is built, BANDEJA.
;
; Command line: /S (silent), /INICIAR=1 or /INICIAR=0 (start with Windows; a silent install
; does not turn it on unless asked, nor off), /D=<folder> (last). The uninstaller: /S,
; /REMOVERCONFIG=1.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define EXECUTAR "Software\Microsoft\Windows\CurrentVersion\Run"
!define DESINSTALAR "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define DESINSTALADOR "desinstalar.exe"

; What the Start menu and Windows start: the tray program; a build without it starts the console
; one, watching the folder in its place.
!ifdef BANDEJA
    !define PROGRAMA "velmora.exe"
    !define PARAMETROS ""
    !define COMANDO '"$INSTDIR\velmora.exe"'
!else
    !define PROGRAMA "velmora-console.exe"
    !define PARAMETROS "--headless"
    !define COMANDO '"$INSTDIR\velmora-console.exe" --headless'
!endif

; The files of the program, for installing, checking and removing alike.
!macro Programas ACAO
    !insertmacro ${ACAO} "velmora-console.exe"
    !ifdef BANDEJA
        !insertmacro ${ACAO} "velmora.exe"
    !endif
!macroend

Name "Velmora"
OutFile "${SAIDA}"
InstallDir "$PROGRAMFILES64\Velmora"
InstallDirRegKey HKLM "${DESINSTALAR}" "InstallLocation"
; Program Files and HKLM need an administrator. HKCU is the account that runs the installer: an
; administrator who elevates another user's session writes the Run value for himself. Wine asks
; nothing and runs it as an administrator.
RequestExecutionLevel admin
BrandingText "Velmora ${VERSAO}"
; Refuse to skip a file that cannot be written: a skipped file is a half install.
AllowSkipFiles off

!define MUI_ICON "${ICONE}"
!define MUI_UNICON "${ICONE}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

VIProductVersion "${VERSAO}.0"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "ProductName" "Velmora"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "CompanyName" "Velmora"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "FileDescription" "Instalador do Velmora"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "FileVersion" "${VERSAO}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "ProductVersion" "${VERSAO}"
VIAddVersionKey /LANG=${LANG_PORTUGUESEBR} "LegalCopyright" "© Velmora"

Var Novo  ; 1 when nothing was installed in $INSTDIR before: a failure then removes everything
Var Iniciar  ; /INICIAR= of the command line: "1", "0" or empty

Function Falha
    Exch $0
    DetailPrint "Não foi possível gravar $0"
    MessageBox MB_OK|MB_ICONSTOP "Não foi possível gravar $0.$\r$\n$\r$\nSe o Velmora \
        estiver aberto, feche-o e rode o instalador de novo." /SD IDOK
    Abort "Instalação cancelada: não foi possível gravar $0"
FunctionEnd

; A program being replaced must be writable before anything is copied: Windows keeps a running
; .exe from being overwritten.
!macro Gravavel ARQUIVO
    ${If} ${FileExists} "$INSTDIR\${ARQUIVO}"
        ClearErrors
        FileOpen $1 "$INSTDIR\${ARQUIVO}" a
        ${If} ${Errors}
            Push "$INSTDIR\${ARQUIVO}"
            Call Falha
        ${EndIf}
        FileClose $1
    ${EndIf}
!macroend

!macro Copia ARQUIVO
    ClearErrors
    File "/oname=$INSTDIR\${ARQUIVO}" "${PALCO}\${ARQUIVO}"
    ${If} ${Errors}
        Push "$INSTDIR\${ARQUIVO}"
        Call Falha
    ${EndIf}
!macroend

!macro Remove ARQUIVO
    Delete "$INSTDIR\${ARQUIVO}"
!macroend

Section "Velmora" SecPrograma
    SectionIn RO
    StrCpy $Novo 1
    ${If} ${FileExists} "$INSTDIR\${DESINSTALADOR}"
        StrCpy $Novo 0
    ${EndIf}
    ClearErrors
    CreateDirectory "$INSTDIR"
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
        Push "$INSTDIR"
        Call Falha
    ${EndIf}
    !insertmacro Programas Gravavel
    !insertmacro Gravavel "${DESINSTALADOR}"
    SetOutPath "$INSTDIR"
    !insertmacro Programas Copia
    ClearErrors
    WriteUninstaller "$INSTDIR\${DESINSTALADOR}"
    ${If} ${Errors}
        Push "$INSTDIR\${DESINSTALADOR}"
        Call Falha
    ${EndIf}

    SetShellVarContext all
    ; -1 is the icon resource id 1: the program's first icon is the eye's first frame, named
    ; resources coming before numbered ones.
    CreateShortcut "$SMPROGRAMS\Velmora.lnk" "$INSTDIR\${PROGRAMA}" "${PARAMETROS}" \
        "$INSTDIR\${PROGRAMA}" -1
    SetShellVarContext current

    ; Last, so that a failed install never shows in Apps and Features.
    WriteRegStr HKLM "${DESINSTALAR}" "DisplayName" "Velmora"
    WriteRegStr HKLM "${DESINSTALAR}" "DisplayVersion" "${VERSAO}"
    WriteRegStr HKLM "${DESINSTALAR}" "Publisher" "Velmora"
    WriteRegStr HKLM "${DESINSTALAR}" "DisplayIcon" "$INSTDIR\${PROGRAMA},-1"
    WriteRegStr HKLM "${DESINSTALAR}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${DESINSTALAR}" "UninstallString" '"$INSTDIR\${DESINSTALADOR}"'
    WriteRegStr HKLM "${DESINSTALAR}" "QuietUninstallString" '"$INSTDIR\${DESINSTALADOR}" /S'
    WriteRegDWORD HKLM "${DESINSTALAR}" "NoModify" 1
    WriteRegDWORD HKLM "${DESINSTALAR}" "NoRepair" 1
    SectionGetSize ${SecPrograma} $0
    WriteRegDWORD HKLM "${DESINSTALAR}" "EstimatedSize" $0
SectionEnd

Section "Iniciar com o Windows" SecIniciar
    WriteRegStr HKCU "${EXECUTAR}" "Velmora" '${COMANDO}'
SectionEnd

; Unchecked in the window or /INICIAR=0 turns off what an earlier install turned on; a silent
; update that does not say keeps it as it was.
Section "-Sem início com o Windows"
    ${IfNot} ${SectionIsSelected} ${SecIniciar}
        ${If} $Iniciar == "0"
        ${OrIfNot} ${Silent}
            DeleteRegValue HKCU "${EXECUTAR}" "Velmora"
        ${EndIf}
    ${EndIf}
SectionEnd

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/INICIAR=" $Iniciar
    ${If} $Iniciar == "0"
        !insertmacro UnselectSection ${SecIniciar}
    ${ElseIf} ${Silent}
    ${AndIf} $Iniciar != "1"
        !insertmacro UnselectSection ${SecIniciar}
    ${EndIf}
FunctionEnd

; An aborted first install takes its files away again; an update keeps the version it replaces.
Function .onInstFailed
    ${If} $Novo == 1
        !insertmacro Programas Remove
        Delete "$INSTDIR\${DESINSTALADOR}"
        RMDir "$INSTDIR"
    ${EndIf}
FunctionEnd

Section "un.Velmora" SecDesPrograma
    SectionIn RO
    SetShellVarContext all
    Delete "$SMPROGRAMS\Velmora.lnk"
    SetShellVarContext current
    DeleteRegValue HKCU "${EXECUTAR}" "Velmora"
    !insertmacro Programas Remove
    Delete "$INSTDIR\${DESINSTALADOR}"
    DeleteRegKey HKLM "${DESINSTALAR}"
    RMDir "$INSTDIR"
SectionEnd

; The settings and the spooler's state, beside the programs or in the user's folders.
Section /o "un.Configurações (VELMORA.INI)" SecDesConfiguracoes
    Delete "$INSTDIR\VELMORA.INI"
    Delete "$INSTDIR\VELMORA.ESTADO"
    RMDir "$INSTDIR"
    Delete "$APPDATA\Velmora\VELMORA.INI"
    Delete "$APPDATA\Velmora\VELMORA.ESTADO"
    RMDir "$APPDATA\Velmora"
    Delete "$LOCALAPPDATA\Velmora\VELMORA.ESTADO"
    RMDir "$LOCALAPPDATA\Velmora"
SectionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVERCONFIG=" $1
    ${If} $1 == "1"
        !insertmacro SelectSection ${SecDesConfiguracoes}
    ${EndIf}
FunctionEnd
