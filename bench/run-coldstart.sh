#!/usr/bin/env bash
# run-coldstart.sh BUILD_DIR [ROUNDS]
#
# Cold start to page 1 of a generated 5000-page Group 4 fax: the whole program against the floor (a bare
# Qt Widgets program that decodes page 1 with libtiff and paints it scaled into a maximised window beside
# an empty 212-pixel strip), both with fresh settings, in turns, on a private X server with a window
# manager (Xvfb + openbox). ROUNDS (default 9) starts of each; the medians count. Builds nothing:
# BUILD_DIR must hold folivant, folivant-mkfax, folivant-coldstart and folivant-coldstart-floor.
# Prints "RUN" lines, the load before and after, then
#   FIGURE cold_start_ms, FIGURE cold_start_floor_ms, RATIO cold_start_vs_floor (target <= 1.3)
#   and the same for the CPU time up to the first paint (cold_start_cpu_ms, ...).
# COLDSTART_DOC names a document to use instead of generating one; COLDSTART_DISPLAY a display number
# (default: the first free one from 260); COLDSTART_SCREEN the screen (default 1920x1080x24).
set -euo pipefail

BUILD=${1:?usage: run-coldstart.sh BUILD_DIR [ROUNDS]}
ROUNDS=${2:-9}
for tool in folivant folivant-mkfax folivant-coldstart folivant-coldstart-floor; do
    [[ -x "$BUILD/$tool" ]] || { echo "run-coldstart: $BUILD/$tool not found (build it first)" >&2; exit 1; }
done
BUILD=$(cd "$BUILD" && pwd)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/folivant-coldstart.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

DOC=${COLDSTART_DOC:-}
if [[ -z $DOC ]]; then
    DOC="$WORK/fax-5000.tif"
    "$BUILD/folivant-mkfax" --pages 5000 --compression g4 --dpi 204x196 "$DOC" >/dev/null
fi
DOC=$(realpath "$DOC")

display=${COLDSTART_DISPLAY:-}
if [[ -z $display ]]; then
    display=260
    while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
        display=$((display + 1))
    done
fi
Xvfb ":$display" -screen 0 "${COLDSTART_SCREEN:-1920x1080x24}" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.05
done
openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
pids+=($!)
# The window manager is there once it has named itself on the root window.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR

echo "LOAD before: $(uptime)"
mkdir -p "$WORK/runs"
# A session bus of its own, as a desktop has one: without it every Qt program would first try to start one
# (dbus-launch) and wait for it.
dbus-run-session -- "$BUILD/folivant-coldstart" "$ROUNDS" "$DOC" "$BUILD/folivant" \
    "$BUILD/folivant-coldstart-floor" "$WORK/runs" 2> >(grep -v 'Failed to set fd limit' >&2)
echo "LOAD after: $(uptime)"
