#!/usr/bin/env bash
# Starts the Windows desktop program under wine on a virtual screen (Xvfb), waits for its main window and takes
# a picture of the screen; the program is then closed. Fails when no window comes up within a minute.
#
#   scripts/windows-window.sh CARDMILL.EXE PICTURE.png [ARGUMENTS...]
# Needs wine, xvfb-run, xdotool and ImageMagick's import. WINEPREFIX as the caller has it.
set -uo pipefail
program=$1 picture=$2
shift 2
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1024x720x24" "$0" "$program" "$picture" "$@"
fi
export WINEDEBUG=-all
# A wine session begun without a screen keeps none: the program starts in a session of its own.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wine "$program" "$@" >/dev/null 2>&1 &
runner=$!
window=""
for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name '^CARDMILL' 2>/dev/null | head -n 1)
    [[ -n "$window" ]] && break
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.5
done
status=0
if [[ -n "$window" ]]; then
    sleep 2 # painted
    import -window "$window" "$picture"
    echo "$(basename "$program") started under wine: $(xdotool getwindowname "$window"), picture in $picture"
else
    echo "$(basename "$program") showed no window under wine" >&2
    status=1
fi
wineserver -k 2>/dev/null
wait "$runner" 2>/dev/null
exit $status
