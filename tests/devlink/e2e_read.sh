#!/usr/bin/env bash
# End to end, as a user would: in a virtual display the real window, with its
# real pauses, writes a project unlike the default one to the simulated
# indicator, starts a new project, reads the indicator back ("OKU", the answer
# paced at 19200 bit/s) and saves it: every frame and setting must be the ones
# written.
# usage: e2e_read.sh <folder of varo-programmer and varo-indicator-sim>
source "$(dirname "$0")/e2e_lib.sh"
start --paced

# A list on the floor-range panel at $1,$2: open it, move by $3 items (negative: up), take the item.
choose() {
  click "$1" "$2"
  local key=Down count=$3
  if [ "$count" -lt 0 ]; then key=Up; count=$((-count)); fi
  for _ in $(seq "$count"); do xdotool key "$key"; sleep 0.1; done
  xdotool key Return; sleep 0.3
}
code_system() { choose $((136 + 16 + 80)) $((120 + 28 + 10)) "$1"; }
first_floor() { choose $((136 + 16 + 36)) $((120 + 72 + 10)) "$1"; }
ok() { click $((136 + 100 + 42)) $((120 + 112 + 12)); }

# Floors -3 to 15, 7 Segment, buzzer on, a few segments of floors -3 and -2 changed.
first_floor -3
code_system 3
ok
segment 188 106
segment 361 110
xdotool key Page_Up; sleep 0.2
segment 174 232
click 200 16
write_f9
save "$work/written.vrd"
grep -q '^floors -3 to 15, 19 frames, code system 7 Segment, buzzer on$' "$work/sim.log" ||
  fail "the project written is not the one set up"

# A new project: floors 0 to 15, Gray, buzzer off, the built-in floor numbers.
click 15 15
first_floor 3
code_system -3
ok
save "$work/new.vrd"
cmp -s "$work/written.vrd" "$work/new.vrd" && fail "the new project is the written one already"

# "OKU": the indicator sends its image in about 0.14 s.
click $((459 + 8 + 54)) $((312 + 6 + 12))
await 50 grep -q '^r -> 256 image bytes at 19200 bit/s$' "$work/sim.log" || fail "the indicator was not asked"
# The decoded project has no file name in the title.
await 20 window_named '^VARO PROGRAMLAYICI$' || fail "the read did not complete"
save "$work/read.vrd"
cmp "$work/written.vrd" "$work/read.vrd" || fail "the project read back differs from the one written"
echo "the window read back the project it wrote"
