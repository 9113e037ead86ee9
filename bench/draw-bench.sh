#!/usr/bin/env bash
# Labels drawn by the program against labels made through a main document and LibreOffice's PDF conversion,
# side by side on the same synthetic log (about 3,000 labels of up to 3 QSOs on an Avery L7163 grid), then
# the drawn labels alone on about 10,000 and 100,000 labels: median wall time and peak memory of RUNS runs
# (3 by default; LibreOffice's path runs once) and the growth from 10k to 100k labels.
#   bench/draw-bench.sh [BUILD_DIR]
# Needs LibreOffice for the side-by-side part (skipped without it).
set -euo pipefail
build=${1:-build/default}
runs=${RUNS:-3}
convert="$build/app/cardmill-convert"
genlog="$build/bench/cardmill-genlog"
[[ -x "$convert" && -x "$genlog" ]] || { echo "build $build first (with CARDMILL_BENCH=ON)" >&2; exit 2; }
grid="A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1" # Avery L7163

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# run NAME RUNS ARGS...: the median wall time and peak memory of RUNS runs on $work/log.adi; sets $t, $m, $labels.
run() {
    local name=$1 count=$2
    shift 2
    local times=() mems=()
    for ((i = 0; i < count; i++)); do
        /usr/bin/time -o "$work/time" -f "%e %M" "$convert" --log "$work/log.adi" --qsos 3 "$@" \
            >"$work/out" 2>/dev/null || { echo "$name: the run failed" >&2; cat "$work/out" >&2; exit 1; }
        local out
        out=$(tail -n 1 "$work/time")
        times+=("${out% *}") mems+=("${out#* }")
    done
    t=$(printf '%s\n' "${times[@]}" | median)
    m=$(( $(printf '%s\n' "${mems[@]}" | median) / 1024 ))
    labels=$(grep -o 'labels: [0-9]*' "$work/out" | grep -o '[0-9]*' || true)
}

# About 0.46 labels a QSO in the synthetic logs at 3 QSOs a label.
"$genlog" "$work/log.adi" 6500
run drawn "$runs" --custom-grid "$grid" --my-call SP3KXQ
drawn=$t
printf 'drawn:          %6s labels  %7s s  %4d MB\n' "$labels" "$t" "$m"
if command -v soffice >/dev/null; then
    mkdir "$work/docs"
    "$convert" --make-main-docs "$work/docs" --custom-grid "$grid" --my-call SP3KXQ >/dev/null 2>&1
    run libreoffice 1 --main-doc "$work/docs/card_1.docx" --pdf
    printf 'via LibreOffice: same labels  %7s s  %4d MB (the converter; LibreOffice runs apart)\n' "$t" "$m"
    awk -v a="$drawn" -v b="$t" 'BEGIN { printf "drawn is %.0fx faster\n", b / a }'
else
    echo "LibreOffice is not installed: no side-by-side"
fi

declare -A wall
for qsos in 21600 216000; do
    rm -f "$work"/log*
    "$genlog" "$work/log.adi" "$qsos"
    run drawn "$runs" --custom-grid "$grid" --my-call SP3KXQ
    wall[$qsos]=$t
    printf 'drawn:          %6s labels  %7s s  %4d MB\n' "$labels" "$t" "$m"
done
awk -v a="${wall[21600]}" -v b="${wall[216000]}" 'BEGIN { printf "100k / 10k labels: %.1fx\n", b / a }'
