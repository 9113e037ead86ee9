#!/usr/bin/env bash
# The Windows converter under wine against the Linux one: the bundled example, in a folder with a Polish name,
# as UTF-8, UTF-16 and Windows-1250 logs, merged into the example's main documents and marked as sent. Every
# product must be the same, byte for byte (label documents entry by entry: a zip holds the time it was made).
# Then Ctrl-C during a run.
#
#   scripts/windows-example.sh WINDOWS-CONVERTER.exe [LINUX-CONVERTER]
# The Linux converter defaults to build/default/app/cardmill-convert. Needs wine, iconv, unzip and pgrep.
set -uo pipefail
cd "$(dirname "$0")/.."
windows=$(realpath "$1")
linux=$(realpath "${2:-build/default/app/cardmill-convert}")
[[ -x "$linux" ]] || { echo "no Linux converter at $linux" >&2; exit 2; }
export WINEDEBUG=-all

work=$(mktemp -d "${TMPDIR:-/tmp}/cardmill-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0

same() { # file-a file-b
    if [[ "$1" == *.docx || "$1" == *.odt ]]; then
        local names
        names=$(unzip -Z1 "$1" | sort)
        [[ "$names" == "$(unzip -Z1 "$2" | sort)" ]] || return 1
        while read -r entry; do
            local pattern=${entry//[/[[]} # unzip reads names as patterns
            cmp -s <(unzip -p "$1" "$pattern") <(unzip -p "$2" "$pattern") || return 1
        done <<<"$names"
    elif [[ "$1" == *.adi ]]; then # made a second or two apart
        local stamp='s/<CREATED_TIMESTAMP:15>[0-9 ]*//'
        cmp -s <(sed "$stamp" "$1") <(sed "$stamp" "$2")
    else
        cmp -s "$1" "$2"
    fi
}

# encoding: utf-8, utf-16 or windows-1250
check() {
    local encoding=$1
    local lin="$work/linux-$encoding" win="$work/Łódź ćwiczenia $encoding"
    mkdir -p "$lin" "$win"
    for dir in "$lin" "$win"; do
        cp examples/card_*.docx examples/sp3kxq-swl.adi "$dir/"
        case "$encoding" in
        utf-8) cp examples/sp3kxq.adi "$dir/" ;;
        utf-16) { printf "\xff\xfe"; iconv -c -f UTF-8 -t UTF-16LE examples/sp3kxq.adi; } >"$dir/sp3kxq.adi" ;;
        windows-1250) iconv -c -f UTF-8 -t CP1250 examples/sp3kxq.adi >"$dir/sp3kxq.adi" ;; # what it cannot hold goes
        esac
    done
    local options=(--qsos 3 --field GRIDSQUARE --field COMMENT --mark-sent --sent-via B)
    (cd "$lin" && "$linux" --log sp3kxq.adi --swl sp3kxq-swl.adi --main-doc card_1.docx "${options[@]}" \
        >"$work/linux-$encoding.out" 2>&1)
    local linux_code=$?
    (cd "$win" && wine "$windows" --log "$win/sp3kxq.adi" --swl "$win/sp3kxq-swl.adi" \
        --main-doc "$win/card_1.docx" "${options[@]}" >"$work/windows-$encoding.out" 2>&1)
    local windows_code=$?
    if ((linux_code != windows_code)); then
        echo "$encoding: exit code $windows_code under wine, $linux_code on Linux" >&2
        cat "$work/windows-$encoding.out" >&2
        status=1
        return
    fi
    local compared=0
    for f in "$lin"/sp3kxq_* "$lin"/sp3kxq.adi; do
        local name
        name=$(basename "$f")
        if [[ ! -f "$win/$name" ]] || ! same "$f" "$win/$name"; then
            echo "$encoding: $name differs between Windows and Linux" >&2
            status=1
        fi
        compared=$((compared + 1))
    done
    echo "$encoding log in \"$(basename "$win")\": exit $windows_code, $compared products the same as on Linux"
}

# Ctrl-C during a run: wine hands the terminal's SIGINT to the program as a console's CTRL_C_EVENT. The run
# ends with exit 1 and "Process stopped", the label document is not made and nothing is left behind: no part
# file beside the log, no scratch folder in the temporary folder.
ctrl_c() {
    local dir="$work/Łódź stop"
    mkdir -p "$dir"
    cp examples/card_1.docx "$dir/"
    local records
    records=$(sed -n '/<[Ee][Oo][Hh]>/,$p' examples/sp3kxq.adi | tail -n +2)
    { echo "a long log"; echo "<EOH>"; for _ in $(seq 4000); do echo "$records"; done; } >"$dir/long.adi"
    local temp
    temp=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
    temp=$(winepath -u "$temp" 2>/dev/null)
    local before
    before=$(ls -A "$temp" 2>/dev/null | sort)
    wine "$windows" --log "$dir/long.adi" --main-doc "$dir/card_1.docx" >"$work/stop.out" 2>&1 &
    local runner=$! pid=""
    for _ in $(seq 200); do
        grep -q "Processing" "$work/stop.out" 2>/dev/null && pid=$(pgrep -n -f 'cardmill-convert\.exe --log') && break
        sleep 0.1
    done
    [[ -n "$pid" ]] && kill -INT "$pid"
    wait "$runner"
    local code=$?
    local left
    left=$(cd "$dir" && ls -A | grep -v -e '^long\.adi$' -e '^card_1\.docx$' -e '^long_[0-9]*\.txt$' \
        -e '^long_swl\.txt$' -e '^long_bad\.txt$')
    if [[ -z "$pid" || $code -ne 1 ]] || ! grep -q "Process stopped" "$work/stop.out" || [[ -n "$left" ]] ||
        [[ "$(ls -A "$temp" 2>/dev/null | sort)" != "$before" ]]; then
        echo "Ctrl-C: exit $code, left beside the log: ${left:-nothing}" >&2
        cat "$work/stop.out" >&2
        status=1
        return
    fi
    echo "Ctrl-C during a run: exit 1, \"Process stopped\", nothing left behind"
}

check utf-8
check utf-16
check windows-1250
ctrl_c
exit $status
