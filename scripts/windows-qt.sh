#!/usr/bin/env bash
# Builds Qt 6 for 64-bit Windows from Debian's own qt6-base source package, with Debian's mingw-w64, into the
# Windows cache folder (${CARDMILL_WINDOWS_CACHE:-~/.cache/cardmill-windows}/qt), for scripts/windows-build.sh
# to build cardmill.exe and put Qt's libraries and plugins into the installer.
#
#   scripts/windows-qt.sh
#
# What CARDMILL needs of qtbase: Core, Gui, Widgets, PrintSupport and the Windows platform plugin. The host's
# own Qt of the same version (qt6-base-dev, qt6-base-dev-tools) runs moc, rcc and uic. It takes long (40 to 70
# minutes on two cores) and is not part of the test command; it is built once, and a build cut off goes on where it
# stopped. Tablet events are left out: Debian's source package drops the Wintab header they need. OpenGL stays in:
# the Windows platform plugin of Qt 6.4 does not build without it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cache=${CARDMILL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/cardmill-windows}
prefix=$cache/prefix
jobs=$(nproc)
mkdir -p "$cache" "$prefix"
source "$root/scripts/windows-lib.sh"

packages=(mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev cmake ninja-build qt6-base-dev
    qt6-base-dev-tools)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    # A list a mirror is syncing just now fails to read: tried again, then installing goes on with the lists
    # there are, and fails only when a package cannot be had.
    as_root apt-get update -qq || { sleep 15; as_root apt-get update -qq; } ||
        echo "Note: some package lists could not be read; installing with those there are" >&2
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [[ -f "$cache/qt/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
    echo "Qt for Windows is built already: $cache/qt"
    exit 0
fi
source_package qt6-base
echo "== configuring qtbase for Windows (log: $cache/build-qt.log)"
cmake -S "$cache/src/qt6-base" -B "$cache/build/qt" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCARDMILL_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$cache/qt" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_testlib=ON -DFEATURE_concurrent=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_opengl=ON -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=ON -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_jpeg=OFF -DFEATURE_icu=OFF >"$cache/build-qt.log" 2>&1 ||
    { tail -n 40 "$cache/build-qt.log" >&2; exit 1; }
echo "== building qtbase for Windows"
cmake --build "$cache/build/qt" -j "$jobs" >>"$cache/build-qt.log" 2>&1 ||
    { tail -n 40 "$cache/build-qt.log" >&2; exit 1; }
cmake --install "$cache/build/qt" >>"$cache/build-qt.log" 2>&1
echo "Qt for Windows: $cache/qt (scripts/windows-build.sh now builds cardmill.exe as well)"
