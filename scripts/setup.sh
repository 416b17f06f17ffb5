#!/usr/bin/env bash
# Installs every Debian package MUR's build, tests and tools need.
# Idempotent: packages already present are left alone, and apt is not
# touched at all when nothing is missing.
set -euo pipefail

packages=(
    build-essential
    cmake
    ninja-build
    ccache
    pkg-config
    git
    juce-modules-source
    lv2-dev
    libgtest-dev
    libgmock-dev
    googletest
    libbenchmark-dev
    xvfb
    xauth
    libx11-dev
    libxtst-dev
    # The Windows build and its tests under Wine.
    g++-mingw-w64-x86-64-posix
    libz-mingw-w64-dev
    libstb-dev
    wine
    wine64
    # The Windows installer and the release archives.
    nsis
    zip
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#packages[@]} packages present"
    exit 0
fi

echo "setup: installing ${#missing[@]} packages (and what they need): ${missing[*]}"
echo "setup: this can take several minutes on a fresh machine; apt's own output is kept quiet"
started=$SECONDS
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo_cmd=(sudo)
    else
        echo "setup: missing packages and not root (no sudo): ${missing[*]}" >&2
        exit 1
    fi
fi

export DEBIAN_FRONTEND=noninteractive
echo "setup: reading the package lists..."
"${sudo_cmd[@]}" apt-get update -qq
echo "setup: downloading and installing..."
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done in $((SECONDS - started)) s"
