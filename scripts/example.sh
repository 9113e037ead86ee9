#!/usr/bin/env bash
# The example command: installs what is missing, builds the converter, and converts the bundled example
# log and SWL file into data-source files and merged label documents under build/example/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target cardmill-convert cardmill

out=build/example
rm -rf "$out"
mkdir -p "$out"
cp examples/sp3kxq.adi examples/sp3kxq-swl.adi examples/card_*.docx "$out"/

set +e
build/default/app/cardmill-convert --log "$out/sp3kxq.adi" --swl "$out/sp3kxq-swl.adi" \
    --main-doc "$out/card_1.docx" --qsos 3 --qrg-format "QRG in MHz" --field GRIDSQUARE --field COMMENT
status=$?
set -e
echo
echo "Output in $out/:"
ls -1 "$out"
exit $status
