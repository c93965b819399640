#!/usr/bin/env bash
# End to end, as a user would: in a virtual display the real window starts a write (F9) to the
# simulated indicator, and the window manager's close arrives mid-write. The write stops after the
# byte on its way, nothing is asked, the port is let go and the program ends; the indicator never
# completes an image.
# usage: e2e_close.sh <folder of varo-programmer, varo-indicator-sim and wm-close>
source "$(dirname "$0")/e2e_lib.sh"
start --record "$work/rx.txt"
program=${pids[-1]}

# "İPTAL" on the floor-range panel, then F9. (With unsaved changes the question about them would
# come once the write has stopped; the window tests check that.)
click $((136 + 8 + 42)) $((120 + 112 + 12))
press_f9
await 100 grep -q 'w: taking' "$work/sim.log" || fail "the write did not start"
sleep 2
"$bin/wm-close" "$win" || fail "the close request could not be sent"
await 50 bash -c "! kill -0 $program 2>/dev/null" || fail "the program did not end after the close"
wait "$program" 2>/dev/null || true
grep -q 'image stored' "$work/sim.log" && fail "the image was finished after the close"
bytes=$(($(wc -l <"$work/rx.txt") - 2))
[ "$bytes" -gt 10 ] && [ "$bytes" -lt 200 ] || fail "$bytes image bytes went out"
# The port is free again: a command line handshake gets through, once the indicator has given the
# broken-off image up (a second without bytes).
sleep 1.2
"$bin/varo-programmer" --quiet --port "$work/port" --show-floors || fail "the port was not let go"
echo "the close stopped the write after $bytes bytes and ended the program"
