#!/usr/bin/env bash
# End to end, as a user would: in a virtual display the real window, with its
# real pauses, writes an edited project to the simulated indicator (F9), saves
# it, and the indicator's drawing of what it stored must match the drawing of
# the saved project.
# usage: e2e_write.sh <folder of varo-programmer and varo-indicator-sim>
set -euo pipefail
bin=$(cd "$1" && pwd)
if [ -z "${VARO_IN_XVFB:-}" ]; then
  VARO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; echo "--- indicator log" >&2; cat "$work/sim.log" >&2 || true; exit 1; }

# Polls a command for up to $1 tenths of a second.
await() {
  local tenths=$1; shift
  for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
window_named() { xdotool search --onlyvisible --name "$1" | head -n 1; }

"$bin/varo-indicator-sim" --link "$work/port" >"$work/sim.log" 2>&1 &
pids+=($!)
await 50 test -L "$work/port" || fail "the indicator did not start"

# No device tree: the window lists no real port, only the one typed with --port.
VARO_DEVICE_ROOT="$work/no-devices" "$bin/varo-programmer" --port "$work/port" &
pids+=($!)
await 100 window_named '^VARO PROGRAMLAYICI$' || fail "the window did not appear"
win=$(window_named '^VARO PROGRAMLAYICI$')
sleep 0.5

click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.2; }
# "İPTAL" on the floor-range panel, then a few segments of floor 0 and floor 1.
click $((136 + 8 + 42)) $((120 + 112 + 12))
for seed in "188 106" "361 110"; do set -- $seed; click $((12 + $1)) $((42 + $2)); done
xdotool key Page_Up; sleep 0.2
set -- 174 232; click $((12 + $1)) $((42 + $2))

xdotool mousemove --window "$win" 300 200 key F9
# The write takes about 16 seconds; then the completion message shows.
await 400 window_named '^VARO PROGRAMMER$' || fail "no completion message"
box=$(window_named '^VARO PROGRAMMER$')
grep -q "image stored" "$work/sim.log" || fail "the indicator stored no image"
xdotool windowfocus --sync "$box" key Return
await 50 bash -c "! xdotool search --onlyvisible --name '^VARO PROGRAMMER\$'" || fail "the message did not close"

# Save the project as the user would.
click 77 15
await 50 window_named '^Ayar Kaydet$' || fail "no save dialog"
dialog=$(window_named '^Ayar Kaydet$')
xdotool windowfocus --sync "$dialog" type --delay 20 "$work/project.vrd"
xdotool key Return
await 50 test -s "$work/project.vrd" || fail "the project was not saved"

sed -n '/^image stored$/,$p' "$work/sim.log" | tail -n +2 >"$work/stored.txt"
"$bin/varo-indicator-sim" --draw "$work/project.vrd" >"$work/project.txt"
diff -u "$work/project.txt" "$work/stored.txt" || fail "the indicator's floors differ from the project"
grep -q '^floors 0 to 15, 16 frames, code system Gray, buzzer off$' "$work/stored.txt" || fail "unexpected settings"
# The clicks reached the project: floor 0 is no longer the built-in "0" (00 00 FF 00).
[ "$(od -An -tx1 -N4 "$work/project.vrd" | tr -d ' \n')" != "0000ff00" ] || fail "the edits are missing"
echo "the indicator holds the project the window wrote"
