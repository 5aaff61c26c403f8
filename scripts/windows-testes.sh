#!/usr/bin/env bash
# The Windows build: cross-built with mingw-w64 into build-win/, its tests run under Wine in a
# fresh prefix of that folder (the core's, platform/win32's and the end-to-end runs of
# tests/e2e/windows_*.sh), on an X display of its own unless DISPLAY is set. Prints
# "windows: N passed, N failed"; non-zero when any failed.
# The packages come from scripts/dependencias.sh.
set -euo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$raiz"
pasta="${VELMORA_BUILD_WIN:-build-win}"

export WINEPREFIX="$raiz/$pasta/wine"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEDEBUG=-all
export WINEARCH=win64

cmake -S . -B "$pasta" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
cmake --build "$pasta" -j2

# The window's tests need an X display, from the prefix's first start on: Wine's desktop keeps
# the display it started with, and one started without any can open no window.
xvfb_pid=""
if [[ -z "${DISPLAY:-}" ]]; then
    tela="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tela" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s "$tela" ]] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$tela")"
    rm -f "$tela"
fi
encerra() {
    wineserver -k 2>/dev/null || true
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap encerra EXIT

# A fresh prefix for every run, one wineserver kept up for all of it, and a first call before
# the tests are discovered (a cold start would outlast the discovery's timeout).
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot --init >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1

status=0
(cd "$pasta" && ctest --output-on-failure --timeout 300) 2>&1 | tee "$pasta/ctest.log" || status=$?
linha="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$pasta/ctest.log" |
    tail -n 1 || true)"
if [[ -z "$linha" ]]; then
    echo "windows: 0 passed, 1 failed (nenhum teste executado)"
    exit 1
fi
falharam="$(sed -E 's/^.* ([0-9]+) tests? failed out of ([0-9]+).*$/\1/' <<<"$linha")"
total="$(sed -E 's/^.* failed out of ([0-9]+).*$/\1/' <<<"$linha")"
echo "windows: $((total - falharam)) passed, $falharam failed"
((status == 0 && falharam == 0))
