#!/usr/bin/env bash
# Drawing with designs, on the same synthetic log (about 10,000 labels of up to 3 QSOs): the built-in label
# against the same label read from its design file, a whole card (140 x 90 mm, three on A4) without and with a
# background picture, and the card on a 62 mm roll; then the built-in label on about 100,000 labels. Median wall
# time, labels a second and peak memory of RUNS runs (3 by default), and the PDF's bytes a card beyond the
# picture.
#   bench/design-bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/default}
runs=${RUNS:-3}
convert="$build/app/cardmill-convert"
genlog="$build/bench/cardmill-genlog"
[[ -x "$convert" && -x "$genlog" ]] || { echo "build $build first (with CARDMILL_BENCH=ON)" >&2; exit 2; }
l7163="A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1"
cards="A4,1,3,140,90,35,13.5,140,90"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# run NAME ARGS...: the median wall time and peak memory of $runs runs on $work/log.adi.
run() {
    local name=$1
    shift
    local times=() mems=()
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -o "$work/time" -f "%e %M" "$convert" --log "$work/log.adi" --qsos 3 --my-call SP3KXQ "$@" \
            >"$work/out" 2>/dev/null || { echo "$name: the run failed" >&2; cat "$work/out" >&2; exit 1; }
        local out
        out=$(tail -n 1 "$work/time")
        times+=("${out% *}") mems+=("${out#* }")
    done
    local t m labels
    t=$(printf '%s\n' "${times[@]}" | median)
    m=$(($(printf '%s\n' "${mems[@]}" | median) / 1024))
    labels=$(grep -o 'labels: [0-9]*' "$work/out" | grep -o '[0-9]*' || echo 0)
    printf '%-28s %7s labels %7s s %8.0f labels/s %5d MB\n' "$name" "$labels" "$t" \
        "$(awk -v n="$labels" -v t="$t" 'BEGIN { print (t > 0 ? n / t : 0) }')" "$m"
}

# A background picture of 1654 x 1063 pixels (140 x 90 mm at 300 dpi), a smooth gradient, as PNG.
python3 - "$work/sky.png" <<'EOF'
import struct, sys, zlib
w, h = 1654, 1063
rows = b"".join(b"\0" + bytes(v for x in range(w) for v in (200 + x * 55 // w, 220, 255 - y * 60 // h))
                for y in range(h))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
open(sys.argv[1], "wb").write(png)
EOF
# The built-in card with the picture behind it.
python3 - "$root/designs/card.json" "$work/sky-card.json" <<'EOF'
import json, sys
d = json.load(open(sys.argv[1]))
d["name"] = "card with a background"
d["qsl"].insert(0, {"type": "image", "file": "sky.png", "x": 0, "y": 0, "width": 140, "height": 90, "fit": "cover"})
json.dump(d, open(sys.argv[2], "w"), indent=1)
EOF

"$genlog" "$work/log.adi" 22000
run "label, built in" --custom-grid "$l7163"
run "label, from its file" --custom-grid "$l7163" --design "$root/designs/label.json"
run "card" --custom-grid "$cards" --design card
run "card with a background" --custom-grid "$cards" --design "$work/sky-card.json"
pdf=$work/log_labels.pdf
count=$(grep -o 'labels: [0-9]*' "$work/out" | grep -o '[0-9]*')
if command -v pdfimages >/dev/null; then
    # The picture as the PDF stores it (each object once), against the rest of the file.
    read -r objects picture < <(pdfimages -list "$pdf" | awk 'NR > 2 && !seen[$11]++ {
        s = $15; u = substr(s, length(s)); v = substr(s, 1, length(s) - 1) + 0
        b += (u == "K" ? v * 1024 : u == "M" ? v * 1048576 : v); n++ } END { print n, int(b) }')
    printf '  PDF %d bytes for %d cards: %d picture object(s) of %d bytes; %.0f bytes a card beyond it\n' \
        "$(stat -c %s "$pdf")" "$count" "$objects" "$picture" \
        "$(awk -v s="$(stat -c %s "$pdf")" -v p="$picture" -v n="$count" 'BEGIN { print (s - p) / n }')"
fi
run "label on a 62 mm roll" --roll 62
"$genlog" "$work/log.adi" 220000
runs=1 run "label, built in, 100k" --custom-grid "$l7163"
