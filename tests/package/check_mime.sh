#!/usr/bin/env bash
# check_mime.sh PREFIX SOURCE-DIR: with the installed tree's data folders
# only (XDG_DATA_DIRS=PREFIX/share and an empty home), the desktop knows an
# archive by its ".shf" name and, renamed, by its version marker; its
# default application is the program's desktop entry; the file-manager
# actions call the program's options.
set -euo pipefail
prefix=$(realpath "$1") source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
type=application/x-tazu16x32
entry=org.tazu16x32.tazu16x32.desktop

# What the packages' triggers do on a real install: the MIME and desktop
# caches, here in a copy of the installed data folder.
mkdir -p "$tmp/share" "$tmp/home"
cp -r "$prefix/share/." "$tmp/share/"
chmod -R u+w "$tmp/share"
update-mime-database "$tmp/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
update-desktop-database "$tmp/share/applications" || fail "update-desktop-database"
desktop() { # runs a command as a desktop session would, with only that tree
    env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" \
        XDG_CONFIG_HOME="$tmp/home/config" XDG_DATA_DIRS="$tmp/share" \
        XDG_CONFIG_DIRS="$tmp/home/config-dirs" XDG_CURRENT_DESKTOP=LXDE "$@"
}

for version in 00 03 07; do
    cp "$source/tests/data/golden-$version.shf" "$tmp/Docs-$version.shf"
    cp "$source/tests/data/golden-$version.shf" "$tmp/renamed-$version.bin"
done
for f in Docs-00.shf Docs-03.shf Docs-07.shf renamed-00.bin renamed-03.bin renamed-07.bin; do
    got=$(desktop xdg-mime query filetype "$tmp/$f" 2>&1) || true
    [ "$got" = "$type" ] || fail "xdg-mime query filetype $f: $got"
done
printf 'not an archive\n' >"$tmp/plain.shf.txt"
got=$(desktop xdg-mime query filetype "$tmp/plain.shf.txt" 2>&1) || true
[ "$got" != "$type" ] || fail "a text file is taken for an archive"

got=$(desktop xdg-mime query default "$type" 2>&1) || true
[ "$got" = "$entry" ] || fail "default application for $type: $got"

# The entry opens the file it is given, and every file-manager action calls
# the program with --encrypt or --decrypt and the selected path.
grep -qx 'Exec=tazu16x32 %f' "$prefix/share/applications/$entry" || fail "desktop entry Exec"
for f in file-manager/actions/tazu16x32-encrypt.desktop nemo/actions/tazu16x32-encrypt.nemo_action \
    kio/servicemenus/tazu16x32-servicemenu.desktop Thunar/sendto/tazu16x32-sendto.desktop; do
    grep -Eq '^Exec=tazu16x32 --encrypt %[fF]$' "$prefix/share/$f" || fail "$f does not encrypt"
done
for f in file-manager/actions/tazu16x32-decrypt.desktop nemo/actions/tazu16x32-decrypt.nemo_action \
    kio/servicemenus/tazu16x32-servicemenu-decrypt.desktop; do
    grep -Eq '^Exec=tazu16x32 --decrypt %[fF]$' "$prefix/share/$f" || fail "$f does not decrypt"
done

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "archive type checked: $prefix"
