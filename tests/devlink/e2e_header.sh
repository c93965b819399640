#!/usr/bin/env bash
# End to end, as a user would: whatever the order of panel, undo, open and İPTAL, the 256 bytes
# saved and written describe the frames the window holds. In a virtual display the real window,
# with the simulated indicator:
# - 0..4 TAMAM; YENİ, 1..5 TAMAM (saved as the reference); YENİ, Ctrl+Z, İPTAL: the save and the
#   write are the 1..5 project;
# - -2..10 TAMAM (saved); YENİ, 0..12 TAMAM; YENİ, open the -2..10 file, İPTAL: the save and the
#   write are the -2..10 project, B2 on floor -2.
# usage: e2e_header.sh <folder of varo-programmer and varo-indicator-sim>
source "$(dirname "$0")/e2e_lib.sh"
start

# The floor-range panel lies at 136,120; its lists and buttons inside it.
first_list() { click 188 202; }
last_list() { click 276 202; }
ok() { click 278 244; }
cancel() { click 186 244; }
new_project() { click 15 15; }
# Picks the item of the open list that starts with $1, as typing into it does.
pick() { sleep 0.3; xdotool type --delay 80 -- "$1"; xdotool key Return; sleep 0.3; }
range() { first_list; pick "$1"; last_list; pick "$2"; ok; }
open_project() {
  click 46 15
  await 100 window_named '^Ayar Aç$' || fail "no open dialog"
  xdotool windowfocus --sync "$(window_named '^Ayar Aç$')" type --delay 20 "$1"
  xdotool key Return
  await 100 bash -c "! xdotool search --onlyvisible --name '^Ayar Aç\$'" || fail "the open dialog stayed"
  sleep 0.5
}
# The drawing of the image the indicator stored last.
last_stored() { awk '/^image stored$/ { n = NR; out = "" } NR > n && n { out = out $0 "\n" } END { printf "%s", out }' "$work/sim.log"; }
check_written() {
  write_f9
  "$bin/varo-indicator-sim" --draw "$1" >"$work/expected.txt"
  last_stored >"$work/stored.txt"
  diff -u "$work/expected.txt" "$work/stored.txt" || fail "$2: the indicator got another project than $1"
}

range 0 4
new_project; range 1 5
save "$work/ref.vrd"
new_project
xdotool mousemove --window "$win" 300 200 key ctrl+z; sleep 0.3
cancel
save "$work/after-undo.vrd"
cmp "$work/ref.vrd" "$work/after-undo.vrd" || fail "undo behind the panel: the save is not the 1..5 project"
check_written "$work/ref.vrd" "undo behind the panel"

new_project; range -2 10
save "$work/minus2.vrd"
new_project; range 0 12
new_project
open_project "$work/minus2.vrd"
cancel
save "$work/after-open.vrd"
cmp "$work/minus2.vrd" "$work/after-open.vrd" || fail "open behind the panel: the save is not the opened project"
check_written "$work/minus2.vrd" "open behind the panel"
grep -q '^floors -2 to 10, 13 frames' "$work/stored.txt" || fail "unexpected range: $(head -n 1 "$work/stored.txt")"
echo "the saves and the writes describe the frames the window holds"
