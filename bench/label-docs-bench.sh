#!/usr/bin/env bash
# The whole run to label documents against a parser alone: on synthetic logs of 10,000, 100,000 and 1,000,000
# QSOs, side by side in one run, the median wall time of
#   - the npm parser adif-parser-ts, only parsing the file (Node.js; installed into a cache folder on first
#     use; left out, and said, when npm cannot fetch it), and
#   - cardmill-convert making the label documents (labels of 3) from main documents it made itself for
#     Avery L7163, .docx and .odt,
# with the converter's peak memory, the label documents' size and XML per label, `unzip -t` on every label
# document, and the growth from 10k to 100k to 1M.
#   bench/label-docs-bench.sh [BUILD_DIR]     RUNS=3 by default; SIZES="10000 100000 1000000" by default
set -euo pipefail
build=${1:-build/default}
runs=${RUNS:-3}
sizes=${SIZES:-"10000 100000 1000000"}
convert="$build/app/cardmill-convert"
genlog="$build/bench/cardmill-genlog"
[[ -x "$convert" && -x "$genlog" ]] || { echo "build $build first (with CARDMILL_BENCH=ON)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# The parser to compare with, from the npm registry, kept in the user's cache.
cache="${XDG_CACHE_HOME:-$HOME/.cache}/cardmill-bench"
parser=""
if command -v node >/dev/null && command -v npm >/dev/null; then
    if [[ ! -d "$cache/node_modules/adif-parser-ts" ]]; then
        mkdir -p "$cache"
        (cd "$cache" && npm install --no-audit --no-fund --silent adif-parser-ts >/dev/null 2>&1) || true
    fi
    if [[ -d "$cache/node_modules/adif-parser-ts" ]]; then
        parser="$work/parse.js"
        cat >"$parser" <<EOF
const { AdifParser } = require('$cache/node_modules/adif-parser-ts');
const text = require('fs').readFileSync(process.argv[2], 'latin1');
const records = AdifParser.parseAdi(text).records.length;
if (records !== Number(process.argv[3])) { console.error('parsed ' + records + ' records'); process.exit(1); }
EOF
        echo "adif-parser-ts $(node -p "require('$cache/node_modules/adif-parser-ts/package.json').version"), Node.js $(node --version)"
    fi
fi
[[ -n "$parser" ]] || echo "adif-parser-ts is not at hand (no Node.js, or npm cannot reach its registry): the converter alone"

for format in docx odt; do
    mkdir -p "$work/main-$format"
    "$convert" --make-main-docs "$work/main-$format" --stock "Avery L7163" --format "$format" --sizes 1,2,3,swl >/dev/null
done

declare -A took
for n in $sizes; do
    log="$work/log$n.adi"
    "$genlog" --readable "$log" "$n"
    printf '%9d QSOs, %d MB of log\n' "$n" $(($(stat -c %s "$log") / 1000000))
    if [[ -n "$parser" ]]; then
        times=()
        for ((i = 0; i < runs; i++)); do
            /usr/bin/time -o "$work/time" -f "%e %M" node "$parser" "$log" "$n"
            out=$(tail -n 1 "$work/time")
            times+=("${out% *}")
        done
        t=$(printf '%s\n' "${times[@]}" | median)
        took[parser$n]=$t
        printf '    adif-parser-ts, parsing only:   %6.2f s\n' "$t"
    fi
    for format in docx odt; do
        times=() mems=()
        for ((i = 0; i < runs; i++)); do
            rm -f "$work"/log"$n"_*
            /usr/bin/time -o "$work/time" -f "%e %M" "$convert" --log "$log" --main-doc "$work/main-$format/card_1.$format" \
                --qsos 3 >/dev/null 2>&1 || { echo "the run failed" >&2; exit 1; }
            out=$(tail -n 1 "$work/time")
            times+=("${out% *}") mems+=("${out#* }")
        done
        t=$(printf '%s\n' "${times[@]}" | median)
        m=$(printf '%s\n' "${mems[@]}" | median)
        took[$format$n]=$t
        bytes=0 xml=0 labels=0
        for doc in "$work"/log"$n"_labels_*."$format"; do
            unzip -tq "$doc" >/dev/null || { echo "unzip -t finds faults in $doc" >&2; exit 1; }
            bytes=$((bytes + $(stat -c %s "$doc")))
            xml=$((xml + $(unzip -l "$doc" | awk '/(document|content)\.xml$/ {s += $1} END {print s + 0}')))
        done
        # Labels: the data-source lines, less the QSOs that share a label.
        for k in 1 2 3; do
            f="$work/log${n}_$k.txt"
            [[ -f "$f" ]] && labels=$((labels + ($(wc -l <"$f") - 1) / k))
        done
        f="$work/log${n}_swl.txt"
        [[ -f "$f" ]] && labels=$((labels + $(wc -l <"$f") - 1))
        ratio=""
        [[ -n "$parser" ]] && ratio=$(awk -v a="$t" -v b="${took[parser$n]}" 'BEGIN { printf "(%.2f x the parser)", a / b }')
        printf '    cardmill-convert to .%-4s      %6.2f s %s, peak %d MB, %d labels, documents %.1f MB, %d bytes of XML a label, unzip -t clean\n' \
            "$format" "$t" "$ratio" $((m / 1024)) "$labels" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" $((xml / labels))
    done
    rm -f "$log" "$work"/log"$n"_*
done
set -- $sizes
while (($# > 1)); do
    for what in docx odt ${parser:+parser}; do
        awk -v w="$what" -v a="${took[$what$1]}" -v b="${took[$what$2]}" -v n="$1" -v m="$2" \
            'BEGIN { printf "%s: %d -> %d QSOs takes %.1fx the time\n", w, n, m, b / a }'
    done
    shift
done
