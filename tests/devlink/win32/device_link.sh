#!/usr/bin/env bash
# Under Wine, the device link of app/core through the Win32 serial backend against the simulated
# indicator (the Linux program) on a pseudo-terminal mapped as COM5: the indicator must hear "y",
# "w" and the 256 bytes with every pause of the write, and a read must bring the same project back.
# usage: device_link.sh <wine prefix> <device_link_probe.exe> <folder of varo-indicator-sim>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 probe=$2 hostbin=$3
if [ ! -x "$hostbin/varo-indicator-sim" ]; then
  echo "skipped: no simulated indicator in '$hostbin' (configure with -DVARO_HOST_BIN=<Linux build>/bin)"
  exit 77
fi
work=$(mktemp -d)
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -f "$prefix/dosdevices/com5"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The prefix and its server first: a fresh start of Wine's services would take the mapping back.
"$here/../../windows/wine.sh" "$prefix" cmd /c "exit /b 0"
rm -f "$prefix/dosdevices/com5"

# floors -2 to 24 (first-floor item 6, 27 frames), Gray, last-floor item 25, buzzer on; frames
# of varied bytes, among them the escape byte the read must carry whole.
python3 - "$work/project.vrd" <<'PY'
import sys
frames = bytearray((i * 37 + 11) % 256 for i in range(4 * 27))
frames[5:7] = b"\x1b["
body = bytes(frames) + b"\xff" * (244 - 4 * 27)
open(sys.argv[1], "wb").write(body + bytes([6, 27, 1, 25, 1]) + b"\xff" * 7)
PY

"$hostbin/varo-indicator-sim" --link "$prefix/dosdevices/com5" \
  --record "$work/rx.txt" >"$work/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do [ -e "$prefix/dosdevices/com5" ] && break; sleep 0.05; done
[ -e "$prefix/dosdevices/com5" ] || fail "the simulator made no pseudo-terminal"

"$here/../../windows/wine.sh" "$prefix" "$probe" COM5 'Z:'"$(printf '%s' "$work/project.vrd" | tr / '\\')" \
  'Z:'"$(printf '%s' "$work/read.vrd" | tr / '\\')" || fail "the device link failed: $(cat "$work/sim.log")"
cmp "$work/project.vrd" "$work/read.vrd" || fail "the project read back differs from the one written"
python3 "$here/../check_write_record.py" "$work/rx.txt" "$work/project.vrd" yw yr || fail "the write's bytes or pauses are not the ones set"
echo "the Win32 device link wrote the project with its pauses and read it back whole"
