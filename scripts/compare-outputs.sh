#!/usr/bin/env bash
# Converts every real log of ../shared/corpus/adif/ and the bundled example with several option sets, using
# two builds of cardmill-convert, and compares the data-source files, bad-records files and messages byte for
# byte. Use it to show that a change leaves the conversion's products as they were.
#
# Usage: scripts/compare-outputs.sh OLD-CONVERTER NEW-CONVERTER [LOG...]
#   Without LOG arguments: every log of the corpus (when it is there) and the example logs.
# Exit code 0 when every product is identical, 1 otherwise (the differing files are listed).
set -uo pipefail
cd "$(dirname "$0")/.."

old=$1 new=$2
shift 2
logs=("$@")
if ((${#logs[@]} == 0)); then
    [[ -d ../shared/corpus/adif ]] && logs+=(../shared/corpus/adif/*.adi)
    logs+=(examples/sp3kxq.adi examples/sp3kxq-swl.adi)
fi

option_sets=(
    "--qsos 1"
    "--qsos 3 --qrg-format 0 --date-format 2 --separator . --field GRIDSQUARE --field COMMENT --field ADDRESS"
    "--qsos 10 --qrg-format 6 --date-format 4 --separator / --field QSLMSG --field MY_GRIDSQUARE --field COUNTRY"
)

work=$(mktemp -d "${TMPDIR:-/tmp}/cardmill-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

run() { # converter side log set-index
    local converter=$1 side=$2 log=$3 index=$4
    local dir="$work/$side/$(basename "$log")-$index"
    mkdir -p "$dir"
    cp "$log" "$dir/log.adi"
    local swl=()
    [[ $(basename "$log") == sp3kxq.adi ]] && cp examples/sp3kxq-swl.adi "$dir/swl.adi" && swl=(--swl "$dir/swl.adi")
    # shellcheck disable=SC2086
    "$converter" --log "$dir/log.adi" "${swl[@]}" --no-merge ${option_sets[$index]} \
        >"$dir/stdout" 2>"$dir/stderr" </dev/null
    echo "exit $?" >>"$dir/stdout"
    # The messages name the scratch folder; make them comparable.
    sed -i "s|$dir|DIR|g" "$dir/stdout" "$dir/stderr"
    # Progress lines on standard error carry no product; keep only the rest.
    grep -v '^\s*\(Processing\|Rewriting\|Grouping\)' "$dir/stderr" >"$dir/stderr.kept" || true
    rm -f "$dir/stderr"
    rm -f "$dir/log.adi" "$dir/swl.adi"
}

for log in "${logs[@]}"; do
    for i in "${!option_sets[@]}"; do
        run "$old" old "$log" "$i"
        run "$new" new "$log" "$i"
    done
done

if diff -r "$work/old" "$work/new" >"$work/diff.txt"; then
    echo "identical: ${#logs[@]} logs x ${#option_sets[@]} option sets"
    exit 0
fi
grep -E '^(diff|Only)' "$work/diff.txt" | sed "s|$work/||g"
exit 1
