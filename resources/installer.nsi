; The installer of the plug-in: finds the player's folder, puts the DLL into its Plugins folder,
; refuses while the player runs, and writes an uninstaller that undoes exactly that. The build
; passes the names and the version (makensis -INPUTCHARSET UTF8 -D...):
;   VERSION      the project's version, for example 1.0.0
;   DLL_DIR      folder holding the built DLL
;   DLL_NAME     the DLL's file name, as the player finds it in its Plugins folder
;   OUTFILE      the installer to write
;   TARGET_AMD64 (optional) a 64-bit installer, for the tests only: its logic runs under 64-bit
;                Wine, while it reads and writes the same places as the shipped 32-bit one.
; This file is UTF-8: our own few texts are in Portuguese, English and Spanish.

!ifndef VERSION | DLL_DIR | DLL_NAME | OUTFILE
  !error "pass VERSION, DLL_DIR, DLL_NAME and OUTFILE with -D"
!endif

!define PRODUCT "Cantovia"
!define PUBLISHER "Cantovia"
!define UNINSTALLER "Uninstall ${PRODUCT}.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The player records its own folder in the default value of this key under HKEY_CURRENT_USER.
!define PLAYER_KEY "Software\Winamp"
; The class of the player's main window, present while the player runs.
!define PLAYER_WINDOW_CLASS "Winamp v1.x"
; The folder in the player's folder from which it loads its plug-ins.
!define PLAYER_PLUGINS "Plugins"

!ifdef TARGET_AMD64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
; Files go in without their modification times, so that the same sources give the same installer
; in any folder and at any time.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\Winamp"
InstallDirRegKey HKCU "${PLAYER_KEY}" ""

!define MUI_ABORTWARNING
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_SHOW DirectoryShow
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the default where the system's language is none of them.
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Spanish"

LangString PlayerRunning ${LANG_PORTUGUESEBR} "O player está aberto. Feche-o e clique em Repetir, ou clique em Cancelar para desistir."
LangString PlayerRunning ${LANG_ENGLISH} "The player is running. Close it and click Retry, or click Cancel to give up."
LangString PlayerRunning ${LANG_SPANISH} "El reproductor está abierto. Ciérrelo y haga clic en Reintentar, o haga clic en Cancelar para desistir."
LangString NoPluginsFolder ${LANG_PORTUGUESEBR} "Esta pasta não tem uma pasta ${PLAYER_PLUGINS}: provavelmente não é a pasta do player. Escolha a pasta onde o player está instalado."
LangString NoPluginsFolder ${LANG_ENGLISH} "This folder has no ${PLAYER_PLUGINS} folder: it is probably not the player's folder. Choose the folder where the player is installed."
LangString NoPluginsFolder ${LANG_SPANISH} "Esta carpeta no tiene una carpeta ${PLAYER_PLUGINS}: probablemente no es la carpeta del reproductor. Elija la carpeta donde está instalado el reproductor."

; While the player runs it may hold the DLL loaded. Interactively: Retry or Cancel; silently:
; stop with exit code 2 before anything is changed.
!macro PLAYER_CLOSED_CHECK un
  Function ${un}PlayerClosedCheck
    ${Do}
      FindWindow $0 "${PLAYER_WINDOW_CLASS}"
      ${If} $0 = 0
        Return
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(PlayerRunning)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Quit
      retry:
    ${Loop}
  FunctionEnd
!macroend
!insertmacro PLAYER_CLOSED_CHECK ""
!insertmacro PLAYER_CLOSED_CHECK "un."

!macro REGISTRY_VIEW
  !ifdef TARGET_AMD64
    SetRegView 32 ; where the 32-bit installer's entry lands on a 64-bit Windows
  !endif
!macroend

Function .onInit
  !insertmacro REGISTRY_VIEW
  ; /LANG=1033 picks the language without the dialog (the pictures of the pages use it).
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LANG=" $1
  ${If} ${Errors}
    !insertmacro MUI_LANGDLL_DISPLAY
  ${Else}
    StrCpy $LANGUAGE $1
  ${EndIf}
  Call PlayerClosedCheck
FunctionEnd

Var DirectoryText ; the page's own text above the folder, shown when the folder looks right

Function DirectoryShow
  System::Call 'user32::GetWindowText(p $mui.DirectoryPage.Text, t .r0, i ${NSIS_MAX_STRLEN})'
  StrCpy $DirectoryText $0
  Call .onVerifyInstDir
FunctionEnd

; Called whenever the folder on the directory page changes.
Function .onVerifyInstDir
  ${If} $DirectoryText == ""
    Return ; not on the directory page yet
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${PLAYER_PLUGINS}\*.*"
    SendMessage $mui.DirectoryPage.Text ${WM_SETTEXT} 0 "STR:$DirectoryText"
  ${Else}
    SendMessage $mui.DirectoryPage.Text ${WM_SETTEXT} 0 "STR:$(NoPluginsFolder)"
  ${EndIf}
FunctionEnd

Var CreatedFolder ; the highest folder this install made on the way to Plugins, or nothing

Section
  Call PlayerClosedCheck
  StrCpy $CreatedFolder ""
  StrCpy $0 "$INSTDIR\${PLAYER_PLUGINS}"
  ${Do}
    ${If} $0 == ""
    ${OrIf} ${FileExists} "$0\*.*"
      ${Break}
    ${EndIf}
    StrCpy $CreatedFolder $0
    ${GetParent} $0 $0
  ${Loop}
  ; Only these things are written; the uninstaller removes each of them.
  SetOutPath "$INSTDIR\${PLAYER_PLUGINS}"
  File "${DLL_DIR}/${DLL_NAME}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  !insertmacro MUI_LANGDLL_SAVELANGUAGE ; in the same key, for the uninstaller
  ; A reinstall that made no folder keeps what the first install recorded.
  ${If} $CreatedFolder != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedFolder" $CreatedFolder
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro REGISTRY_VIEW
  !insertmacro MUI_UNGETLANGUAGE
  Call un.PlayerClosedCheck
FunctionEnd

; $INSTDIR is the uninstaller's folder: the player's.
Section "Uninstall"
  Call un.PlayerClosedCheck
  Delete "$INSTDIR\${PLAYER_PLUGINS}\${DLL_NAME}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "CreatedFolder"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folders the install made: from Plugins up to the highest one it made, each only when
  ; empty (RMDir without /r), and none outside that one.
  ${If} $1 != ""
    StrLen $2 $1
    StrCpy $0 "$INSTDIR\${PLAYER_PLUGINS}"
    ${Do}
      StrCpy $3 $0 $2 ; its first characters, as long as the highest folder's name
      StrCpy $4 $0 1 $2 ; the character after them
      ${If} $3 != $1
        ${Break}
      ${EndIf}
      ${If} $4 != ""
      ${AndIf} $4 != "\"
        ${Break}
      ${EndIf}
      RMDir $0
      ${GetParent} $0 $0
    ${Loop}
  ${EndIf}
SectionEnd
