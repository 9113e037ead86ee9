#!/usr/bin/env bash
# Takes a screenshot of the real main window under Xvfb: docs/main-window.png.
# Installs Xvfb and the picture tools when they are missing, and builds the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --screenshot
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target cardmill >/dev/null
out=docs/main-window.png
xvfb-run -a -s "-screen 0 800x400x24" bash -c '
    build/default/app/cardmill &
    app=$!
    sleep 3
    xwd -root -silent | convert xwd:- -crop 386x274+0+0 +repage "'"$out"'"
    kill $app
'
echo "wrote $out"
