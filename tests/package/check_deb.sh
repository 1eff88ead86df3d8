#!/usr/bin/env bash
# check_deb.sh PROBE SOURCE-DIR CLI-PACKAGE GUI-PACKAGE: checks the Debian
# packages: their control fields (the command line without Qt, the window
# program depending on it), lintian, hardening-check on every program, the
# desktop entry and the AppStream metainfo, and then both unpacked into one
# tree (dpkg-deb -x) like an install (check_installed.sh).
set -euo pipefail
probe=$1 source=$(realpath "$2") cli=$(realpath "$3") gui=$(realpath "$4")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
has() { case $2 in *"$1"*) ;; *) return 1 ;; esac; }

version=$(sed -n 's/^project(Tazu16x32 VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
[ "$(dpkg-deb -f "$cli" Package)" = tazu16x32-cli ] || fail "$cli is not tazu16x32-cli"
[ "$(dpkg-deb -f "$gui" Package)" = tazu16x32 ] || fail "$gui is not tazu16x32"
for deb in "$cli" "$gui"; do
    [ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "$deb: version is not $version-1"
    [ -z "$(dpkg-deb -f "$deb" Homepage)" ] || fail "$deb: a Homepage the project does not have"
done
depends=$(dpkg-deb -f "$cli" Depends)
for lib in libc6 libstdc++6 libzxcvbn0; do has "$lib " "$depends" || fail "tazu16x32-cli lacks $lib: $depends"; done
! has libqt "$depends" || fail "tazu16x32-cli depends on Qt: $depends"
depends=$(dpkg-deb -f "$gui" Depends)
for lib in libqt6widgets6 libjpeg62-turbo "tazu16x32-cli (= $version-1)"; do
    has "$lib" "$depends" || fail "tazu16x32 lacks $lib: $depends"
done

# Tags the README explains: a package built outside Debian closes no ITP
# bug, and the command line's manual page comes with its own change.
suppress=initial-upload-closes-no-bugs
[ -e "$source/packaging/man/tazu16x32-cli.1" ] || suppress+=,no-manual-page
for deb in "$cli" "$gui"; do
    lintian --fail-on error,warning --suppress-tags "$suppress" "$deb" >"$tmp/lintian" 2>&1 ||
        fail "lintian $deb"
    grep -v "running with root privileges" "$tmp/lintian" || true
done

dpkg-deb -x "$cli" "$tmp/root"
dpkg-deb -x "$gui" "$tmp/root"
# Stack protector, fortify, read-only relocations, immediate binding and a
# position-independent program. Control-flow protection (-fcf-protection)
# is not among the flags dpkg-buildflags gives on Debian 12, so it is not
# asked for.
for program in usr/bin/tazu16x32 usr/bin/tazu16x32-cli usr/lib/tazu16x32/Tazu16x32.SFX; do
    hardening-check --quiet --nocfprotection "$tmp/root/$program" >"$tmp/hardening" 2>&1 ||
        { cat "$tmp/hardening"; fail "hardening-check $program"; }
done
desktop-file-validate "$tmp/root/usr/share/applications/"*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$tmp/root/usr/share/metainfo/"*.metainfo.xml >"$tmp/as" ||
    { cat "$tmp/as"; fail "appstreamcli validate"; }

"$source/tests/package/check_installed.sh" "$tmp/root/usr" "$probe" "$source" || fail "unpacked tree"
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) of the packages failed" >&2
    exit 1
fi
echo "packages checked: $cli $gui"
