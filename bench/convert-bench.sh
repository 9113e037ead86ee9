#!/usr/bin/env bash
# End-to-end benchmark of cardmill-convert on synthetic logs of 100,000 and 1,000,000 QSOs (label size 3, two
# user-defined fields). Prints the median wall time and peak memory of RUNS runs each and the growth from 100k
# to 1M.
#   bench/convert-bench.sh [BUILD_DIR]           the data-source files only (--no-merge)
#   bench/convert-bench.sh --merge [BUILD_DIR]   data-source files and label documents, merged into the
#                                                example's card_1.docx ... card_swl.docx
#   --mark-sent (with or without --merge)        also marks the QSOs as sent (<base>_sent.adi, _updated.adi)
#   --bureau                                     in bureau order (the baseline of --routes)
#   --routes                                     each QSO on its route, with a journal of printed labels
# RUNS=5 by default.
set -euo pipefail
merge=false
extra=()
while [[ "${1:-}" == --* ]]; do
    case "$1" in
    --merge) merge=true ;;
    --mark-sent) extra+=(--mark-sent --sent-via B) ;;
    --bureau) extra+=(--order bureau) ;;
    --routes) extra+=(--routes --journal "${TMPDIR:-/tmp}/cardmill-bench-journal.txt") ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
build=${1:-build/default}
runs=${RUNS:-5}
convert="$build/app/cardmill-convert"
genlog="$build/bench/cardmill-genlog"
[[ -x "$convert" && -x "$genlog" ]] || { echo "build $build first (with CARDMILL_BENCH=ON)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
what=(--no-merge)
if $merge; then
    cp "$(dirname "$0")"/../examples/card_*.docx "$work"/
    what=(--main-doc "$work/card_1.docx")
fi

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

declare -A wall
for n in 100000 1000000; do
    "$genlog" "$work/log$n.adi" "$n"
    times=() mems=()
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -o "$work/time" -f "%e %M" "$convert" --log "$work/log$n.adi" "${what[@]}" "${extra[@]}" --qsos 3 \
            --field GRIDSQUARE --field COMMENT >/dev/null 2>&1 || { echo "the run failed" >&2; exit 1; }
        out=$(tail -n 1 "$work/time")
        times+=("${out% *}") mems+=("${out#* }")
    done
    t=$(printf '%s\n' "${times[@]}" | median)
    m=$(printf '%s\n' "${mems[@]}" | median)
    wall[$n]=$t
    printf '%8d QSOs: median %s s wall, peak %d MB (%d runs)\n' "$n" "$t" $((m / 1024)) "$runs"
    rm -f "$work"/log"$n"_* "$work/log$n.adi"
done
awk -v a="${wall[100000]}" -v b="${wall[1000000]}" 'BEGIN { printf "1M / 100k: %.1fx\n", b / a }'
