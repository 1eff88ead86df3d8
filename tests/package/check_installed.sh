#!/usr/bin/env bash
# check_installed.sh PREFIX PROBE SOURCE-DIR: checks an installed tree (from
# cmake --install or an unpacked .deb) the way a user meets it. The programs
# run as a normal user (nobody, when started as root) with a home folder of
# their own: every file is there, the command line makes the per-user store
# and self-decrypting output that finds the installed stub, the key-store
# lookup rule holds, and the window program makes a first store on its first
# start, reaches its enabled main window and passes its self-check.
set -euo pipefail
prefix=$(realpath "$1") probe=$2 source=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# --- every file of the install ---------------------------------------------
expected=(
    bin/tazu16x32 bin/tazu16x32-cli lib/tazu16x32/Tazu16x32.SFX
    share/applications/org.tazu16x32.tazu16x32.desktop
    share/metainfo/org.tazu16x32.tazu16x32.metainfo.xml
    share/icons/hicolor/scalable/apps/tazu16x32.svg
    share/man/man1/tazu16x32.1.gz share/man/man1/Tazu16x32.SFX.1.gz
    share/man/ru/man1/tazu16x32.1.gz share/man/ru/man1/Tazu16x32.SFX.1.gz
    share/man/ru/man1/tazu16x32-cli.1.gz
    share/bash-completion/completions/tazu16x32-cli
    share/doc/tazu16x32/copyright share/doc/tazu16x32/changelog.Debian.gz
    share/doc/tazu16x32-cli/copyright share/doc/tazu16x32-cli/changelog.Debian.gz
    share/mime/packages/tazu16x32.xml
    share/icons/hicolor/scalable/mimetypes/application-x-tazu16x32.svg
    share/file-manager/actions/tazu16x32-encrypt.desktop
    share/file-manager/actions/tazu16x32-decrypt.desktop
    share/nemo/actions/tazu16x32-encrypt.nemo_action
    share/nemo/actions/tazu16x32-decrypt.nemo_action
    share/kio/servicemenus/tazu16x32-servicemenu.desktop
    share/kio/servicemenus/tazu16x32-servicemenu-decrypt.desktop
    share/Thunar/sendto/tazu16x32-sendto.desktop
)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/tazu16x32.png")
done
if [ -e "$source/packaging/man/tazu16x32-cli.1" ]; then
    expected+=(share/man/man1/tazu16x32-cli.1.gz)
fi
for f in "${expected[@]}"; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ -e "$prefix/bin/Tazu16x32.SFX" ] && fail "the stub is installed beside the programs"
[ -e "$prefix/bin/tazu16x32-sign" ] && fail "the signing tool is installed"
"$source/tests/package/check_mime.sh" "$prefix" "$source" || fail "the archive type"

# --help and --version print and end without a display; a display that
# cannot be opened is the program's own one line and status 1.
env -i PATH=/usr/bin:/bin "$prefix/bin/tazu16x32" --help | grep -q -- "--decrypt ARCHIVE" ||
    fail "tazu16x32 --help"
[ "$(env -i PATH=/usr/bin:/bin "$prefix/bin/tazu16x32" --version)" = \
    "tazu16x32 $(sed -n 's/^project(Tazu16x32 VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")" ] ||
    fail "tazu16x32 --version"
status=0
msg=$(env -i PATH=/usr/bin:/bin HOME="$tmp" DISPLAY=:97 ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
    "$prefix/bin/tazu16x32" 2>&1) || status=$?
[ "$status" = 1 ] && [ "$(wc -l <<<"$msg")" = 1 ] && grep -q "^tazu16x32: cannot open the display :97" <<<"$msg" ||
    fail "an unopenable display (status $status): $msg"

# --- the programs as a normal user -------------------------------------------
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    cp "$probe" "$tmp/probe.so"
    probe=$tmp/probe.so
    chmod 755 "$probe"
fi
run() { # run HOME [VAR=VALUE...] COMMAND...: the user with that home folder
    local home=$1
    shift
    env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
        "${as_user[@]}" env "$@"
}
new_home() {
    mkdir -p "$tmp/$1"
    [ ${#as_user[@]} -eq 0 ] || chown nobody:nogroup "$tmp/$1"
    echo "$tmp/$1"
}
mode() { stat -c %a "$1"; }
cli=$prefix/bin/tazu16x32-cli

home=$(new_home home)
store=$home/.config/tazu16x32/Tazu16x32.key
run "$home" "$cli" keystore-new >"$tmp/out" 2>&1 || fail "keystore-new: $(cat "$tmp/out")"
[ -f "$store" ] || fail "keystore-new made no per-user store ($(cat "$tmp/out"))"
[ "$(mode "$home/.config/tazu16x32")" = 700 ] || fail "per-user folder is not owner-only"
[ "$(mode "$store")" = 600 ] || fail "per-user store is not owner-only"

# Self-decrypting output finds the installed stub and decrypts itself.
mkdir -p "$home/Docs/sub"
echo "first file" >"$home/Docs/a.txt"
head -c 100000 /dev/urandom >"$home/Docs/sub/b.bin"
[ ${#as_user[@]} -eq 0 ] || chown -R nobody:nogroup "$home/Docs"
echo secret | run "$home" "$cli" encrypt "$home/Docs" --sfx --password-stdin \
    -o "$home/Docs.exe" >"$tmp/out" 2>&1 || fail "encrypt --sfx: $(cat "$tmp/out")"
echo secret | run "$home" "$home/Docs.exe" "/parh:$home/out" >"$tmp/out" 2>&1 ||
    fail "the self-decrypting file: $(cat "$tmp/out")"
diff -r "$home/Docs" "$home/out/Docs" >/dev/null || fail "decrypted tree differs"

# The lookup rule: a store beside the executable wins, else the per-user
# store ($XDG_CONFIG_HOME when set), and --keystore overrides both.
# The store a command uses: keystore-info names it, loaded or not.
where() { { run "$@" keystore-info 2>&1 || true; } | sed -n 's/^\(Key store\|Файл ключа\): //p;s/^.*: \(\/.*Tazu16x32.key\).*/\1/p'; }
[ "$(where "$home" "$cli")" = "$store" ] || fail "per-user store not used: $(where "$home" "$cli")"
xdg=$tmp/xdg
got=$(where "$home" XDG_CONFIG_HOME="$xdg" "$cli")
[ "$got" = "$xdg/tazu16x32/Tazu16x32.key" ] || fail "XDG_CONFIG_HOME not followed: $got"
portable=$(new_home portable)
cp -a "$prefix/." "$portable/"
[ ${#as_user[@]} -eq 0 ] || chown -R nobody:nogroup "$portable"
run "$home" "$portable/bin/tazu16x32-cli" keystore-new --keystore "$portable/bin/Tazu16x32.key" \
    >/dev/null 2>&1 || fail "portable keystore-new"
[ "$(where "$home" "$portable/bin/tazu16x32-cli")" = "$portable/bin/Tazu16x32.key" ] ||
    fail "a store beside the executable does not win"
got=$(run "$home" "$portable/bin/tazu16x32-cli" keystore-info --keystore "$store" 2>&1 |
    sed -n 's/^\(Key store\|Файл ключа\): //p')
[ "$got" = "$store" ] || fail "--keystore does not override: $got"

# A folder this user may not write is a permission error, not damage (the
# runs are in the C locale, so the cause is told in Russian).
if [ ${#as_user[@]} -ne 0 ]; then
    msg=$(run "$home" "$cli" keystore-new --keystore "$prefix/bin/Tazu16x32.key" 2>&1 || true)
    case $msg in *"доступ запрещен"*) ;; *) fail "no permission cause: $msg" ;; esac
fi

# --- the window program -------------------------------------------------------
window() { # window HOME [ARGUMENT...]: one run under the offscreen platform with the probe
    local home=$1
    shift
    rm -f "$tmp/report"
    run "$home" QT_QPA_PLATFORM=offscreen LD_PRELOAD="$probe" TAZU_PROBE_REPORT="$tmp/report" \
        timeout 60 "$prefix/bin/tazu16x32" "$@" >"$tmp/window.log" 2>&1 || true
    touch "$tmp/report"
}
[ ${#as_user[@]} -eq 0 ] || chmod 777 "$tmp"
first=$(new_home first)
window "$first"
report=$(cat "$tmp/report")
[ -f "$first/.config/tazu16x32/Tazu16x32.key" ] || fail "first start made no store: $report"
grep -q "^note: Создан новый файл ключа: $first/.config/tazu16x32/Tazu16x32.key" <<<"$report" ||
    fail "first start did not say where the store is: $report $(cat "$tmp/window.log")"
grep -qx "note-button: ОК" <<<"$report" || fail "the first-start note's button: $report"
grep -q "^main: enabled$" <<<"$report" || fail "main window not reached: $report"
grep -q "^selfcheck: Проверка пройдена: файл программы не изменен$" <<<"$report" ||
    fail "self-check of the installed program: $report"

# An archive given to the program (as the desktop entry's %f does) is the
# chosen object, ready to decrypt; --decrypt opens "Расшифровывание" for it.
cp "$source/tests/data/golden-05.shf" "$tmp/Docs.shf"
chmod 644 "$tmp/Docs.shf"
window "$first" "$tmp/Docs.shf"
grep -qx "object: $tmp/Docs.shf" "$tmp/report" || fail "archive argument not chosen: $(cat "$tmp/report")"
grep -qx "decrypt: on" "$tmp/report" || fail "archive argument: decrypt is off: $(cat "$tmp/report")"
window "$first" --decrypt "$tmp/Docs.shf"
grep -qx "dialog: Расшифровывание" "$tmp/report" || fail "--decrypt: $(cat "$tmp/report")"
window "$first" --encrypt "$home/Docs"
grep -qx "dialog: Шифрование" "$tmp/report" || fail "--encrypt: $(cat "$tmp/report")"

# A store that was there and is gone: the locked prompt, and no new store.
rm "$first/.config/tazu16x32/Tazu16x32.key"
window "$first"
grep -q "^prompt: файл ключа не найден$" "$tmp/report" || fail "gone store: $(cat "$tmp/report")"
[ -e "$first/.config/tazu16x32/Tazu16x32.key" ] && fail "a gone store was silently replaced"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree checked: $prefix"
