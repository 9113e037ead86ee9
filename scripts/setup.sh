#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when they are missing.
# Usage: scripts/setup.sh [--test | --screenshot]
#   --test adds what only the test command needs: clang's fuzzer runtime, clang-format, LibreOffice (with its
#   UNO bridge and database drivers, to run its own mail merge as the reference), poppler for the real-client
#   checks, and the validators and packaging tools of the install test; --screenshot adds Xvfb and the tools
#   that take a picture of the window.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev libcups2-dev libpugixml-dev libzip-dev libcli11-dev libutfcpp-dev
          libgtest-dev libgmock-dev libbenchmark-dev libqrencode-dev glabels-data hamradio-files fonts-liberation2
          qt6-translations-l10n)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(clang clang-format libclang-rt-14-dev libreoffice-writer-nogui libreoffice-base-nogui libreoffice-base-drivers
               python3-uno poppler-utils zbar-tools desktop-file-utils appstream dpkg-dev man-db)
elif [[ "${1:-}" == "--screenshot" ]]; then
    packages+=(xvfb xauth x11-apps imagemagick xdotool)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# A list a mirror is syncing just now fails to read: tried again, then installing goes on with the lists
# there are, and fails only when a package cannot be had.
"${sudo[@]}" apt-get update -qq || { sleep 15; "${sudo[@]}" apt-get update -qq; } ||
    echo "Note: some package lists could not be read; installing with those there are" >&2
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
