#!/usr/bin/env bash
# Builds the release into a scratch folder and checks what a user unpacks: the DLL as built, and
# a read-me in code page 1252 with CRLF line ends; and the 32-bit installer beside the archive.
# Usage: check_release.sh DLL CONFIG SETUP_EXE
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dll=$1
config=$2
setup=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/check_lib.sh"

made=$("$here/scripts/make-release.sh" "$dll" "$config" "$scratch/out" "$setup") || { echo "FAIL: no release"; exit 1; }
archive=$(sed -n 1p <<<"$made")
installer=$(sed -n 2p <<<"$made")
version=$(sed -n 's/^#define CANTOVIA_VERSION_TEXT "\(.*\)"$/\1/p' "$config")
[ "$(basename "$archive")" = "gen_cantovia-$version-win32.zip" ] && pass "name $(basename "$archive")" \
  || fail "archive is named $(basename "$archive")"

mkdir "$scratch/unpacked" && (cd "$scratch/unpacked" && unzip -q "$archive")
[ "$(cd "$scratch/unpacked" && ls | sort | tr '\n' ' ')" = "LEIAME.txt gen_cantovia.dll " ] \
  && pass "holds the DLL and the read-me" || fail "holds: $(ls "$scratch/unpacked")"
cmp -s "$dll" "$scratch/unpacked/gen_cantovia.dll" && pass "DLL as built" || fail "DLL differs from the build"

readme=$scratch/unpacked/LEIAME.txt
lines=$(wc -l < "$readme")
crlf=$(grep -c $'\r$' "$readme")
[ "$lines" -gt 20 ] && [ "$lines" = "$crlf" ] && pass "CRLF line ends ($lines lines)" || fail "$crlf of $lines lines end in CRLF"
LC_ALL=C grep -qaF $'m\xFAsicas' "$readme" && pass "code page 1252 text" || fail "no cp1252 bytes"
if iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1; then fail "read-me is valid UTF-8, so not code page 1252"; fi
grep -q '@' "$readme" && fail "unreplaced placeholder in the read-me"
grep -q "Cantovia $version" "$readme" && pass "names version $version" || fail "no version in the read-me"
grep -q "before 5.0: in the player's built-in mini-browser" "$readme" \
  && grep -q "Players 5.x .*: in the plug-in's lyrics" "$readme" \
  && pass "says where each player shows the page" || fail "the read-me does not say where each player shows the page"

[ "$(basename "$installer")" = "gen_cantovia-$version-setup.exe" ] && pass "name $(basename "$installer")" \
  || fail "installer is named $(basename "$installer")"
[ "$(ls "$scratch/out" | sort | tr '\n' ' ')" = "gen_cantovia-$version-setup.exe gen_cantovia-$version-win32.zip " ] \
  && pass "the archive and the installer side by side" || fail "release folder holds: $(ls "$scratch/out")"
cmp -s "$setup" "$installer" && pass "installer as built" || fail "installer differs from the build"
format=$(objdump -f "$installer" 2>/dev/null | sed -n 's/.*file format //p')
[ "$format" = pei-i386 ] && pass "installer is a 32-bit program ($format)" || fail "installer format '$format'"
grep -q 'Installing' "$readme" && grep -qi 'setup.exe' "$readme" && grep -qi 'copy gen_cantovia.dll' "$readme" \
  && pass "read-me tells of the installer and of copying by hand" || fail "read-me does not tell of both ways to install"

again=$("$here/scripts/make-release.sh" "$dll" "$config" "$scratch/again" "$setup" | sed -n 1p)
cmp -s "$archive" "$again" && pass "same inputs, same archive" || fail "archive differs between two runs"

finish "all release checks passed"
