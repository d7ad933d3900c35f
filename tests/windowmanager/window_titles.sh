#!/usr/bin/env bash
# The window titles as a real window manager sees them (_NET_WM_NAME under
# Xvfb with openbox): each window's caption exactly, in both languages, after
# switching back and forth. Usage: window_titles.sh PATH/TO/orx700-demo
set -euo pipefail
demo=$1
unset DISPLAY
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "error: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A copy of its own keeps the program's ini file in the scratch folder.
cp "$demo" "$work/orx700-demo"

# A display no server answers on (another X server may hold a number
# through its abstract socket without a lock file here).
for n in $(seq 50 150); do
  [ -e "/tmp/.X$n-lock" ] && continue
  xprop -display ":$n" -root >/dev/null 2>&1 && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  break
done
[ -n "${DISPLAY:-}" ] || { echo "error: no free X display" >&2; exit 1; }
for _ in $(seq 100); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
xprop -root >/dev/null 2>&1 || { echo "error: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export LANG=C.UTF-8 LC_ALL=C.UTF-8

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The program starts once the window manager has taken the screen.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
"$work/orx700-demo" >"$work/demo.log" 2>&1 &
demo_pid=$!
pids+=("$demo_pid")

failures=0
# The title the window manager reads, waited for up to 10 s.
expect_window() {
  local want=$1 id name
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --pid "$demo_pid" 2>/dev/null); do
      name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
      if [ "$name" = "$want" ]; then
        echo "ok: window titled \"$want\""
        window=$id
        return 0
      fi
    done
    sleep 0.1
  done
  echo "FAIL: no window titled \"$want\"; the program's windows read:" >&2
  for id in $(xdotool search --onlyvisible --pid "$demo_pid" 2>/dev/null); do
    xprop -id "$id" _NET_WM_NAME >&2 || true
  done
  failures=$((failures + 1))
  window=
  return 0
}

# Clicks at a point of the main window's client area.
click() {
  xdotool mousemove --window "$main" "$1" "$2" click 1
}

expect_window "  Quick Start - Talvor FFT Demo"
[ -n "$window" ] && xdotool windowactivate --sync "$window" key Escape || true
expect_window "Talvor FFT Demo"
main=$window
if [ -z "$main" ]; then
  echo "the program's output:" >&2
  cat "$work/demo.log" >&2
  exit 1
fi

# The language box is the tool bar's first item: open it, pick the other
# language with the keyboard. ENG is first, RUS second.
choose_language() {
  click 60 38
  sleep 0.3
  xdotool key "$1" key Return
}
for round in 1 2; do
  choose_language Down
  expect_window "Имитатор прибора ORX-700"
  choose_language Up
  expect_window "Talvor FFT Demo"
done
choose_language Down
expect_window "Имитатор прибора ORX-700"

# About (the last item of the Help button's menu), closed with Escape.
about() {
  click 378 28
  sleep 0.5
  xdotool key Up key Return
}
about
expect_window "О программе"
[ -n "$window" ] && xdotool windowactivate --sync "$window" key Escape || true
choose_language Up
about
expect_window "About"
[ -n "$window" ] && xdotool windowactivate --sync "$window" key Escape || true

if [ "$failures" -ne 0 ]; then
  echo "$failures window title(s) wrong; openbox said:" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi
echo "all window titles exact"
