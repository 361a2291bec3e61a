#!/usr/bin/env bash
# Runs black-box scenarios against the built program, in a world of their own: a private X display with a
# window manager, a private session bus (with its accessibility bus), and a temporary home per scenario.
#
#   tests/blackbox/run.sh [--app PATH] [--artifacts DIR] [GROUP|GROUP.SCENARIO ...]
#
# Environment: MW_BLACKBOX_APP (program), MW_BLACKBOX_WRAPPER (command put in front of it, e.g. valgrind),
# MW_BLACKBOX_TIMEOUT_SCALE (multiplies every wait), MW_BLACKBOX_ARTIFACTS (where failures are recorded).
set -euo pipefail

tmp=$(mktemp -d "${TMPDIR:-/tmp}/mapwheel-blackbox.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" "$tmp/home"
# Nothing of the caller's desktop may leak in, nor anything be written to the caller's home: the display,
# buses, runtime folder and home are all private (each scenario gets a home of its own below this one).
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SESSION_MANAGER XDG_CONFIG_HOME \
      XDG_CACHE_HOME XDG_DATA_HOME
export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" MW_BLACKBOX_TMP="$tmp"

# The session bus ends with the harness, and the accessibility bus it started goes with it. The buses' own
# chatter goes to a log; the harness reports on the caller's output, and its exit code is this script's.
dbus-run-session -- bash -c 'exec 1>&3 2>&4 3>&- 4>&-; exec /usr/bin/python3 "$@"' harness \
    "$(dirname "$0")/harness.py" "$@" 3>&1 4>&2 >"$tmp/bus.log" 2>&1
