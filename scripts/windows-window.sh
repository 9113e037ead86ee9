#!/usr/bin/env bash
# Runs a Windows command under wine on a virtual screen (Xvfb), waits for CARDMILL's main window and takes a
# picture of it; wine's session is then ended. Fails when no window comes up within a minute.
#
#   scripts/windows-window.sh PICTURE.png PROGRAM.exe [ARGUMENTS...]   the program itself
#   scripts/windows-window.sh PICTURE.png start FILE                  FILE opened as a double click opens it
# Needs wine, xvfb-run, xdotool and ImageMagick's import. WINEPREFIX as the caller has it.
set -uo pipefail
picture=$1
shift
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1024x720x24" "$0" "$picture" "$@"
fi
export WINEDEBUG=-all
# A wine session begun without a screen keeps none: the command runs in a session of its own.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wine "$@" >/dev/null 2>&1 &
runner=$!
window=""
for _ in $(seq 120); do # ("start" ends at once, the program goes on)
    window=$(xdotool search --onlyvisible --name '^CARDMILL' 2>/dev/null | head -n 1)
    [[ -n "$window" ]] && break
    sleep 0.5
done
status=0
if [[ -n "$window" ]]; then
    sleep 2 # painted
    import -window "$window" "$picture"
    echo "CARDMILL's window came up under wine ($(basename "$1")), picture in $picture"
else
    echo "no CARDMILL window came up under wine: $*" >&2
    status=1
fi
wineserver -k 2>/dev/null
wait "$runner" 2>/dev/null
exit $status
