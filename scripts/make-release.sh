#!/usr/bin/env bash
# Packs the 32-bit DLL and a plain-text read-me (code page 1252, CRLF line ends) into
# OUTDIR/gen_cantovia-VERSION-win32.zip, and puts the installer beside it as
# OUTDIR/gen_cantovia-VERSION-setup.exe. The archive's bytes depend only on its inputs.
# Usage: make-release.sh DLL BUILD_CONFIG_HEADER OUTDIR SETUP_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dll=$1
config=$2
outdir=$3
setup=$4
[ -f "$setup" ] || { echo "no installer $setup: build it first (make build)" >&2; exit 1; }

value() { sed -n "s/^#define $1 \"\\(.*\\)\"$/\\1/p" "$config"; }
version=$(value CANTOVIA_VERSION_TEXT)
[ -n "$version" ] || { echo "no version in $config" >&2; exit 1; }

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp "$dll" "$staging/gen_cantovia.dll"
sed -e "s/@VERSION@/$version/g" -e "s/@SITE_PT@/$(value CANTOVIA_SITE_PT)/" \
    -e "s/@SITE_EN@/$(value CANTOVIA_SITE_EN)/" -e "s/@SITE_ES@/$(value CANTOVIA_SITE_ES)/" \
    "$here/resources/release-readme.txt" | iconv -f UTF-8 -t CP1252 | sed 's/$/\r/' > "$staging/LEIAME.txt"

touch -d '2000-01-01 00:00:00 UTC' "$staging/gen_cantovia.dll" "$staging/LEIAME.txt"
mkdir -p "$outdir"
archive="$(cd "$outdir" && pwd)/gen_cantovia-$version-win32.zip"
rm -f "$archive"
(cd "$staging" && TZ=UTC zip -q -X "$archive" gen_cantovia.dll LEIAME.txt)
installer="$(cd "$outdir" && pwd)/gen_cantovia-$version-setup.exe"
cp "$setup" "$installer"
echo "$archive"
echo "$installer"
