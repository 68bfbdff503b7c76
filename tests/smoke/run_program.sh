#!/usr/bin/env bash
# The real program under Xvfb, on the demo project: its windows come up, the screen shows a
# picture rather than a blank window, and a SIGTERM ends it. Bounded waits, no fixed sleeps.
set -u
bin="$1"
work=$(mktemp -d)
trap 'kill "$xvfb" "$program" 2>/dev/null; rm -rf "$work"' EXIT

# A program folder of its own: the built program and pictures, the demo, a settings file
# that opens the demo project.
cp "$bin/visual-quelnor" "$bin/libqnet.so" "$work/"
for folder in "Default Images" "Image Control" "Imported Pictures"; do ln -s "$bin/$folder" "$work/$folder"; done
mkdir -p "$work/Data" && cp "$bin/Data/demo.qap" "$bin/Data/demo.qvp" "$work/Data/"
printf '[QAP Path]\r\n%s\r\n[QVP Path]\r\n%s\r\n[Last Files]\r\n[PORT]\r\n0000\r\n[OpenLastFile]\r\n01%s|\r\n' \
  "$work/Data" "$work/Data" "$work/Data/demo.qvp" > "$work/Dev Project.txt"

for display in $(seq 90 120); do
  [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]] || break
done
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb  # a real window, whatever the tests around use
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"  # the user's folders of this run
# -noreset: the server must not reset when its last client goes (between the two runs below), or
# the next client can come during the reset and be refused.
Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.05; done

"$work/visual-quelnor" >"$work/program.log" 2>&1 &
program=$!
found=0
for _ in $(seq 200); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Ground floor"'; then found=1; break; fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.05
done
if [[ $found -ne 1 ]]; then
  echo "FAIL: the demo screen never appeared"; cat "$work/program.log"; exit 1
fi
xwininfo -root -tree | grep -q '"Visual Quelnor 2"' || { echo "FAIL: no main window"; exit 1; }

# The screen shows the floor plan: many colours, not a blank window. A window appears before its
# first paint (slowly under the sanitizers): looked at again until painted, within a bound.
colours=0
for _ in $(seq 100); do
  import -display "$DISPLAY" -window root "$work/shot.png"
  colours=$(convert "$work/shot.png" -format %k info:)
  [[ "$colours" -ge 50 ]] && break
  sleep 0.1
done
if [[ "$colours" -lt 50 ]]; then
  echo "FAIL: the screen looks blank ($colours colours)"; exit 1
fi

kill -TERM "$program"
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$program" 2>/dev/null; then echo "FAIL: the program did not stop"; exit 1; fi

# Without its pictures the first open waits on a box that says so; a stop then still ends the
# program (the box closed unanswered), though its event loop never started.
for folder in "Default Images" "Image Control" "Imported Pictures"; do rm "$work/$folder"; done
"$work/visual-quelnor" >"$work/program.log" 2>&1 &
program=$!
# The box: a window titled as the program alone, once the main window is titled with the project.
boxed=0
for _ in $(seq 200); do
  tree=$(xwininfo -root -tree 2>/dev/null)
  if grep -q '"Visual Quelnor 2 - demo.qvp"' <<<"$tree" && grep -q '"Visual Quelnor 2": ("visual-quelnor"' <<<"$tree"; then boxed=1; break; fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.05
done
if [[ $boxed -ne 1 ]]; then echo "FAIL: no message for the missing pictures"; cat "$work/program.log"; exit 1; fi
kill -TERM "$program"
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$program" 2>/dev/null; then echo "FAIL: a stop during the first open's message did not end the program"; exit 1; fi
echo "2 passed, 0 failed"
