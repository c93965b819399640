#!/usr/bin/env bash
# End to end, as a double click on a .vrd file does it: `varo-programmer FILE.vrd` in a virtual
# display opens the project at start (the title names it, a save gives the same bytes back); a
# file it cannot take shows the open's own message and leaves the window as it starts. The Windows
# program is started as Explorer starts it, through the file type its installer registered.
# usage: e2e_open_file.sh <folder of varo-programmer, varo-indicator-sim and wm-close>
source "$(dirname "$0")/e2e_lib.sh"

# Floors -2 to 10, 7 Segment, buzzer on, every frame its own pattern.
python3 - "$work/Bodrum Katı.vrd" <<'PY'
import sys
frames = b"".join(bytes([i, 0x22, 0x33, 0x44]) for i in range(13))
open(sys.argv[1], "wb").write(frames.ljust(244, b"\xff") + bytes([6, 13, 4, 11, 1]) + b"\xff" * 7)
PY
run_window() {
  if [ -n "$windows" ]; then
    stop_wine "$prefix"
    "$wine_sh" "$prefix" start "$(program_path "$(realpath "$1")")" >"$work/program.log" 2>&1
  else
    run_program "$1" >"$work/program.log" 2>&1 &
    pids+=($!)
  fi
  await 900 window_named '^VARO PROGRAMLAYICI' || fail "the window did not appear"
  win=$(window_named '^VARO PROGRAMLAYICI')
  sleep 0.5
}
titled() { [ "$(xdotool getwindowname "$win")" = "$1" ]; }

cd "$work"
run_window "Bodrum Katı.vrd"
cd - >/dev/null
await 50 titled "VARO PROGRAMLAYICI - $(program_path "$work/Bodrum Katı.vrd")" ||
  fail "the title does not name the file: $(xdotool getwindowname "$win")"
save "$work/again.vrd"
cmp "$work/Bodrum Katı.vrd" "$work/again.vrd" || fail "the project opened is not the one saved"
"$bin/wm-close" "$win" || fail "the close request could not be sent"
await 100 bash -c "! xdotool search --onlyvisible --name '^VARO PROGRAMLAYICI'" || fail "the window did not close"

head -c 10 /dev/zero >"$work/short.vrd"
run_window "$work/short.vrd"
await 100 window_named '^VARO PROGRAMMER$' || fail "no message for a file that cannot be opened"
box=$(window_named '^VARO PROGRAMMER$')
xdotool windowfocus --sync "$box" key Return
await 50 bash -c "! xdotool search --onlyvisible --name '^VARO PROGRAMMER\$'" || fail "the message did not close"
[ "$(xdotool getwindowname "$win")" = "VARO PROGRAMLAYICI" ] || fail "the window took something of the bad file"
echo "a project given on the command line opens as AYAR AÇ opens it"
