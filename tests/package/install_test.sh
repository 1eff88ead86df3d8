#!/usr/bin/env bash
# install_test.sh CMAKE BUILD-DIR PROBE SOURCE-DIR: installs the build into a
# temporary prefix with cmake --install and checks the installed programs.
set -euo pipefail
cmake=$1 build=$2 probe=$3 source=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"  # the installed programs run as another user
"$cmake" --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" ||
    { cat "$tmp/install.log"; exit 1; }
"$source/tests/package/check_installed.sh" "$tmp/prefix" "$probe" "$source"
