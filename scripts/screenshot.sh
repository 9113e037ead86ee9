#!/usr/bin/env bash
# Takes pictures of the real windows under Xvfb, in English and Polish, at scale factors 1 and 2: the main
# window (the example's profile loaded, the filter area open), the profile setup dialog, the configuration
# dialog and the dialog for new main documents, into docs/ (…-en.png, …-pl.png, …-en-x2.png, …-pl-x2.png).
# Installs Xvfb when it is missing, and builds the picture tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --screenshot
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target screenshots >/dev/null
for scale in 1 2; do
    suffix=""
    [[ $scale == 2 ]] && suffix="-x2"
    QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2400x1600x24" \
        build/default/tests/screenshots docs "$suffix"
done
