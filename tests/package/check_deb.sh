#!/usr/bin/env bash
# check_deb.sh PACKAGE PROBE SOURCE-DIR: checks the Debian package: its
# control fields, lintian, the desktop entry and the AppStream metainfo, and
# then the unpacked tree (dpkg-deb -x) like an install (check_installed.sh).
set -euo pipefail
deb=$(realpath "$1") probe=$2 source=$(realpath "$3")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

version=$(sed -n 's/^project(Tazu16x32 VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "version is not $version-1"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libjpeg62-turbo libzxcvbn0; do
    case $depends in *"$lib "*) ;; *) fail "Depends lacks $lib: $depends" ;; esac
done

# Tags the README explains: a package built outside Debian closes no ITP
# bug, and the command line's manual page comes with its own change.
suppress=initial-upload-closes-no-bugs
[ -e "$source/packaging/man/tazu16x32-cli.1" ] || suppress+=,no-manual-page
lintian --fail-on error,warning --suppress-tags "$suppress" "$deb" >"$tmp/lintian" 2>&1 ||
    fail "lintian"
grep -v "running with root privileges" "$tmp/lintian" || true

dpkg-deb -x "$deb" "$tmp/root"
desktop-file-validate "$tmp/root/usr/share/applications/"*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$tmp/root/usr/share/metainfo/"*.metainfo.xml >"$tmp/as" ||
    { cat "$tmp/as"; fail "appstreamcli validate"; }

"$source/tests/package/check_installed.sh" "$tmp/root/usr" "$probe" "$source" || fail "unpacked tree"
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) of $deb failed" >&2
    exit 1
fi
echo "package checked: $deb"
