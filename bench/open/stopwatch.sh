#!/usr/bin/env bash
# A stopwatch outside the program, as one made from the shell: for each round djpeg's full decode of FILE,
# then each PROGRAM started afresh on a private X display with openbox, FILE typed into its file dialog,
# and the time from `xdotool key Return` to `xdotool search` (run every 20 ms) finding a visible window
# titled "Mapwheel v...". It measures its own costs too: starting xdotool, and the polling's step and load.
#
#   bench/open/stopwatch.sh ROUNDS FILE PROGRAM...
set -euo pipefail
(($# >= 3)) || { echo "usage: $0 ROUNDS FILE PROGRAM..." >&2; exit 2; }
rounds=$1
file=$(realpath "$2") # typed into the dialog: must not be relative
shift 2

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -u "$fd" number
export DISPLAY=":$number"
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm $xvfb 2>/dev/null' EXIT
sleep 1

ms() { echo $((($(date +%s%N) - $1) / 1000000)); }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
declare -A seen
djpegs=()
for r in $(seq "$rounds"); do
    sleep 2
    t=$(date +%s%N)
    djpeg -outfile /dev/null "$file"
    djpegs+=("$(ms "$t")")
    line="round $r: djpeg ${djpegs[-1]} ms"
    for app in "$@"; do
        sleep 2
        home=$(mktemp -d)
        mkdir -m 700 "$home/run"
        HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=xcb \
            setsid "$app" >/dev/null 2>&1 &
        pid=$!
        # A window that goes while xdotool walks the tree makes it fail (BadWindow): ask again.
        until xdotool search --onlyvisible --name '^Open Map Image' >/dev/null 2>&1; do sleep 0.05; done
        sleep 0.5 # the dialog settles and takes the focus
        xdotool type --delay 5 "$file"
        sleep 0.5 # the completer's pop-up comes and goes
        t=$(date +%s%N)
        xdotool key Return
        until xdotool search --onlyvisible --name '^Mapwheel v' >/dev/null 2>&1; do sleep 0.02; done
        took=$(ms "$t")
        seen[$app]+="$took "
        line+=", $app $took ms"
        kill -KILL -- "-$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        rm -rf "$home"
    done
    echo "$line"
done
d=$(printf '%s\n' "${djpegs[@]}" | median)
echo "median djpeg $d ms"
for app in "$@"; do
    m=$(printf '%s\n' ${seen[$app]} | median)
    echo "median $app $m ms: $(awk -v a="$m" -v b="$d" 'BEGIN {printf "%.2f", a / b}') x djpeg"
done
