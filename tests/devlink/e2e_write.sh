#!/usr/bin/env bash
# End to end, as a user would: in a virtual display the real window, with its
# real pauses, writes an edited project to the simulated indicator (F9), saves
# it, and the indicator's drawing of what it stored must match the drawing of
# the saved project.
# usage: e2e_write.sh <folder of varo-programmer and varo-indicator-sim>
source "$(dirname "$0")/e2e_lib.sh"
start

# "İPTAL" on the floor-range panel, then a few segments of floor 0 and floor 1.
click $((136 + 8 + 42)) $((120 + 112 + 12))
segment 188 106
segment 361 110
xdotool key Page_Up; sleep 0.2
segment 174 232

write_f9
save "$work/project.vrd"

sed -n '/^image stored$/,$p' "$work/sim.log" | tail -n +2 >"$work/stored.txt"
"$bin/varo-indicator-sim" --draw "$work/project.vrd" >"$work/project.txt"
diff -u "$work/project.txt" "$work/stored.txt" || fail "the indicator's floors differ from the project"
grep -q '^floors 0 to 15, 16 frames, code system Gray, buzzer off$' "$work/stored.txt" || fail "unexpected settings"
# The clicks reached the project: floor 0 is no longer the built-in "0" (00 00 FF 00).
[ "$(od -An -tx1 -N4 "$work/project.vrd" | tr -d ' \n')" != "0000ff00" ] || fail "the edits are missing"
echo "the indicator holds the project the window wrote"
