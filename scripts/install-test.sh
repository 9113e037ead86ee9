#!/usr/bin/env bash
# The package as an ordinary user meets it: builds the .deb, unpacks it into a scratch root (the programs find
# their files relative to themselves, so this is the installed layout under another prefix), validates the
# desktop entry, the AppStream data and the MIME type, and then, as an unprivileged user (nobody, when this
# runs as root) with a fresh home folder, makes labels from the installed example with cardmill-convert, uses a
# profile from ~/.config/cardmill, starts and closes the desktop program, and checks that nothing was written
# under the prefix and no temporary file was left.
# Usage: scripts/install-test.sh   (after the default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default

fail() { echo "install test: $*" >&2; exit 1; }

rm -f "$build"/cardmill_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/cardmill_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"
dpkg-deb -f "$deb" Recommends | grep -q glabels-data || fail "the package does not recommend glabels-data"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/cardmill-install.XXXXXX")
gui=""
cleanup() {
    if [[ -n $gui ]]; then kill -KILL "$gui" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
chmod 755 "$scratch"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
prefix=$root/usr
desktop-file-validate "$prefix"/share/applications/io.github.cardmill.Cardmill.desktop
appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/io.github.cardmill.Cardmill.metainfo.xml >/dev/null
python3 -c "import xml.dom.minidom,sys; xml.dom.minidom.parse(sys.argv[1])" "$prefix"/share/mime/packages/cardmill-adif.xml
for guide in cardmill_en.html cardmill_pl.html; do
    [[ -s "$prefix/share/cardmill/$guide" ]] || fail "the package lacks the user guide $guide"
done
man --warnings -l "$prefix"/share/man/man1/cardmill-convert.1 >/dev/null 2>"$scratch/man.err" || true
[[ ! -s "$scratch/man.err" ]] || fail "the manual page has faults: $(cat "$scratch/man.err")"
# Every option of --help is in the manual page.
for option in $("$prefix/bin/cardmill-convert" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -- "$(sed 's/-/\\\\-/g' <<<"$option")" "$prefix"/share/man/man1/cardmill-convert.1 ||
        fail "the manual page lacks $option"
done

# The user: nobody when we are root, else ourselves.
home=$scratch/home
tmp=$scratch/tmp
runtime=$scratch/runtime # a session's own folder, as a desktop login makes it
mkdir -p "$home/work" "$tmp" "$runtime"
chmod 700 "$runtime"
cp "$prefix"/share/cardmill/examples/sp3kxq.adi "$prefix"/share/cardmill/examples/sp3kxq-swl.adi "$home/work/"
as_user=()
if [[ $(id -u) -eq 0 ]]; then
    chown -R nobody:nogroup "$home" "$tmp" "$runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run() {
    "${as_user[@]}" env -i HOME="$home" TMPDIR="$tmp" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        QT_QPA_PLATFORM=offscreen "$@"
}
# The same, replacing the shell, so that a background one's process id is the program's.
exec_run() {
    exec "${as_user[@]}" env -i HOME="$home" TMPDIR="$tmp" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin \
        LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}
touch "$scratch/before"
sleep 1

# --help names the settings file in the user's config folder, the prefix not being theirs.
# (grep reads it all: one that stops at the first match may cut the program off, which pipefail counts)
run "$prefix/bin/cardmill-convert" --help | grep "$home/.config/cardmill/cardmill.ini" >/dev/null ||
    fail "--help does not name ~/.config/cardmill/cardmill.ini"

# Labels from the installed example main documents.
run "$prefix/bin/cardmill-convert" --log "$home/work/sp3kxq.adi" --swl "$home/work/sp3kxq-swl.adi" \
    --main-doc "$prefix/share/cardmill/examples/card_1.docx" --qsos 3 >"$scratch/out" 2>&1 ||
    fail "cardmill-convert failed: $(cat "$scratch/out")"
for k in 1 2 3 swl; do
    [[ -s "$home/work/sp3kxq_labels_$k.docx" ]] || fail "no sp3kxq_labels_$k.docx"
done

# Labels drawn on a stock's sheets, with no display and no Qt platform named: one PDF of A4 pages.
"${as_user[@]}" env -i HOME="$home" TMPDIR="$tmp" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    "$prefix/bin/cardmill-convert" --log "$home/work/sp3kxq.adi" --stock "Avery L7163" --my-call SP3KXQ --qsos 3 \
    >"$scratch/out" 2>&1 || fail "cardmill-convert --stock failed: $(cat "$scratch/out")"
head -c 5 "$home/work/sp3kxq_labels.pdf" | grep -q '%PDF-' || fail "no sp3kxq_labels.pdf"
grep -q 'sp3kxq_labels.pdf (labels: ' "$scratch/out" || fail "the drawn labels were not named: $(cat "$scratch/out")"

# A profile kept in ~/.config/cardmill.
mkdir -p "$home/.config/cardmill"
printf '[Installed]\r\nSource file=%s\r\nMain doc=%s\r\nQRG format=QRG in MHz\r\nQSOs on label=2\r\nDate format=2006-09-23\r\nDate separator=-\r\n[Filters]\r\nCall=0\r\n[Profile]\r\nLast profile=0\r\n' \
    "$home/work/sp3kxq.adi" "$prefix/share/cardmill/examples/card_1.odt" >"$home/.config/cardmill/cardmill.ini"
[[ $(id -u) -eq 0 ]] && chown -R nobody:nogroup "$home/.config"
rm -f "$home"/work/sp3kxq_labels_*
run "$prefix/bin/cardmill-convert" --profile Installed >"$scratch/out" 2>&1 ||
    fail "cardmill-convert --profile failed: $(cat "$scratch/out")"
[[ -s "$home/work/sp3kxq_labels_2.odt" ]] || fail "the profile's run made no sp3kxq_labels_2.odt"

# The desktop program starts with that profile and, told to end, closes as "Exit" does, saving its settings.
before=$(cksum <"$home/.config/cardmill/cardmill.ini")
(exec_run "$prefix/bin/cardmill" Installed >"$scratch/gui" 2>&1) &
gui=$!
sleep 3
kill -TERM "$gui" 2>/dev/null || fail "the desktop program did not start: $(cat "$scratch/gui")"
status=0
wait "$gui" || status=$?
[[ $status -eq 0 ]] || fail "the desktop program ended with $status: $(cat "$scratch/gui")"
[[ $(cksum <"$home/.config/cardmill/cardmill.ini") != "$before" ]] || fail "the desktop program saved no settings"
grep -q 'Last profile' "$home/.config/cardmill/cardmill.ini" || fail "the settings file lost its keys"

# Nothing under the prefix changed, nothing is left in the temporary folder.
[[ -z $(find "$root" -newer "$scratch/before" -print -quit) ]] || fail "files were written under the prefix"
[[ -z $(ls -A "$tmp") ]] || fail "temporary files were left: $(ls -A "$tmp")"
echo "install test passed: $(basename "$deb")"
