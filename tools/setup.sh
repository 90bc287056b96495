#!/bin/sh
# Installs what building and testing Velum needs on Debian 12 (run as root). Idempotent: asks apt
# only for what is missing.
set -eu
packages="cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest libgtest-dev
libbenchmark-dev mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
lv2-dev liblilv-dev lilv-utils sordi pkgconf sox libsox-fmt-all chromium util-linux"
command -v npm >/dev/null 2>&1 || packages="$packages nodejs npm"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
fi
