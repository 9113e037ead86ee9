#!/usr/bin/env bash
# Takes pictures of the real windows under Xvfb: docs/main-window.png (the main window with the example
# profile loaded and the filter area open) and docs/profile-setup.png (the profile setup dialog).
# Installs Xvfb and the picture tools when they are missing, and builds the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --screenshot
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target cardmill >/dev/null

# A program folder of its own, with a settings file that holds the example's profile.
program=$(mktemp -d)
trap 'rm -rf "$program"' EXIT
cp build/default/app/cardmill build/default/app/cardmill_en.html "$program"/
examples=$(pwd)/examples
printf '[Example]\r\nSource file=%s/sp3kxq.adi\r\nSource SWL file=%s/sp3kxq-swl.adi\r\nMain doc=%s/card_1.docx\r\nQRG format=QRG in MHz\r\nQSOs on label=3\r\nDate format=2006-09-23\r\nDate separator=-\r\n[Filters]\r\nCall=0\r\n[Profile]\r\nLast profile=0\r\n' \
    "$examples" "$examples" "$examples" >"$program/cardmill.ini"

export PROGRAM="$program" OUT_MAIN=docs/main-window.png OUT_SETUP=docs/profile-setup.png
xvfb-run -a -s "-screen 0 900x500x24" bash -c '
    "$PROGRAM/cardmill" &
    app=$!
    sleep 3
    xdotool mousemove 104 228 click 1        # "Filters"
    sleep 1
    xwd -root -silent | convert xwd:- -crop 748x274+0+0 +repage "$OUT_MAIN"
    xdotool mousemove 284 32 click 1         # "Profiles Setup"
    sleep 1
    xwd -root -silent | convert xwd:- -trim +repage /tmp/cardmill-screen.png
    win=$(xdotool search --name "Profile setup" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT_SETUP"
    kill $app
'
echo "wrote docs/main-window.png and docs/profile-setup.png"
