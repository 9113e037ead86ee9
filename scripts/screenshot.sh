#!/usr/bin/env bash
# Takes a screenshot of the real main window under Xvfb: docs/main-window.png.
# Needs the default build (scripts/test.sh or the example command makes it) and xvfb, x11-apps, imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null && command -v xwd >/dev/null && command -v convert >/dev/null || {
    echo "install xvfb, xauth, x11-apps and imagemagick first" >&2
    exit 2
}
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
