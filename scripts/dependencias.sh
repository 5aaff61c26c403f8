#!/usr/bin/env bash
# Installs the Debian packages that building Velmora and running all of its tests need.
# Idempotent: when every package is already installed, apt is not called at all.
set -euo pipefail

PACOTES=(
    # build
    cmake make g++ python3 clang-format googletest libgtest-dev
    qt6-base-dev libcups2-dev
    # the window's taskbar state on X11, which Qt has no call for
    libxcb1-dev
    # Qt's own texts (standard buttons, the text fields' menu) in Portuguese
    qt6-translations-l10n
    # the PDF writer: compression (libdeflate, or zlib where it is missing), font subsets, and
    # fontconfig to find the font files
    libdeflate-dev zlib1g-dev libharfbuzz-dev pkg-config libfontconfig-dev
    # printing: a private CUPS server in the tests, the PDF queue's filters, fonts (Courier
    # and a fallback for what it lacks), PDF checks (poppler, and qpdf for the file's structure)
    cups cups-client cups-filters fonts-urw-base35 fonts-dejavu-core poppler-utils qpdf
    # the tray application's tests: a virtual screen, a tray host, clicks and screenshots
    xvfb xauth x11-utils x11-apps xdotool imagemagick trayer
    # a window manager with a taskbar, to see the window kept off it
    icewm
    # ps, kill, setpriv and strace used by the scripts and tests
    procps util-linux strace
    # the benchmark's peak memory of Velmora alone (GNU time)
    time
    # the fuzz targets: clang and its libFuzzer runtime (only a recommendation of clang)
    clang libclang-rt-14-dev
    # the Windows build: mingw-w64 (its -posix compilers), zlib for it, Wine to run its tests and
    # NSIS for its installer
    g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 fonts-wine nsis
    # CaseFolding.txt, for scripts/gera-caixa.py (the generated table is committed)
    unicode-data
)

instalado() {
    [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]
}

faltando=()
for pacote in "${PACOTES[@]}"; do
    instalado "$pacote" || faltando+=("$pacote")
done

if ((${#faltando[@]} == 0)); then
    echo "dependencias: todos os pacotes já estão instalados"
    exit 0
fi

echo "dependencias: instalando ${faltando[*]}"
sudo=()
if ((EUID != 0)); then
    command -v sudo >/dev/null || {
        echo "dependencias: rode como root (ou instale sudo) para instalar: ${faltando[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
# Without --no-install-recommends, cups pulls systemd, avahi and more that nothing here uses.
"${sudo[@]}" apt-get install -y --no-install-recommends "${faltando[@]}"
