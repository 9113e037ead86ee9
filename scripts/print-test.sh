#!/usr/bin/env bash
# Drawn labels sent to a real print queue: a CUPS queue of printer-driver-cups-pdf, which prints into a PDF.
# The printed pages must be the drawn PDF's pages: as many, of the same size, and the same picture (compared
# at 40 dpi, a few pixels of difference allowed for the PDF printer's own rendering). A queue that takes no jobs
# is refused before anything is drawn or marked; a run stopped while it draws hands nothing to the queue; the
# printing tests of test_render run against both queues. Installs CUPS and the PDF printer when it may (as root
# or with sudo), starts the scheduler when it is not running, and says why it skips otherwise.
#   scripts/print-test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
convert="$build/app/cardmill-convert"
[[ -x "$convert" ]] || { echo "build $build first" >&2; exit 2; }

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if ! sudo -n true 2>/dev/null; then
        echo "print test skipped: installing CUPS needs root or sudo"
        exit 0
    fi
    sudo=(sudo -n)
fi
missing=()
for p in cups printer-driver-cups-pdf poppler-utils python3; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        >/dev/null
fi

running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
started=false
if ! running; then
    "${sudo[@]}" /usr/sbin/cupsd
    started=true
    for _ in $(seq 100); do running && break; sleep 0.1; done
fi
queue=CardmillTest$$
rejecting=CardmillRejecting$$
work=$(mktemp -d)
cleanup() {
    "${sudo[@]}" lpadmin -x "$queue" 2>/dev/null || true
    "${sudo[@]}" lpadmin -x "$rejecting" 2>/dev/null || true
    $started && "${sudo[@]}" pkill -x cupsd 2>/dev/null || true
    [[ -n ${PRINT_TEST_KEEP:-} ]] && echo "kept: $work" || rm -rf "$work"
}
trap cleanup EXIT
"${sudo[@]}" lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>"$work/lpadmin" ||
    { echo "print test failed: no queue: $(cat "$work/lpadmin")" >&2; exit 1; }
"${sudo[@]}" lpadmin -p "$rejecting" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null &&
    "${sudo[@]}" cupsreject -r "out of labels" "$rejecting" ||
    { echo "print test failed: no rejecting queue" >&2; exit 1; }

# Where cups-pdf puts what it prints for this user.
out_dir=$(sed -n 's/^Out[[:space:]]*//p' /etc/cups/cups-pdf.conf | tail -n 1)
out_dir=${out_dir:-/var/spool/cups-pdf/\$\{USER\}}
out_dir=${out_dir//\$\{HOME\}/$HOME}
out_dir=${out_dir//\$\{USER\}/$(id -un)}
mkdir -p "$out_dir"
touch "$work/before"

# Nothing of what follows may reach the queue.
queued() { lpstat -o "$queue" 2>/dev/null | grep -q . || [[ -n $(find "$out_dir" -maxdepth 1 -newer "$work/before") ]]; }

# A queue that takes no jobs: said before the log is read, nothing drawn, nothing marked.
mkdir "$work/refused"
cp examples/sp3kxq.adi "$work/refused/"
status=0
"$convert" --log "$work/refused/sp3kxq.adi" --custom-grid "A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1" --mark-sent \
    --print "$rejecting" >"$work/refused.out" 2>&1 || status=$?
[[ $status == 4 ]] && grep -q "does not accept jobs (out of labels)" "$work/refused.out" ||
    { echo "print test failed: a rejecting queue gave exit $status: $(cat "$work/refused.out")" >&2; exit 1; }
[[ $(ls "$work/refused") == sp3kxq.adi ]] ||
    { echo "print test failed: a refused run wrote $(ls "$work/refused")" >&2; exit 1; }

# Stopped while the labels are drawn (Ctrl-C): nothing reaches the queue, nothing is marked.
mkdir "$work/stopped"
python3 - "$work/stopped/big.adi" <<'PY'
import sys
with open(sys.argv[1], 'w') as f:
    f.write('generated\n<EOH>\n')
    for i in range(30000):
        call = f'K{i}AA'
        f.write(f'<CALL:{len(call)}>{call}<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20m<MODE:3>SSB<EOR>\n')
PY
"$convert" --log "$work/stopped/big.adi" --custom-grid "A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1" --mark-sent \
    --print "$queue" >"$work/stopped.out" 2>&1 &
pid=$!
for _ in $(seq 600); do
    compgen -G "$work/stopped/.big_labels.pdf.cardmill-*.part" >/dev/null && break
    sleep 0.05
done
kill -INT "$pid"
status=0
wait "$pid" || status=$?
sleep 2
[[ $status == 1 ]] || { echo "print test failed: a stopped run gave exit $status: $(cat "$work/stopped.out")" >&2; exit 1; }
! queued || { echo "print test failed: a run stopped while drawing printed" >&2; exit 1; }
! compgen -G "$work/stopped/big_sent.adi" >/dev/null || { echo "print test failed: a stopped run marked" >&2; exit 1; }

# The printing of the windows' preview: cancelled, refused, printed.
test_render="$build/tests/test_render"
if [[ -x $test_render ]]; then
    CARDMILL_TEST_QUEUE=$queue CARDMILL_TEST_REJECTING_QUEUE=$rejecting CARDMILL_TEST_PRINTED=$out_dir \
        QT_QPA_PLATFORM=offscreen "$test_render" --gtest_filter='Printing.*' >"$work/printing.out" 2>&1 ||
        { echo "print test failed: $(tail -n 30 "$work/printing.out")" >&2; exit 1; }
    grep -q "SKIPPED" "$work/printing.out" && { echo "print test failed: the printing tests skipped" >&2; exit 1; }
fi
while lpstat -o "$queue" 2>/dev/null | grep -q .; do sleep 0.2; done
sleep 1
touch "$work/before"

# The example's labels printed: the queue's PDF must be the drawn one.
cp examples/sp3kxq.adi examples/sp3kxq-swl.adi "$work"/
"$convert" --log "$work/sp3kxq.adi" --swl "$work/sp3kxq-swl.adi" --qsos 3 --start-label 5 --my-call SP3KXQ \
    --custom-grid "A4,2,7,99.1,38.1,4.65,15.15,101.6,38.1" --print "$queue" >"$work/out" 2>&1 ||
    { echo "print test failed: the run failed: $(cat "$work/out")" >&2; exit 1; }

printed=""
for _ in $(seq 300); do
    printed=$(find "$out_dir" -maxdepth 1 -name '*.pdf' -newer "$work/before" -size +1k 2>/dev/null | head -n 1)
    [[ -n $printed ]] && ! lpstat -o "$queue" 2>/dev/null | grep -q . && break
    sleep 0.2
done
[[ -n $printed ]] || { echo "print test failed: the queue printed nothing into $out_dir" >&2; exit 1; }

pages() { pdfinfo "$1" | sed -n 's/^Pages:[[:space:]]*//p'; }
size() { pdfinfo "$1" | sed -n 's/^Page size:[[:space:]]*\([0-9.]* x [0-9.]*\).*/\1/p'; }
drawn="$work/sp3kxq_labels.pdf"
[[ $(pages "$printed") == $(pages "$drawn") ]] ||
    { echo "print test failed: $(pages "$printed") pages printed, $(pages "$drawn") drawn" >&2; exit 1; }
[[ $(size "$printed") == $(size "$drawn") ]] ||
    { echo "print test failed: printed on $(size "$printed"), drawn on $(size "$drawn")" >&2; exit 1; }
pdftoppm -r 40 -gray "$drawn" "$work/drawn" 2>/dev/null
pdftoppm -r 40 -gray "$printed" "$work/printed" 2>/dev/null
python3 - "$work" <<'PY'
import glob, os, sys

def pgm(path):
    data = open(path, 'rb').read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    return int(fields[1]), int(fields[2]), data[at + 1:]

work = sys.argv[1]
for drawn in sorted(glob.glob(os.path.join(work, 'drawn-*.pgm'))):
    printed = drawn.replace('drawn-', 'printed-')
    w1, h1, a = pgm(drawn)
    w2, h2, b = pgm(printed)
    if (w1, h1) != (w2, h2):
        sys.exit(f'print test failed: {os.path.basename(drawn)} is {w1}x{h1}, printed {w2}x{h2}')
    # The PDF printer renders glyphs its own way: compare how much ink each 5 mm block holds, not pixels. A
    # label missing or out of place leaves whole blocks of text or paper where the other has the opposite.
    def blocks(data, w, h, size=8):
        return [sum(data[(by + y) * w + bx + x] for y in range(size) for x in range(size)) / (size * size)
                for by in range(0, h - size + 1, size) for bx in range(0, w - size + 1, size)]
    ba, bb = blocks(a, w1, h1), blocks(b, w2, h2)
    differ = sum(1 for x, y in zip(ba, bb) if abs(x - y) > 48)
    if differ > len(ba) * 0.01:
        sys.exit(f'print test failed: {os.path.basename(drawn)} differs in {differ} of {len(ba)} blocks')
print(f'print test passed: {len(glob.glob(os.path.join(work, "drawn-*.pgm")))} pages through a CUPS queue '
      'as drawn; a rejecting queue refused before drawing; a stop and a cancel hand nothing over')
PY
