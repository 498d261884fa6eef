#!/usr/bin/env bash
# Checks a built plug-in DLL by what can be read from it, without running it, on every machine
# (the Wine tests run the 32-bit product only where the machine runs 32-bit programs, as
# scripts/probe-32bit.sh decides): the machine type, relocations and the flags that let
# it load anywhere, the one undecorated export, imports only of the functions listed below, the
# version resource, the configuration dialog's template and the description's code page 1252
# bytes. Usage: check_dll.sh DLL i386|x86-64 MINGW_TOOL_PREFIX VERSION
set -uo pipefail
dll=$1
machine=$2
tools=$3
version=$4
source "$(dirname "$0")/check_lib.sh"
expect() { # expect DESCRIPTION TEXT PATTERN
  # Not through a pipe: with pipefail, grep -q leaving early fails the writer (SIGPIPE) at random.
  if grep -qE -- "$3" <<<"$2"; then pass "$1"; else fail "$1 (no match for: $3)"; fi
}

[ -f "$dll" ] || { echo "FAIL: no file $dll"; exit 1; }

format=$("${tools}objdump" -f "$dll" | sed -n 's/.*file format //p')
[ "$format" = "pei-$machine" ] && pass "format $format" || fail "format is '$format', not pei-$machine"

headers=$("${tools}objdump" -p "$dll")
characteristics=$(printf '%s\n' "$headers" | awk '/^Characteristics/ {print $2}')
(( (characteristics & 0x2000) != 0 )) && pass "is a DLL" || fail "not marked as a DLL ($characteristics)"
(( (characteristics & 0x0001) == 0 )) && pass "relocations kept" || fail "relocations stripped"
expect "has a base relocation table" "$headers" '^PE File Base Relocations'
dll_characteristics=$((16#$(printf '%s\n' "$headers" | awk '/^DllCharacteristics/ {print $2}')))
(( (dll_characteristics & 0x40) != 0 )) && pass "dynamic base" || fail "no dynamic-base flag"
(( (dll_characteristics & 0x100) != 0 )) && pass "NX compatible" || fail "no NX flag"
subsystem=$(printf '%s\n' "$headers" | awk '/^MajorSubsystemVersion/ {major = $2} /^MinorSubsystemVersion/ {print major "." $2}')
if [ "$machine" = i386 ]; then # 64-bit Windows begins at 5.2
  [ "$subsystem" = 4.0 ] && pass "subsystem version 4.0, as Windows 98 and NT 4 expect" \
    || fail "subsystem version $subsystem: Windows 98 and NT 4 expect 4.0"
fi

exports=$(printf '%s\n' "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s+\[' | awk '{print $NF}')
[ "$exports" = "winampGetGeneralPurposePlugin" ] && pass "one export: $exports" \
  || fail "exports are: $(echo $exports)"

# Every function the plug-in may import, as "DLL FUNCTION", each present since Windows 98 and
# NT 4, where players with the mini-browser ran: a new import fails this check until it is
# added here (one line) by someone who has made sure it is that old. Only these DLLs may be
# imported, so a function from a DLL a user's machine may lack cannot slip in.
allowed_imports=$(sed -e 's/#.*//' -e '/^ *$/d' <<'ALLOWED'
# The ID3v1 trailer: open, seek with SetFilePointer's high part (not SetFilePointerEx, which
# Windows 98, ME and NT 4 lack), read, close; the error code tells a failed seek.
KERNEL32.DLL CloseHandle
KERNEL32.DLL CreateFileA
KERNEL32.DLL GetFileType
KERNEL32.DLL GetLastError
KERNEL32.DLL ReadFile
KERNEL32.DLL SetFilePointer
KERNEL32.DLL SetLastError
# The settings in the player's ini file.
KERNEL32.DLL GetPrivateProfileIntA
KERNEL32.DLL WritePrivateProfileStringA
# What the compiler calls for comparisons, from the C library every Windows has.
MSVCRT.DLL memcmp
MSVCRT.DLL strcmp
# The configuration dialog.
USER32.DLL CheckDlgButton
USER32.DLL DialogBoxParamA
USER32.DLL EndDialog
USER32.DLL IsDlgButtonChecked
USER32.DLL SetDlgItemTextA
USER32.DLL SetWindowTextA
# The player's window: its requests, its state, its focus and the once-a-second timer.
USER32.DLL GetFocus
USER32.DLL GetWindowPlacement
USER32.DLL KillTimer
USER32.DLL SendMessageA
USER32.DLL SetFocus
USER32.DLL SetTimer
# The lyrics window: the web control's DLL loaded when first needed, the player's frame with one
# window of the plug-in's own in it, its place on the screen (MonitorFromRect, newer than NT 4,
# is looked up, not imported), and the address as a BSTR. The 64-bit build takes the
# ...LongPtrA forms of the window-style calls.
KERNEL32.DLL GetModuleHandleA
KERNEL32.DLL GetProcAddress
KERNEL32.DLL LoadLibraryA
OLEAUT32.DLL SysAllocString
OLEAUT32.DLL SysFreeString
USER32.DLL CreateWindowExA
USER32.DLL DefWindowProcA
USER32.DLL DestroyWindow
USER32.DLL GetClientRect
USER32.DLL GetSystemMetrics
USER32.DLL GetWindow
USER32.DLL GetWindowLongA
USER32.DLL GetWindowLongPtrA
USER32.DLL GetWindowRect
USER32.DLL IntersectRect
USER32.DLL IsWindow
USER32.DLL IsWindowVisible
USER32.DLL MoveWindow
USER32.DLL RegisterClassA
USER32.DLL SetParent
USER32.DLL SetWindowLongA
USER32.DLL SetWindowLongPtrA
USER32.DLL ShowWindow
USER32.DLL UnregisterClassA
# Keys in the lyrics window: its message processor translates and dispatches its keys itself
# (DispatchMessageW, which Windows 98 has only as a stub, is looked up on the NT line) and leaves
# Ctrl+Tab to the player.
KERNEL32.DLL GetVersion
USER32.DLL DispatchMessageA
USER32.DLL GetKeyState
USER32.DLL IsChild
USER32.DLL TranslateMessage
# The lyrics window's item in the player's menus (inserted with InsertMenuA, whose record-free
# form takes no structure size that NT 4 would refuse), and whether the player is minimised: all
# four in every Windows since 3.0.
USER32.DLL CheckMenuItem
USER32.DLL InsertMenuA
USER32.DLL IsIconic
USER32.DLL RemoveMenu
ALLOWED
)

# objdump -p lists each imported DLL ("DLL Name: X") with its functions, one a line.
imports=$(printf '%s\n' "$headers" |
  awk '/DLL Name:/ {dll = toupper($3); next} /^$/ {dll = ""} dll != "" && !/vma:/ {print dll, $NF}' | sort -u)
[ -n "$imports" ] || fail "no imported functions found"
while read -r module function; do
  [ -n "$module" ] || continue
  if grep -qx "$module $function" <<<"$allowed_imports"; then
    :
  elif grep -q "^$module " <<<"$allowed_imports"; then
    fail "imports $function from $module, which is not in the list of allowed imports"
  else
    fail "imports $function from $module, which a user's machine may not have"
  fi
done <<<"$imports"
pass "imports: $(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')($(wc -l <<<"$imports") functions)"

description=$'Cantovia - Plugin para cantovia de m\xFAsicas'
LC_ALL=C grep -qaF "$description" "$dll" && pass "description in code page 1252" \
  || fail "description bytes not found"

resources=$("${tools}windres" -i "$dll" -O rc 2>&1)
expect "version resource" "$resources" '^1 VERSIONINFO'
dotted=$(echo "$version" | tr '.' ',' | sed 's/,/, /g')
expect "file version $version" "$resources" "FILEVERSION ${dotted}, 0"
expect "product version $version" "$resources" "PRODUCTVERSION ${dotted}, 0"
expect "original file name" "$resources" 'VALUE "OriginalFilename", L?"gen_cantovia.dll"'
expect "product name" "$resources" 'VALUE "ProductName", L?"Cantovia"'
expect "file description" "$resources" 'VALUE "FileDescription", L?"Cantovia - Plugin para cantovia de m\\372sicas"'

# The configuration dialog: pop-up, caption, system menu, modal frame, centred, its font, and
# each control with its id, class, styles and rectangle in dialog units.
expect "dialog 101, 173 x 114" "$resources" '^101 DIALOG 0, 0, 173, 114$'
expect "dialog style" "$resources" '^STYLE 0x80c808c0$'
expect "dialog font" "$resources" '^FONT 8, "MS Sans Serif"$'
while IFS='|' read -r what line; do
  expect "$what" "$resources" "^  CONTROL $line\$"
done <<'CONTROLS'
OK, default push button|"OK", 1000, "BUTTON", 0x50030001, 19, 88, 50, 14
lookup check box|"Desabilitar o plugin", 1001, "BUTTON", 0x50010003, 13, 14, 115, 10
group box|"", 65535, "BUTTON", 0x50000007, 11, 29, 151, 50
Portuguese radio, starts the group|L?"Portugu\\352s", 1004, "BUTTON", 0x50020009, 73, 37, 75, 10
English radio|L?"Ingl\\352s", 1005, "BUTTON", 0x50000009, 73, 51, 75, 10
language label|L?"L\\355ngua:", 1006, "STATIC", 0x50000000, 18, 37, 38, 8
Cancel button|"Cancelar", 1007, "BUTTON", 0x50010000, 81, 88, 50, 14
Spanish radio|L?"Espa\\361ol", 1008, "BUTTON", 0x50000009, 73, 65, 75, 10
CONTROLS

finish "all checks passed for $dll"
