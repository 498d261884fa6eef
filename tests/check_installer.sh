#!/usr/bin/env bash
# Runs the installer and its uninstaller silently under Wine, in a prefix of their own, and
# checks what a user's machine is left with: the DLL in the player's Plugins folder, the
# uninstall entry, and the player's ini file and other plug-ins untouched; and that both refuse,
# changing nothing, while the player's window is open. Each case starts from a clean registry
# and clean folders. Where this machine does not run the installer's programs, it says why on
# one line and exits with 77 (skipped).
# Also, driving its pages: the directory page proposes the player's folder, else Program Files,
# and warns of a folder without a Plugins folder.
# ARCH is the installer's and the prefix's: win32 or win64, or win32-on-win64 for the shipped
# 32-bit installer in a 64-bit prefix, as on a 64-bit Windows (only where this machine runs
# 32-bit programs).
# Usage: check_installer.sh ARCH SETUP_EXE DLL PLAYER_WINDOW_EXE INSTALLER_PAGES_EXE PREFIX VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
arch=$1 setup=$2 dll=$3 helper=$4 pages=$5 prefix=$6 version=$7
case $arch in
  win32 | win64) prefix_arch=$arch programs_arch=$arch ;;
  win32-on-win64) prefix_arch=win64 programs_arch=win32 ;;
  *) echo "FAIL: unknown ARCH $arch"; exit 1 ;;
esac

if [ "${CANTOVIA_INSTALLER_SESSION:-}" != "$prefix" ]; then
  # The installer's programs first: a 64-bit prefix alone would not tell.
  skip_reason=$(source "$here/scripts/wine-arch.sh" && wine_arch "$programs_arch" && echo "$WINE_SKIP_REASON") ||
    { echo "FAIL: cannot tell whether this machine runs the installer"; exit 1; }
  [ -z "$skip_reason" ] || { echo "skipped: $skip_reason"; exit 77; }
  export CANTOVIA_INSTALLER_SESSION=$prefix
  exec "$here/scripts/wine-session.sh" "$prefix_arch" "$prefix" "$0" "$@"
fi

source "$(dirname "$0")/check_lib.sh"
win() { "$here/scripts/wine-run.sh" "$prefix_arch" "$@" </dev/null; }

probe=$(win cmd /c exit 2>&1)
status=$?
if [ $status -eq 77 ]; then
  echo "$probe" | head -n 1
  exit 77
fi
[ $status -eq 0 ] || { echo "FAIL: Wine does not start in $prefix: $probe"; exit 1; }

# What the player looks like to the installer.
player_key='HKCU\Software\Winamp'   # where the player records its folder (default value)
player_class='Winamp v1.x'          # the class of the player's main window
drive_c=$WINEPREFIX/drive_c
# A folder of the player's, named in the registry. No spaces: the uninstaller reads "_?=" only
# unquoted, and Wine quotes an argument with spaces.
player_dir='C:\Apps\Player'
player_unix="$drive_c/Apps/Player"
# Without the key, Program Files: the 32-bit programs' "Program Files (x86)" for the 32-bit
# installer on a 64-bit Windows; the 64-bit one for the 64-bit test installer.
if [ "$arch" = win32-on-win64 ]; then
  default_dir='C:\Program Files (x86)\Winamp'
else
  default_dir='C:\Program Files\Winamp'
fi
default_unix="$drive_c/${default_dir#C:\\}"
default_unix=${default_unix//\\//}
# On a 64-bit Windows the entry lands in the 32-bit registry view, for both installers.
if [ "$arch" = win32 ]; then
  uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cantovia'
else
  uninstall_key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Cantovia'
fi
uninstaller='Uninstall Cantovia.exe'

reg_value() { # KEY VALUE: the value's data, or nothing
  win reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
entry_exists() { win reg query "$uninstall_key" >/dev/null 2>&1; }
no_entry() { ! entry_exists; }
same() { cmp -s "$1" "$2"; }
listing() { (cd "$1" && find . -type f | sort | tr '\n' ' '); }

# The uninstaller, run as the uninstall entry runs it (without "_?="), copies itself into the
# temporary folder, starts the copy and returns at once: wait until no copy runs.
wait_for_uninstaller_copy() {
  # NSIS names the copy Un.exe.
  win "$pages" ended Un.exe 30 >/dev/null 2>&1 || { echo "the uninstaller's copy still runs"; return 1; }
}

reset() {
  win reg delete "$player_key" /f >/dev/null 2>&1
  win reg delete "$uninstall_key" /f >/dev/null 2>&1
  rm -rf "$drive_c/Apps" "$default_unix"
}

# A player's folder as the player leaves it: its ini file with the plug-in's settings, another
# plug-in, and an older copy of ours.
scratch=$(mktemp -d)
helper_pid=
trap 'rm -rf "$scratch"; [ -z "$helper_pid" ] || kill "$helper_pid" 2>/dev/null' EXIT
printf '[Winamp]\r\nskin=Base\r\n[Cantovia - Plugin para cantovia de m\xfasicas]\r\nhabilitado=0\r\nlingua=3\r\n' \
  >"$scratch/winamp.ini"
printf 'an older gen_cantovia.dll' >"$scratch/old.dll"
printf 'another plug-in' >"$scratch/gen_other.dll"
player_folder() {
  mkdir -p "$player_unix/Plugins"
  cp "$scratch/winamp.ini" "$player_unix/winamp.ini"
  cp "$scratch/old.dll" "$player_unix/Plugins/gen_cantovia.dll"
  cp "$scratch/gen_other.dll" "$player_unix/Plugins/gen_other.dll"
  win reg add "$player_key" /ve /d "$player_dir" /f >/dev/null 2>&1
}

# The player's window, open until stopped.
open_player() {
  : >"$scratch/helper.out"
  win "$helper" "$player_class" 120 >"$scratch/helper.out" 2>&1 &
  helper_pid=$!
  for _ in $(seq 100); do
    grep -q '^open' "$scratch/helper.out" && return 0
    sleep 0.1
  done
  echo "the player's window did not open: $(cat "$scratch/helper.out")"
  return 1
}
close_player() {
  win taskkill /f /im "$(basename "$helper")" >/dev/null 2>&1
  wait "$helper_pid" 2>/dev/null
  helper_pid=
}

echo "== silent install into the folder named by $player_key, over an older copy"
reset
player_folder
win "$setup" /S
status=$?
check "exit status 0 (was $status)" [ $status -eq 0 ]
check "the DLL is the built one" same "$dll" "$player_unix/Plugins/gen_cantovia.dll"
check "the ini file is unchanged" same "$scratch/winamp.ini" "$player_unix/winamp.ini"
check "the other plug-in is unchanged" same "$scratch/gen_other.dll" "$player_unix/Plugins/gen_other.dll"
check "the uninstaller is in the player's folder" [ -f "$player_unix/$uninstaller" ]
check "nothing in Program Files" [ ! -e "$default_unix" ]
name=$(reg_value "$uninstall_key" DisplayName)
check "DisplayName '$name' names Cantovia" grep -q Cantovia <<<"$name"
command=$(reg_value "$uninstall_key" UninstallString)
check "UninstallString $command" [ "$command" = "\"$player_dir\\$uninstaller\"" ]
shown=$(reg_value "$uninstall_key" DisplayVersion)
check "DisplayVersion '$shown'" [ "$shown" = "$version" ]
publisher=$(reg_value "$uninstall_key" Publisher)
check "Publisher '$publisher'" [ -n "$publisher" ]

echo "== silent install while the player's window is open"
reset
player_folder
if open_player; then
  win "$setup" /S
  status=$?
  close_player
  check "exit status non-zero (was $status)" [ $status -ne 0 ]
  check "the older copy is as it was" same "$scratch/old.dll" "$player_unix/Plugins/gen_cantovia.dll"
  check "no uninstaller" [ ! -e "$player_unix/$uninstaller" ]
  check "no uninstall entry" no_entry
  check "the ini file is unchanged" same "$scratch/winamp.ini" "$player_unix/winamp.ini"
else
  fail "the player's window did not open"
fi

echo "== silent install without $player_key"
reset
win "$setup" /S
status=$?
check "exit status 0 (was $status)" [ $status -eq 0 ]
check "the DLL in ${default_unix#"$drive_c/"}/Plugins" same "$dll" "$default_unix/Plugins/gen_cantovia.dll"
check "the uninstaller in ${default_unix#"$drive_c/"}" [ -f "$default_unix/$uninstaller" ]
win "$default_unix/$uninstaller" /S
wait_for_uninstaller_copy
check "its uninstall removes the folders it made: ${default_unix#"$drive_c/"}" [ ! -e "$default_unix" ]

echo "== install into the player's folder without Plugins, over an empty folder of its own, uninstall"
reset
mkdir -p "$player_unix/Skins"
cp "$scratch/winamp.ini" "$player_unix/winamp.ini"
win reg add "$player_key" /ve /d "$player_dir" /f >/dev/null 2>&1
win "$setup" /S
check "the DLL in the Plugins folder it made" same "$dll" "$player_unix/Plugins/gen_cantovia.dll"
win "$player_unix/$uninstaller" /S
wait_for_uninstaller_copy
check "Plugins, which it made, is gone" [ ! -e "$player_unix/Plugins" ]
check "the player's empty Skins folder stays" [ -d "$player_unix/Skins" ]
check "the ini file is unchanged" same "$scratch/winamp.ini" "$player_unix/winamp.ini"
reset
mkdir -p "$player_unix/Plugins"
win reg add "$player_key" /ve /d "$player_dir" /f >/dev/null 2>&1
win "$setup" /S
win "$player_unix/$uninstaller" /S
wait_for_uninstaller_copy
check "an empty Plugins folder that was there stays" [ -d "$player_unix/Plugins" ]

echo "== silent uninstall (/S _?=the player's folder), first while the player's window is open"
reset
player_folder
win "$setup" /S >/dev/null
if open_player; then
  win "$player_unix/$uninstaller" /S "_?=$player_dir"
  status=$?
  close_player
  check "refused: exit status non-zero (was $status)" [ $status -ne 0 ]
  check "refused: the DLL is still there" same "$dll" "$player_unix/Plugins/gen_cantovia.dll"
  check "refused: the entry is still there" entry_exists
else
  fail "the player's window did not open"
fi
win "$player_unix/$uninstaller" /S "_?=$player_dir"
status=$?
check "exit status 0 (was $status)" [ $status -eq 0 ]
check "the DLL is gone" [ ! -e "$player_unix/Plugins/gen_cantovia.dll" ]
check "the entry is gone" no_entry
check "the ini file is unchanged" same "$scratch/winamp.ini" "$player_unix/winamp.ini"
# Run in place, the uninstaller cannot delete its own running file: it stays behind.
left=$(listing "$player_unix")
check "left behind: $left" [ "$left" = "./Plugins/gen_other.dll ./Uninstall Cantovia.exe ./winamp.ini " ]

echo "== uninstall as the uninstall entry runs it (/S, from a copy in the temporary folder)"
reset
player_folder
win "$setup" /S >/dev/null
if open_player; then
  # What a caller sees: the status of the uninstaller, which only starts its copy; the copy refuses.
  win "$player_unix/$uninstaller" /S
  status=$?
  wait_for_uninstaller_copy
  close_player
  check "while the player's window is open: exit status 0 (was $status)" [ $status -eq 0 ]
  check "while the player's window is open: the DLL is still there" same "$dll" "$player_unix/Plugins/gen_cantovia.dll"
  check "while the player's window is open: the entry is still there" entry_exists
else
  fail "the player's window did not open"
fi
win "$player_unix/$uninstaller" /S
status=$?
wait_for_uninstaller_copy
check "exit status 0 (was $status)" [ $status -eq 0 ]
left=$(listing "$player_unix")
check "left behind: $left" [ "$left" = "./Plugins/gen_other.dll ./winamp.ini " ]
check "the entry is gone" no_entry

# The installer in English up to its directory page: the text above the folder, then
# "folder: " and the folder proposed. Fails when the page does not appear.
directory_page() {
  win "$setup" /LANG=1033 >/dev/null 2>&1 &
  local installer=$! status
  win "$pages" directory Cantovia 30 >"$scratch/page" 2>&1
  status=$?
  tr -d '\r' <"$scratch/page"
  win taskkill /f /im "$(basename "$setup")" >/dev/null 2>&1
  wait "$installer" 2>/dev/null
  return $status
}
# The page shows a folder read from the registry with a trailing backslash.
proposed() { sed -n 's/^folder: //p' <<<"$1"; }
no_plugins_warning='has no Plugins folder'

echo "== the directory page, proposing the player's folder"
reset
player_folder
text=$(directory_page)
status=$?
check "the page appears (status $status): $text" [ $status -eq 0 ]
check "the page's own text" grep -q 'following folder' <<<"$text"
check "proposes the player's folder: $(proposed "$text")" [ "$(proposed "$text")" = "$player_dir\\" ]
check "no warning" eval '! grep -q "$no_plugins_warning" <<<"$text"'
check "nothing installed" same "$scratch/old.dll" "$player_unix/Plugins/gen_cantovia.dll"

echo "== the directory page, without $player_key"
reset
text=$(directory_page)
status=$?
check "the page appears (status $status)" [ $status -eq 0 ]
check "proposes $default_dir: $(proposed "$text")" [ "$(proposed "$text")" = "$default_dir" ]

echo "== the directory page, proposing a folder without a Plugins folder"
reset
mkdir -p "$player_unix"
win reg add "$player_key" /ve /d "$player_dir" /f >/dev/null 2>&1
text=$(directory_page)
status=$?
check "the page appears (status $status)" [ $status -eq 0 ]
check "proposes that folder: $(proposed "$text")" [ "$(proposed "$text")" = "$player_dir\\" ]
check "warns: $text" grep -q "$no_plugins_warning" <<<"$text"

echo "== interactively, while the player's window is open: Cancel"
reset
player_folder
if open_player; then
  win "$setup" /LANG=1033 >/dev/null 2>&1 &
  installer=$!
  text=$(win "$pages" cancel Cantovia 30 2>&1 | tr -d '\r')
  wait "$installer"
  status=$?
  close_player
  check "asks to close the player: $text" grep -q 'Close it and click Retry' <<<"$text"
  check "exit status non-zero (was $status)" [ $status -ne 0 ]
  check "the older copy is as it was" same "$scratch/old.dll" "$player_unix/Plugins/gen_cantovia.dll"
  check "no uninstall entry" no_entry
else
  fail "the player's window did not open"
fi

echo "== interactively, while the player's window is open: close it, then Retry"
reset
player_folder
if open_player; then
  win "$setup" /LANG=1033 >/dev/null 2>&1 &
  installer=$!
  win "$pages" question Cantovia 30 >/dev/null 2>&1 # until the question is up
  close_player
  text=$(win "$pages" retry Cantovia 30 2>&1 | tr -d '\r')
  check "asked: $text" grep -q 'Close it and click Retry' <<<"$text"
  text=$(win "$pages" directory Cantovia 30 2>&1)
  status=$?
  text=$(tr -d '\r' <<<"$text")
  check "goes on to the directory page (status $status): $text" eval '[ $status -eq 0 ] && grep -q "following folder" <<<"$text"'
  check "proposes the player's folder: $(proposed "$text")" [ "$(proposed "$text")" = "$player_dir\\" ]
  win taskkill /f /im "$(basename "$setup")" >/dev/null 2>&1
  wait "$installer" 2>/dev/null
else
  fail "the player's window did not open"
fi

reset
finish "all installer checks passed"
