#!/usr/bin/env bash
# Cross-builds CARDMILL for 64-bit Windows with Debian's mingw-w64, into build/windows/.
#
#   scripts/windows-build.sh [--test] [--installer]
#
# Installs what it needs from Debian's packages, builds the libraries the program links (pugixml, libzip,
# libqrencode, GoogleTest) for Windows from Debian's own source packages into a cache folder
# (${CARDMILL_WINDOWS_CACHE:-~/.cache/cardmill-windows}; built once), and cross-builds cardmill-convert and the
# tests; cardmill.exe too when scripts/windows-qt.sh has built Qt into that cache folder.
#   --test        then runs the tests under wine (a wine prefix of its own in the cache folder) and the converter
#                 on the bundled example in a folder with a Polish name; tests that are POSIX-only say so and
#                 skip themselves
#   --installer   then makes cardmill-<version>-win64.exe with NSIS (cpack -G NSIS64)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

run_tests=false installer=false
for arg in "$@"; do
    case "$arg" in
    --test) run_tests=true ;;
    --installer) installer=true ;;
    *) echo "usage: scripts/windows-build.sh [--test] [--installer]" >&2; exit 2 ;;
    esac
done

cache=${CARDMILL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/cardmill-windows}
prefix=$cache/prefix
build=$root/build/windows
jobs=$(nproc)
mkdir -p "$cache" "$prefix"

source "$root/scripts/windows-lib.sh"

# Debian's packages: the cross compilers, zlib for Windows, wine and NSIS, dpkg-source for the source
# packages, and the header-only libraries the build takes as they are.
packages=(mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 nsis dpkg-dev cmake procps unzip
    libcli11-dev libutfcpp-dev libgtest-dev libgmock-dev fonts-liberation2 poppler-utils glabels-data)
# With the desktop program: Qt's Polish texts and fonts for the window tests, and a virtual screen for starting it.
if [[ -f "$cache/qt/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
    packages+=(qt6-translations-l10n fonts-dejavu-core)
    $installer && packages+=(xvfb xauth xdotool imagemagick)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "== installing ${missing[*]}"
    # A list a mirror is syncing just now fails to read: tried again, then installing goes on with the lists
    # there are, and fails only when a package cannot be had.
    as_root apt-get update -qq || { sleep 15; as_root apt-get update -qq; } ||
        echo "Note: some package lists could not be read; installing with those there are" >&2
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# An NSIS installer is a 32-bit program: wine runs it with its 32-bit half. A mirror whose i386 lists are being
# synced cannot give it just now: then the installer is made and its test is said to be left out, never passed.
installer_test=$installer
if $installer && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    echo "== installing wine32:i386"
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    as_root apt-get update -qq || true
    if ! DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; then
        installer_test=false
        echo "WARNING: wine32:i386 cannot be installed from the package mirror now: the installer is made but" \
            "NOT tested; run scripts/windows-build.sh --installer again later" >&2
    fi
fi

source_package pugixml
cross_build pugixml "$cache/src/pugixml" -DPUGIXML_BUILD_TESTS=OFF
source_package libzip
cross_build libzip "$cache/src/libzip" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
source_package qrencode
cross_build qrencode "$cache/src/qrencode" -DWITH_TOOLS=NO -DWITH_TESTS=NO
cross_build googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
# Header-only libraries: the very headers and CMake files Debian installs, beside the others.
if [[ ! -f "$prefix/.built-headers" ]]; then
    mkdir -p "$prefix/include" "$prefix/share/cmake/CLI11" "$prefix/lib/x86_64-linux-gnu/cmake/utf8cpp"
    cp -r /usr/include/CLI "$prefix/include/"
    cp /usr/share/cmake/CLI11/*.cmake "$prefix/share/cmake/CLI11/"
    cp -r /usr/include/utf8cpp "$prefix/include/"
    # (at the same depth as Debian's, for the config finds its prefix four folders up)
    cp /usr/lib/x86_64-linux-gnu/cmake/utf8cpp/*.cmake "$prefix/lib/x86_64-linux-gnu/cmake/utf8cpp/"
    touch "$prefix/.built-headers"
fi

gui=OFF qt_host=() roots=$prefix
if [[ -f "$cache/qt/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
    # Qt for Windows (scripts/windows-qt.sh); the host's Qt of the same version runs moc, rcc and uic.
    gui=ON roots="$prefix;$cache/qt"
    # Where that Qt looks for its translations and (on the offscreen platform of the window tests) fonts.
    mkdir -p "$cache/qt/translations" "$cache/qt/lib/fonts"
    cp /usr/share/qt6/translations/qtbase_pl.qm "$cache/qt/translations/"
    cp /usr/share/fonts/truetype/dejavu/*.ttf "$cache/qt/lib/fonts/"
    qt_host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
fi
echo "== cross-building CARDMILL (desktop program: $gui)"
cmake -S . -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCARDMILL_WINDOWS_PREFIX="$roots" \
    -DCMAKE_PREFIX_PATH="$prefix;$cache/qt" -DCLI11_DIR="$prefix/share/cmake/CLI11" \
    -Dutf8cpp_DIR="$prefix/lib/x86_64-linux-gnu/cmake/utf8cpp" -DCARDMILL_GUI=$gui -DCARDMILL_TESTS=ON -DCARDMILL_WERROR=ON \
    "${qt_host[@]}" \
    >"$cache/build-cardmill.log" 2>&1 || { tail -n 40 "$cache/build-cardmill.log" >&2; exit 1; }
cmake --build "$build" -j "$jobs" 2>&1 | grep -E "warning:|error:|Error [0-9]|\*\*\*" && { echo "the Windows build has warnings or errors" >&2; exit 1; }
[[ -f "$build/app/cardmill-convert.exe" ]] || { echo "no cardmill-convert.exe" >&2; exit 1; }
echo "== built: $(cd "$build" && ls app/*.exe | tr '\n' ' ')"

# A wine prefix of our own, made again when it was made before wine had its 32-bit half.
export WINEPREFIX=$cache/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ -d "$WINEPREFIX" ]] && $installer_test && [[ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi
if $run_tests || $installer; then
    [[ -d "$WINEPREFIX" ]] || wineboot --init >/dev/null 2>&1
fi

if [[ $gui == ON ]] && { $run_tests || $installer; }; then
    # Qt's libraries and the compiler's runtime they link, for the window tests and cardmill.exe in the build.
    runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
    WINEPATH="$(winepath -w "$cache/qt/bin");$(winepath -w "$runtime");$(winepath -w /usr/x86_64-w64-mingw32/lib)"
    export WINEPATH
fi

if $run_tests; then
    echo "== the tests under wine"
    # The label stocks where an installed program has them (share\ beside its folder), for the window tests.
    if [[ -d /usr/share/libglabels-3.0/templates && ! -d "$build/share/libglabels-3.0/templates" ]]; then
        mkdir -p "$build/share/libglabels-3.0"
        cp -r /usr/share/libglabels-3.0/templates "$build/share/libglabels-3.0/"
    fi
    (cd "$build" && ctest --output-on-failure -j "$jobs") || { echo "tests failed under wine" >&2; exit 1; }
    # What each test program counted (the window tests, Qt Test programs, say it on a line of their own).
    grep -h -E "^Totals: |^\[  (PASSED|SKIPPED)  \] [0-9]+ test" "$build/Testing/Temporary/LastTest.log" || true
    # The example against the Linux converter, made here when no Linux build is there yet.
    linux=$root/build/default/app/cardmill-convert
    if [[ ! -x $linux ]]; then
        echo "== building the Linux converter to compare with (build/default)"
        "$root/scripts/setup.sh" >/dev/null
        cmake --preset default >/dev/null && cmake --build --preset default -j "$jobs" --target cardmill-convert \
            >/dev/null || { echo "the Linux converter does not build" >&2; exit 1; }
    fi
    scripts/windows-example.sh "$build/app/cardmill-convert.exe" "$linux"
fi

if $installer; then
    echo "== the installer: made, installed and uninstalled silently under wine"
    (cd "$build" && cpack -G NSIS64 >/dev/null) || { echo "cpack failed" >&2; exit 1; }
    setup=$(ls "$build"/cardmill-*-win64.exe)
fi
if $installer && ! $installer_test; then
    echo "== $(basename "$setup") made; its test under wine LEFT OUT: wine32 is not installed (see the warning above)"
elif $installer; then
    installed="$WINEPREFIX/drive_c/Program Files/CARDMILL"
    wait_for() { # condition, up to 30 s (an NSIS uninstaller goes on in a copy of its own)
        for _ in $(seq 60); do eval "$1" && return 0; sleep 0.5; done
        return 1
    }
    wine "$setup" /S
    wait_for '[[ -f "$installed/bin/cardmill-convert.exe" ]]' || { echo "the installer installed nothing" >&2; exit 1; }
    [[ -d "$installed/share/libglabels-3.0/templates" && -f "$installed/share/cardmill/cardmill_en.html" &&
       -f "$installed/share/cardmill/cardmill_pl.html" ]] ||
        { echo "the installer left out the label stocks or the user guide" >&2; exit 1; }
    wine "$installed/bin/cardmill-convert.exe" --list-stocks L7163 | grep "Avery L7163" >/dev/null ||
        { echo "the installed converter finds no label stocks" >&2; exit 1; }
    # An installed program keeps its settings in %APPDATA%\cardmill, never beside itself.
    wine "$installed/bin/cardmill-convert.exe" --help | tr -d '\r' | tr '\n' ' ' | grep -q 'AppData[^ ]*cardmill.ini' ||
        { echo "the installed converter keeps its settings elsewhere than %APPDATA%" >&2; exit 1; }
    if [[ $gui == ON ]]; then
        for f in cardmill.exe Qt6Widgets.dll Qt6PrintSupport.dll platforms/qwindows.dll libstdc++-6.dll \
            translations/qtbase_pl.qm; do
            [[ -f "$installed/bin/$f" ]] || { echo "the installer left out bin/$f" >&2; exit 1; }
        done
        # The installed converter draws labels with Qt's Windows platform, which needs no screen.
        sheet="$WINEPREFIX/drive_c/calibration.pdf"
        rm -f "$sheet"
        WINEPATH="" wine "$installed/bin/cardmill-convert.exe" --stock "Avery L7163" \
            --calibration-page 'C:\calibration.pdf' >/dev/null 2>&1 &&
            [[ "$(head -c 4 "$sheet" 2>/dev/null)" == "%PDF" ]] ||
            { echo "the installed converter draws no labels" >&2; exit 1; }
        rm -f "$sheet"
        # Regular text regular and headings bold, as on Linux: the faces the installer brings, both embedded.
        cp examples/sp3kxq.adi "$WINEPREFIX/drive_c/fonts.adi"
        WINEPATH="" wine "$installed/bin/cardmill-convert.exe" --log 'C:\fonts.adi' --stock "Avery L7163" \
            >/dev/null 2>&1
        faces=$(pdffonts "$WINEPREFIX/drive_c/fonts_labels.pdf" 2>/dev/null | awk 'NR > 2 {print $1}' | sort -u)
        rm -f "$WINEPREFIX"/drive_c/fonts*
        grep -qx "LiberationSans" <<<"$faces" && grep -qx "LiberationSans-Bold\|LiberationSansBold" <<<"$faces" ||
            { echo "the installed converter's labels embed $(echo $faces) (not regular and bold)" >&2; exit 1; }
        find "$WINEPREFIX/drive_c" -path "*Start Menu*" -name "CARDMILL.lnk" | grep -q . ||
            { echo "the installer made no Start-menu entry" >&2; exit 1; }
        for type in .adi .adif; do
            wine reg query "HKCR\\$type" 2>/dev/null | grep -q "CARDMILL.Log" ||
                { echo "$type logs are not associated with CARDMILL" >&2; exit 1; }
        done
        # A log opened as a double click in the file manager opens it: the installed desktop program starts
        # with what the installer put beside it alone.
        WINEPATH="" scripts/windows-window.sh "$build/cardmill-under-wine.png" start \
            "$(winepath -w "$installed/share/cardmill/examples/sp3kxq.adi")" || exit 1
    fi
    [[ ! -e "$installed/bin/cardmill.ini" ]] || { echo "the installed program wrote its settings beside itself" >&2; exit 1; }
    wine "$installed/Uninstall.exe" /S
    wait_for '[[ ! -e "$installed" ]]' || { echo "the uninstaller left $installed" >&2; exit 1; }
    if [[ $gui == ON ]]; then
        ! wine reg query 'HKCR\.adi' 2>/dev/null | grep -q "CARDMILL.Log" &&
            ! find "$WINEPREFIX/drive_c" -path "*Start Menu*" -name "CARDMILL.lnk" | grep -q . ||
            { echo "the uninstaller left the file association or the Start-menu entry" >&2; exit 1; }
    fi
    started=""
    [[ $gui == ON ]] && started=", starts the desktop program, opens logs"
    echo "$(basename "$setup"): installs, finds its label stocks$started, uninstalls"
fi
