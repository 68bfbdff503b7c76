#!/usr/bin/env bash
# Runs a widget test executable's chosen tests on the xcb platform, under an X server of their own
# (the display picked by Xvfb itself, so that tests run side by side never share one).
set -u
tests="$1"
filter="$2"
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do [[ -s "$work/display" ]] && break; sleep 0.05; done
[[ -s "$work/display" ]] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
"$tests" -platform xcb --gtest_filter="$filter"
