# Shared by scripts/windows-build.sh and scripts/windows-qt.sh (sourced): Debian's source packages built for
# Windows into the cache folder. Expects $root, $cache, $prefix and $jobs.

as_root() { if ((EUID == 0)); then "$@"; else sudo "$@"; fi; }

# A source package of the mirror the machine uses, through apt lists of our own (the system's sources stay
# as they are): unpacked into $cache/src/NAME.
source_package() {
    local name=$1
    [[ -d "$cache/src/$name" ]] && return
    local apt=$cache/apt
    mkdir -p "$apt/lists/partial" "$apt/parts" "$apt/cache/archives/partial" "$cache/src"
    if [[ ! -f "$apt/parts/src.sources" ]]; then
        local uris suites
        uris=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
        suites=$(awk '/^Suites:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
        printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
            "${uris:-http://deb.debian.org/debian}" "${suites:-bookworm}" \
            /usr/share/keyrings/debian-archive-keyring.gpg >"$apt/parts/src.sources"
    fi
    local opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/parts"
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root)
    [[ -n "$(ls "$apt/lists" 2>/dev/null | grep Sources)" ]] || apt-get "${opts[@]}" update -qq
    local work=$cache/src/.fetch-$name
    rm -rf "$work" && mkdir -p "$work"
    # Lists read long ago may name a version the mirror no longer has: read again, then tried once more.
    if (cd "$work" && { apt-get "${opts[@]}" source --download-only -qq "$name" >/dev/null 2>&1 ||
        { apt-get "${opts[@]}" update -qq && apt-get "${opts[@]}" source --download-only -qq "$name" >/dev/null 2>&1; }; } &&
        dpkg-source --no-check -x ./*.dsc unpacked >/dev/null); then
        mv "$work/unpacked" "$cache/src/$name"
    else
        # A mirror that lacks the package's Debian part still has its upstream source (the .orig tarball,
        # checked against the hash the lists give): the library builds from it alone.
        local uri file size hash
        while read -r uri file size hash; do
            [[ $file == *.orig.tar.* ]] || continue
            /usr/lib/apt/apt-helper download-file "${uri//\'/}" "$work/$file" "$hash" >/dev/null &&
                mkdir -p "$work/unpacked" && tar -xf "$work/$file" --strip-components=1 -C "$work/unpacked" &&
                mv "$work/unpacked" "$cache/src/$name"
        done < <(apt-get "${opts[@]}" source --print-uris -qq "$name")
        [[ -d "$cache/src/$name" ]] || { echo "the source of $name cannot be had from the package mirror" >&2; exit 1; }
        echo "Note: $name built from its upstream source in Debian's archive (the mirror lacks its Debian part)" >&2
    fi
    rm -rf "$work"
}

# A CMake project built for Windows and installed into $prefix, once.
cross_build() {
    local name=$1 source=$2
    shift 2
    [[ -f "$prefix/.built-$name" ]] && return
    echo "== building $name for Windows"
    cmake -S "$source" -B "$cache/build/$name" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCARDMILL_WINDOWS_PREFIX="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >"$cache/build-$name.log" 2>&1 ||
        { tail -n 30 "$cache/build-$name.log" >&2; exit 1; }
    cmake --build "$cache/build/$name" -j "$jobs" >>"$cache/build-$name.log" 2>&1 &&
        cmake --install "$cache/build/$name" >>"$cache/build-$name.log" 2>&1 ||
        { tail -n 30 "$cache/build-$name.log" >&2; exit 1; }
    touch "$prefix/.built-$name"
}
