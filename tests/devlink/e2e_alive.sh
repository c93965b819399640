#!/usr/bin/env bash
# End to end, as a user would, in a virtual display with the real pauses:
# - "OKU" reads from the simulated indicator (paced at 19200 bit/s) a project of
#   27 frames (floors -2 to 24, so byte 245 is 27) whose frames hold the queries
#   ESC [ 6 n and ESC [ c: the whole project arrives, frame 0 is shown, and the
#   indicator hears nothing but "y" and "r";
# - F9 writes the same 256 bytes back; meanwhile the window answers every
#   _NET_WM_PING within a second, repaints its progress bar as it advances and
#   after being unmapped and mapped again, and the bytes keep their order and
#   their pauses.
# usage: e2e_alive.sh <folder of varo-programmer, varo-indicator-sim and ping-probe>
source "$(dirname "$0")/e2e_lib.sh"

python3 - "$work/queries.vrd" <<'PY'
import sys
frames = [b"\x1b[6n", b"\x1b[c\x00"]
for k in range(2, 27):
    frames.append(bytes([k, 0x1B, 0x5B, 0x63]) if k % 2 else b"\x1b[6n")
body = b"".join(frames).ljust(244, b"\xff")
# floors -2 to 24: first-floor item 6, 27 frames, Gray (index 1 in a file), last-floor item 25, no buzzer
header = bytes([6, 27, 1, 25, 0]) + b"\xff" * 7
open(sys.argv[1], "wb").write(body + header)
PY
start --paced --project "$work/queries.vrd" --record "$work/rx.txt"

# The bytes the indicator has heard, in hex, one line each.
heard() { cut -d' ' -f2 "$work/rx.txt"; }
shot() { import -window "$win" "$work/$1.png"; }
# Pixels that differ between two crops ($3: WxH+X+Y) of two window pictures.
differ() {
  convert "$work/$1.png" -crop "$3" +repage "$work/a.png"
  convert "$work/$2.png" -crop "$3" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true
}
picture=432x250+12+42
bar=520x16+62+400

# "İPTAL" on the floor-range panel; the window shows the default project's frame 0.
click $((136 + 8 + 42)) $((120 + 112 + 12))
shot before
click $((459 + 8 + 54)) $((312 + 6 + 12))
await 100 grep -q '^r -> 256 image bytes at 19200 bit/s$' "$work/sim.log" || fail "the indicator was not asked"
sleep 1
save "$work/read.vrd"
cmp "$work/queries.vrd" "$work/read.vrd" || fail "the project read differs from the indicator's"
[ "$(heard | tr -d '\n')" = "7972" ] || fail "the indicator heard more than \"y\" \"r\": $(heard | tr '\n' ' ')"
shot read
[ "$(differ before read $picture)" != 0 ] || fail "the picture still shows the old frame 0"
xdotool key Page_Up; sleep 0.3; xdotool key Page_Down; sleep 0.3
shot frame0
[ "$(differ read frame0 $picture)" = 0 ] || fail "the frame shown after the read is not frame 0"

# F9, with the window manager's pings all through the write.
"$bin/ping-probe" "$win" 14 >"$work/ping.log" 2>&1 &
probe=$!
press_f9
sleep 3; shot early
sleep 2; shot later
[ "$(differ early later $bar)" != 0 ] || fail "the progress bar was not repainted as it advanced"
# As minimising and restoring would: the window must paint itself again.
xdotool windowunmap "$win"; sleep 0.5; xdotool windowmap "$win"; sleep 0.5
shot mapped
[ "$(differ later mapped $picture)" = 0 ] || fail "the window did not repaint after being mapped again"
close_completion
wait "$probe" || { cat "$work/ping.log" >&2; fail "pings went unanswered during the write"; }
tail -n 1 "$work/ping.log"

python3 "$(dirname "$0")/check_write_record.py" "$work/rx.txt" "$work/queries.vrd" yryw ||
  fail "the write's bytes or pauses are not the ones set"
echo "the window read the project with its escape bytes whole and wrote it back, alive all the while"
