#!/usr/bin/env bash
# The Windows programs end to end under wine, against the Linux ones:
#   - a self-decrypting file made on Linux with --sfx --for windows gives a
#     tree of Cyrillic, long and odd names back byte for byte, with the
#     password on standard input; the Windows stub opens a plain archive
#     with /filr:, and removes a killed run's leftover .part file;
#   - wrong password, damaged records and an archive made with the personal
#     code but run without its key store end with the same messages and
#     exit statuses as the Linux stub gives;
#   - archives of tazu16x32-cli.exe pass the Linux reader and verify, and
#     the other way round;
#   - hostile stored names (the reader's unsafe names, drive and UNC
#     prefixes, streams, device names) never write anything, neither in nor
#     outside the destination.
#
# Usage: wine_test.sh LINUX_BIN WINDOWS_BIN WORK_FOLDER
# LINUX_BIN holds tazu16x32-cli, Tazu16x32.SFX and Tazu16x32.SFX.exe;
# WINDOWS_BIN holds tazu16x32-cli.exe and Tazu16x32.SFX.exe.
set -uo pipefail

linux=$(realpath "$1")
windows=$(realpath "$2")
work=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=${WINEPREFIX:-$(realpath -m "$work/../wineprefix")}
export WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

server=$(dirname "$wine")/wineserver64
[ -x "$server" ] || server=$(command -v wineserver || echo wineserver)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    "$server" -w 2>/dev/null || true
fi
# One wine server for all the runs below, so that no run meets a server
# that is shutting down after the one before (a wine program started then
# can fail before it runs, silently and with status 1). A server still
# lingering from earlier runs is ended first: asked to stay, it would not.
# Wine's own background processes start with the first program and live as
# long as the server; started here with no output of ours, they hold no
# pipe of the caller's open.
"$server" -k 2>/dev/null || true
"$server" -w 2>/dev/null || true
"$server" -p 2>/dev/null || true
trap '"$server" -k 2>/dev/null || true' EXIT
"$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0
checks=0

pass() { checks=$((checks + 1)); }
fail() {
    checks=$((checks + 1))
    failures=$((failures + 1))
    echo "FAIL: $*" >&2
}
# expect WANT_STATUS GOT_STATUS WHAT
expect() {
    if [ "$1" = "$2" ]; then pass; else fail "$3: status $2, expected $1"; fi
}
# has FILE TEXT WHAT
has() {
    if grep -qF -- "$2" "$1"; then pass; else
        fail "$3: \"$2\" not in the output:"
        sed 's/^/    /' "$1" >&2
    fi
}
same_tree() {
    if diff -r "$1" "$2" >/dev/null; then pass; else fail "$3: trees differ"; fi
}
cli() { "$linux/tazu16x32-cli" "$@"; }
wcli() { "$wine" "$windows/tazu16x32-cli.exe" "$@"; }

# The tree: Cyrillic names in folders, a stored name of 251 bytes (of the
# 255 a name may have), odd characters, an empty file and one of several
# buffers.
long=$(printf 'д%.0s' $(seq 1 60))
mkdir -p "tree/Документы/Вложенная папка" "tree/odd & (names) #1" "tree/$long"
printf 'привет\n' >"tree/Документы/Письмо.txt"
head -c 1100000 /dev/urandom >"tree/Документы/Вложенная папка/большой.bin"
: >"tree/odd & (names) #1/empty"
printf 'x' >"tree/odd & (names) #1/-dash 100%% ~tilde=.txt"
printf 'long' >"tree/$long/$long.txt"
printf 'ёЁ' >"tree/a..b ünïcödé €.txt"
# A stored name of 250 ASCII characters: with the destination's path in
# front, past the 260 characters of a plain Windows path.
deep=$(printf 'x%.0s' $(seq 1 118))
mkdir -p "tree/$deep"
printf 'deep' >"tree/$deep/$deep.txt"
echo secret >pw
echo wrong >bad

# 1. A self-decrypting file for Windows made on Linux decrypts itself.
cli encrypt tree --sfx --for windows -o Docs.exe --password-file pw \
    >/dev/null 2>&1
expect 0 "$?" "encrypt --sfx --for windows"
stub_size=$(stat -c %s "$linux/Tazu16x32.SFX.exe")
if cmp -s -n "$stub_size" Docs.exe "$linux/Tazu16x32.SFX.exe"; then pass; else
    fail "Docs.exe does not start with the Windows stub"
fi
"$wine" ./Docs.exe /parh:out-sfx <pw >sfx.txt 2>&1
status=$?
expect 0 "$status" "self-decrypting file under wine"
has sfx.txt "Расшифровка успешно завершена" "self-decrypting file under wine"
same_tree tree out-sfx/tree "self-decrypting file under wine"
# Without /parh: and no terminal to ask on, it decrypts beside itself.
mkdir -p beside
cp Docs.exe beside/
"$wine" beside/Docs.exe <pw >beside.txt 2>&1
expect 0 "$?" "self-decrypting file without /parh:"
same_tree tree beside/tree "self-decrypting file without /parh:"

# 2. The Windows stub alone opens a plain archive with /filr:.
cli encrypt tree -o plain.shf --password-file pw >/dev/null 2>&1
"$wine" "$windows/Tazu16x32.SFX.exe" /filr:plain.shf /parh:out-filr \
    <pw >filr.txt 2>&1
status=$?
expect 0 "$status" "/filr: under wine"
same_tree tree out-filr/tree "/filr: under wine"

# A killed run's leftover in the destination goes with the next run there;
# a file that only looks similar stays.
mkdir -p out-leftover/tree
printf 'old' >"out-leftover/tree/a.txt.tazu16x32-4000000-0.part"
printf 'mine' >"out-leftover/tree/notes.part"
"$wine" "$windows/Tazu16x32.SFX.exe" /filr:plain.shf /parh:out-leftover <pw >/dev/null 2>&1
if [ ! -e "out-leftover/tree/a.txt.tazu16x32-4000000-0.part" ] && [ -e out-leftover/tree/notes.part ]; then
    pass
else
    fail "leftover temporary files: $(ls out-leftover/tree | tr '\n' ' ')"
fi

# 3. Failures: the Windows stub says and returns what the Linux stub does.
# Each case is one archive; $1 names it, the rest makes it.
compare_stubs() {
    local name=$1 archive=$2 password=$3 keystore_beside=${4:-}
    mkdir -p "lin-$name" "win-$name"
    cp "$archive" "lin-$name/a.shf"
    cp "$archive" "win-$name/a.shf"
    if [ -n "$keystore_beside" ]; then
        cp "$keystore_beside" "lin-$name/"
        cp "$keystore_beside" "win-$name/"
    fi
    local lin win
    "$linux/Tazu16x32.SFX" "/filr:lin-$name/a.shf" "/parh:lin-$name/out" \
        <"$password" >"lin-$name.txt" 2>/dev/null
    lin=$?
    "$wine" "$windows/Tazu16x32.SFX.exe" "/filr:win-$name/a.shf" \
        "/parh:win-$name/out" <"$password" >"win-$name.txt" 2>/dev/null
    win=$?
    expect "$lin" "$win" "$name: the Windows stub's status against the Linux stub's"
    # The report lines name output paths, and a missing key store's hint
    # names the store's full path: compare them with one separator, without
    # the folders, and without the console's line ends on Windows.
    if diff <(sed "s#lin-$name/out##; s#[^ ]*lin-$name/Tazu16x32.key#KEY#" "lin-$name.txt") \
        <(tr -d '\r' <"win-$name.txt" |
            sed "s#\\\\#/#g; s#win-$name/out##; s#[^ ]*win-$name/Tazu16x32.key#KEY#") \
        >/dev/null; then
        pass
    else
        fail "$name: the Windows stub's output differs from the Linux stub's"
        diff "lin-$name.txt" "win-$name.txt" | sed 's/^/    /' >&2
    fi
    stub_status=$win
}
flip() { # flip FILE OFFSET: one byte changed in place
    printf "$(printf '\\x%02x' $((0x$(od -An -tx1 -j "$2" -N1 "$1" | tr -d ' ') ^ 0x5a)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

compare_stubs wrong plain.shf bad
status=$stub_status
expect 8 "$status" "wrong password"
has win-wrong.txt "Пароль введен неверно" "wrong password"

printf 'data %.0s' $(seq 1 400) >one.txt
cli encrypt one.txt -o one.shf --password-file pw >/dev/null 2>&1
size=$(stat -c %s one.shf)
cp one.shf header.shf
flip header.shf 300 # the key-mark record's signature: a header record
compare_stubs header header.shf pw
status=$stub_status
expect 5 "$status" "damaged header record"
has win-header.txt "Файл поврежден" "damaged header record"
cp one.shf block.shf
flip block.shf $((size - 60)) # inside the last data block
compare_stubs block block.shf pw
status=$stub_status
has win-block.txt "поврежден" "damaged data block"

mkdir -p store
cli keystore-new --keystore store/Tazu16x32.key >/dev/null 2>&1
cli encrypt tree -o personal.shf --personal-code --keystore store/Tazu16x32.key \
    --password-file pw >/dev/null 2>&1
compare_stubs personal personal.shf pw
status=$stub_status
expect 6 "$status" "personal code without its key store"
has win-personal.txt "Файл не совместим с данной копией программы" "personal code without key store"
compare_stubs personal-store personal.shf pw store/Tazu16x32.key
status=$stub_status
expect 0 "$status" "personal code with its key store beside"
same_tree tree win-personal-store/out/tree "personal code with its key store beside"

# 4. The command line on Windows and on Linux read each other's archives.
wcli encrypt tree -o win.shf --password-file pw >wcli.txt 2>&1
status=$?
expect 0 "$status" "tazu16x32-cli.exe encrypt"
cli verify win.shf --password-file pw >/dev/null 2>&1
expect 0 "$?" \
    "Linux verify of an archive made on Windows"
cli decrypt win.shf -d out-from-win --password-file pw >/dev/null 2>&1
same_tree tree out-from-win/tree "Linux decrypt of an archive made on Windows"
wcli verify plain.shf --password-file pw >/dev/null 2>&1
expect 0 "$?" \
    "tazu16x32-cli.exe verify of a Linux archive"
wcli decrypt plain.shf -d out-on-win --password-file pw >wdec.txt 2>&1
status=$?
expect 0 "$status" "tazu16x32-cli.exe decrypt of a Linux archive"
same_tree tree out-on-win/tree "tazu16x32-cli.exe decrypt of a Linux archive"
wcli encrypt tree --sfx -o win-sfx.exe --password-file pw >/dev/null 2>&1
status=$?
expect 0 "$status" "tazu16x32-cli.exe encrypt --sfx (its own stub)"
"$wine" ./win-sfx.exe /parh:out-win-sfx <pw >/dev/null 2>&1
status=$?
expect 0 "$status" "a self-decrypting file made on Windows"
same_tree tree out-win-sfx/tree "a self-decrypting file made on Windows"

# The archive being written inside the folder it packs is known by its
# file identity and skipped, not packed into itself.
cp -r tree inside
wcli encrypt inside -o inside/self.shf --password-file pw >inside.txt 2>&1
expect 1 "$?" "tazu16x32-cli.exe encrypt into the source folder"
has inside.txt "пропущен, ошибка чтения" "tazu16x32-cli.exe encrypt into the source folder"
cli decrypt inside/self.shf -d out-inside --password-file pw >/dev/null 2>&1
same_tree tree out-inside/inside "an archive written inside its source"

# 5. Hostile names write nothing, in the destination or beside it.
hostile=('\..\x' '..\x' 'a/../../x' 'C:\x' 'c:x' '\\server\share\x' '\\?\C:\x' 'CON'
    'NUL.txt' 'aux .txt' '\Docs\com1' 'x:stream' '\Docs\a.txt:hidden' 'x.' 'LPT1.log')
i=0
for name in "${hostile[@]}"; do
    i=$((i + 1))
    "$linux/hostile_archive" "hostile-$i.shf" "$name" pw
    mkdir -p "box-$i/dest"
    "$wine" "$windows/Tazu16x32.SFX.exe" "/filr:hostile-$i.shf" "/parh:box-$i/dest" \
        <pw >"hostile-$i.txt" 2>&1
    has "hostile-$i.txt" "пропущен, недопустимое имя" "stub (status $?), stored name $name"
    (cd "box-$i" && wcli decrypt "../hostile-$i.shf" -d dest --password-file ../pw \
        >"../hostile-cli-$i.txt" 2>&1)
    has "hostile-cli-$i.txt" "пропущен, недопустимое имя" "cli.exe, stored name $name"
    if [ "$(find "box-$i" -mindepth 1 | wc -l)" = 1 ]; then pass; else
        fail "stored name $name left: $(find "box-$i" -mindepth 1 | tr '\n' ' ')"
    fi
done
for beside in "$WINEPREFIX/drive_c/x" "$work/x" "$(dirname "$work")/x"; do
    if [ -e "$beside" ]; then fail "a hostile name wrote $beside"; else pass; fi
done

echo "Windows end-to-end checks under wine: $((checks - failures)) of $checks passed"
[ "$failures" = 0 ]
