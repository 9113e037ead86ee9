#!/usr/bin/env bash
# Shows that a change to the main documents the program makes, or to its merge, leaves the printed labels as
# they were: with two builds of cardmill-convert, makes main documents for several label stocks in both
# formats, merges the bundled example into each (labels of 1 to 3 QSOs and SWL reports), has LibreOffice print
# every label document to PDF, and compares the pages as pictures (150 dpi, grey).
#
# Usage: scripts/compare-labels.sh OLD-CONVERTER NEW-CONVERTER [STOCK...]
#   Default stocks: Avery L7163 (A4, 2 x 7), Avery 5160 (US Letter, 3 x 10), Zweckform 3474 (to the edges).
# Needs LibreOffice and poppler-utils. Prints the size of both builds' label documents, each page that
# differs and by how many pixels; exit code 0 when every page is the same.
set -uo pipefail
cd "$(dirname "$0")/.."

old=$(realpath "$1") new=$(realpath "$2")
shift 2
stocks=("$@")
((${#stocks[@]})) || stocks=("Avery L7163" "Avery 5160" "Zweckform 3474")

work=$(mktemp -d "${TMPDIR:-/tmp}/cardmill-labels.XXXXXX")
trap 'rm -rf "$work"' EXIT
profile="file://$work/lo-profile"

label_documents() { # converter side stock format
    local converter=$1 side=$2 stock=$3 format=$4
    local dir="$work/$side/${stock// /_}-$format"
    mkdir -p "$dir/main"
    "$converter" --make-main-docs "$dir/main" --stock "$stock" --format "$format" --my-call SP3KXQ >/dev/null 2>&1 ||
        { echo "$side: no main documents for $stock ($format)" >&2; return 1; }
    for n in 1 2 3; do
        cp examples/sp3kxq.adi "$dir/log$n.adi"
        "$converter" --log "$dir/log$n.adi" --swl examples/sp3kxq-swl.adi --main-doc "$dir/main/card_1.$format" \
            --qsos "$n" --pdf >/dev/null 2>&1 || { echo "$side: the merge failed for $stock ($format, $n)" >&2; return 1; }
    done
}

pages() { # pdf prefix
    pdftoppm -r 150 -gray "$1" "$2"
}

status=0
for stock in "${stocks[@]}"; do
    for format in docx odt; do
        label_documents "$old" old "$stock" "$format" || { status=1; continue; }
        label_documents "$new" new "$stock" "$format" || { status=1; continue; }
        key="${stock// /_}-$format"
        size_old=$(cat "$work/old/$key"/log*_labels_*."$format" | wc -c)
        size_new=$(cat "$work/new/$key"/log*_labels_*."$format" | wc -c)
        echo "$stock, $format: label documents $size_old -> $size_new bytes"
        for pdf in "$work/old/$key"/log*_labels_*.pdf; do
            name=$(basename "$pdf" .pdf)
            other="$work/new/$key/$name.pdf"
            [[ -f "$other" ]] || { echo "  $name: no PDF from the new build"; status=1; continue; }
            pages "$pdf" "$work/old-$key-$name"
            pages "$other" "$work/new-$key-$name"
            python3 - "$work/old-$key-$name" "$work/new-$key-$name" "$name" <<'EOF' || status=1
import glob, sys

def pgm(path):
    data = open(path, 'rb').read()
    fields, at = [], 0
    while len(fields) < 4:  # P5 width height maxval, then one byte of white space
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    return int(fields[1]), int(fields[2]), data[at + 1:]

old = sorted(glob.glob(sys.argv[1] + '-*.pgm'))
new = sorted(glob.glob(sys.argv[2] + '-*.pgm'))
if len(old) != len(new):
    print(f'  {sys.argv[3]}: {len(old)} pages before, {len(new)} now')
    sys.exit(1)
bad = False
for i, (a, b) in enumerate(zip(old, new), 1):
    wa, ha, pa = pgm(a)
    wb, hb, pb = pgm(b)
    if (wa, ha) != (wb, hb):
        print(f'  {sys.argv[3]} page {i}: {wa}x{ha} before, {wb}x{hb} now')
        bad = True
        continue
    differ = 0 if pa == pb else sum(1 for x, y in zip(pa, pb) if abs(x - y) > 64)
    if differ:
        print(f'  {sys.argv[3]} page {i}: {differ} pixels differ')
        bad = True
print(f'  {sys.argv[3]}: {len(old)} pages' + (' differ' if bad else ' the same'))
sys.exit(1 if bad else 0)
EOF
        done
    done
done
exit $status
