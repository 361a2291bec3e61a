#!/usr/bin/env bash
# By hand, not in CI (a few minutes, and it downloads a Debian system): builds the Debian package, installs
# it into a fresh Debian 12 root made with debootstrap, and starts it there as the desktop menu would, from
# the installed desktop entry's Exec, in the user's home (which holds no Maps/ and no help), on a private X
# display. It answers the file dialog with a bare file name (so the dialog has to be in the installed
# Maps/), accepts the first-run Scale Factors and the calibration prompt, and opens the help with F1. Then
# it starts the program again as the file manager's "Open with" does, with a sample map. Screenshots of
# every step go into the shots folder it names.
#
#   sudo scripts/try-deb.sh [ROOT_FOLDER]      (default: build/try-deb/root; it is made afresh each run)
set -euo pipefail
cd "$(dirname "$0")/.."
id=org.holloway.mapwheel

root=${1:-build/try-deb/root}
mkdir -p "$(dirname "$root")"
root=$(cd "$(dirname "$root")" && pwd)/$(basename "$root")
work=$(dirname "$root")
shots=$work/shots
started=$(date +%s)

if [ "$(id -u)" -ne 0 ]; then
    echo "FAIL: run as root (debootstrap, chroot and mount need it): sudo $0 $*"
    exit 1
fi

results=()
failures=0
pass() {
    echo "PASS: $*"
    results+=("PASS: $*")
}
fail() {
    echo "FAIL: $*"
    results+=("FAIL: $*")
    failures=$((failures + 1))
}
step() { echo "== $* ($(($(date +%s) - started)) s)"; }

host_tools=(debootstrap xvfb openbox xdotool x11-utils imagemagick dpkg-dev file)
missing=()
for p in "${host_tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    step "installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# --- The package -------------------------------------------------------------------------------------------
step "building the package"
cmake -S . -B build >/dev/null
cmake --build build -j2 >/dev/null
rm -rf "$work/package"
(cd build && cpack -G DEB -B "$work/package" >/dev/null)
rm -rf "$work/package/_CPack_Packages"
deb=$(ls "$work"/package/mapwheel_*.deb)
pass "package built: $deb"

# --- A fresh Debian 12 root, from the host's own mirror ------------------------------------------------------
# The mirror of the host's own bookworm sources, in either format of apt's source lists.
sources() { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; }
mirror=$(sources | awk '/^deb / && / bookworm / {print $2; exit}
                        /^URIs:/ {uri=$2} /^Suites:/ && / bookworm( |$)/ {print uri; exit}')
mirror=${mirror:-http://deb.debian.org/debian}
security=$(sources | awk '/^deb / && / bookworm-security / {print $2; exit}
                          /^URIs:/ {uri=$2} /^Suites:/ && / bookworm-security( |$)/ {print uri; exit}')
security=${security:-http://deb.debian.org/debian-security}
echo "mirror: $mirror, security: $security"

mounts=()
xvfb_pid=
wm_pid=
app_pid=
cleanup() {
    for pid in "$app_pid" "$wm_pid" "$xvfb_pid"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    wait 2>/dev/null || true
    for ((k = ${#mounts[@]} - 1; k >= 0; k--)); do
        umount -R "${mounts[k]}" 2>/dev/null || umount -lR "${mounts[k]}" 2>/dev/null || true
    done
}
trap cleanup EXIT

# Anything still mounted from an interrupted run comes off before the old root goes.
if [ -d "$root" ]; then
    awk -v r="$root/" 'index($2, r) == 1 {print $2}' /proc/self/mounts | sort -r | while read -r m; do
        umount -lR "$m" 2>/dev/null || true
    done
    rm -rf --one-file-system "$root"
fi
step "debootstrap --variant=minbase bookworm $root $mirror"
if debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
    pass "fresh Debian 12 root made with debootstrap (minbase)"
else
    tail -20 "$work/debootstrap.log"
    fail "debootstrap (log: $work/debootstrap.log)"
    exit 1
fi
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mounts+=("$root/proc")
# /dev with its pts and shm, kept from passing an unmount back to the host's.
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mounts+=("$root/dev")

# --- Installing the package as a user would, with nothing but what it depends on ---------------------------
step "apt-get install ./$(basename "$deb") in the new root"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
if in_root sh -c "apt-get update -qq && cd /tmp && apt-get install -y --no-install-recommends ./$(basename "$deb")" \
    >"$work/apt.log" 2>&1; then
    pass "apt-get install --no-install-recommends ./$(basename "$deb") ($(grep -c '^Setting up' "$work/apt.log") packages set up)"
else
    tail -20 "$work/apt.log"
    fail "apt-get install ./$(basename "$deb") (log: $work/apt.log)"
    exit 1
fi
# shellcheck disable=SC2016 # dpkg-query's own field syntax
if in_root dpkg-query -W -f='${Status}' qt6-qpa-plugins 2>/dev/null | grep -q "install ok installed"; then
    echo "note: qt6-qpa-plugins came in as a dependency"
else
    echo "note: qt6-qpa-plugins is not installed: the X platform plugin comes with libqt6gui6"
fi

entry="$root/usr/share/applications/$id.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
data=/usr/share/mapwheel
echo "desktop entry: Exec=$exec_line"
if [[ $exec_line == *" %f" ]] && ! grep -q '^Path=' "$entry" && [ -d "$root$data/Maps" ] &&
    [ -f "$root$data/mapwheel.hlp" ]; then
    pass "installed desktop entry takes a file (%f) and sets no Path; $data holds Maps/ and mapwheel.hlp"
else
    fail "installed desktop entry takes a file (%f) and sets no Path; $data holds Maps/ and mapwheel.hlp"
fi

# A user of the new system, with no settings yet: the first run.
in_root useradd --create-home --shell /bin/sh walker
uid=$(in_root id -u walker)
user=$uid:$(in_root id -g walker)
in_root install -d -m 0700 -o walker -g walker "/run/user/$uid"

# --- A private X display on the host, shared into the root ---------------------------------------------------
display=
for n in $(seq 70 199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { fail "no free X display number"; exit 1; }
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
export DISPLAY=":$display"
# A window manager gives the new windows focus, as a desktop does.
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
sleep 1
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
mounts+=("$root/tmp/.X11-unix")
echo "X display :$display"

rm -rf "$shots"
mkdir -p "$shots"
shot() { import -window root -display ":$display" "$shots/$1.png" && echo "screenshot: $shots/$1.png"; }
# Waits up to $2 seconds for a visible window whose title matches $1.
wait_window() {
    local deadline=$(($(date +%s) + $2))
    while (($(date +%s) < deadline)); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}
key() {
    xdotool key --delay 80 "$@"
    sleep 0.5
}

# Starts the desktop entry's Exec as the user, in the home folder, as a desktop starts it: $1 is the file
# its %f stands for, none when started from the menu.
start() {
    local command=${exec_line% %f}${1:+ $1}
    step "starting '$command' in /home/walker inside the new root, display :$display"
    # shellcheck disable=SC2086 # Exec is a command line
    chroot --userspec="$user" "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/walker USER=walker \
        LANG=C.UTF-8 DISPLAY=":$display" XDG_RUNTIME_DIR="/run/user/$uid" /bin/sh -c "cd && exec $command" \
        >>"$work/mapwheel.log" 2>&1 &
    app_pid=$!
}

# --- Started as the menu starts it ----------------------------------------------------------------------------
: >"$work/mapwheel.log"
start
sleep 1
shot 01-splash
if xdotool search --onlyvisible --name '^Mapwheel$' >/dev/null 2>&1; then
    pass "splash shown within 1 s"
else
    fail "splash shown within 1 s (see $shots/01-splash.png)"
fi

sleep 4
if wait_window "Open Map Image" 5; then
    sleep 0.5
    shot 02-file-dialog
    pass "file dialog 'Open Map Image...' open after the splash"
else
    shot 02-file-dialog
    fail "file dialog 'Open Map Image...' open after the splash"
fi

# A bare name opens only if the dialog is in the installed Maps/ folder.
xdotool type --delay 40 "ashby-moor.gif"
key Return
if wait_window "Scale Factors" 15; then
    shot 03-scale-factors
    pass "the bare name ashby-moor.gif opened: the dialog was in $data/Maps; first run asks for Scale Factors"
    key Return
else
    shot 03-scale-factors
    fail "the bare name ashby-moor.gif opened and the first run asks for Scale Factors"
fi
if wait_window "Calibration Procedure" 10; then
    shot 04-calibration-prompt
    key Return
fi
if wait_window "Mapwheel v.*$data/Maps/ashby-moor.gif" 10; then
    sleep 0.5
    shot 05-main-window
    pass "main window shows $data/Maps/ashby-moor.gif"
    # The SVG icon compiled into the program reaches the window manager only if Qt's SVG support loads.
    main_window=$(xdotool search --onlyvisible --name "Mapwheel v" | head -n1)
    icon=$(xprop -id "$main_window" _NET_WM_ICON)
    if grep -q "Icon (" <<<"$icon"; then
        pass "main window carries the program's icon"
    else
        fail "main window carries the program's icon"
    fi
else
    shot 05-main-window
    fail "main window shows $data/Maps/ashby-moor.gif"
fi

# Help from the home folder, which has no mapwheel.hlp: the installed one opens.
key F1
if wait_window "^Mapwheel Help Topics$" 10; then
    sleep 0.5
    shot 06-help
    pass "F1 opened the installed help"
else
    shot 06-help
    fail "F1 opened the installed help"
fi

# Escape closes the help; Ctrl+Q on the main window ends the program.
key Escape
key ctrl+q
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$app_pid" 2>/dev/null; then
    fail "Escape, then Ctrl+Q ended the program"
    kill "$app_pid" 2>/dev/null || true
else
    pass "Escape, then Ctrl+Q ended the program"
fi
wait "$app_pid" 2>/dev/null || true

# --- Started as "Open with Mapwheel" starts it ------------------------------------------------------------------
map=$data/Maps/cold-fell.jpg
start "$map"
if wait_window "Calibration Procedure" 15 && wait_window "Mapwheel v.*$map" 5; then
    sleep 0.5
    shot 07-opened-with
    pass "started with $map: after the splash, the calibration prompt over that map"
else
    shot 07-opened-with
    fail "started with $map: after the splash, the calibration prompt over that map"
fi
if kill -0 "$app_pid" 2>/dev/null; then
    pass "program still running at the end"
else
    fail "program still running at the end"
fi
if [ -s "$work/mapwheel.log" ]; then
    echo "--- the program's error output ($work/mapwheel.log):"
    cat "$work/mapwheel.log"
fi

echo
echo "=== try-deb summary ($(($(date +%s) - started)) s; screenshots in $shots; root in $root)"
printf '%s\n' "${results[@]}"
if ((failures)); then
    echo "FAIL: $failures step(s)"
    exit 1
fi
echo "PASS: all steps"
