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
source "$here/../../windows/wine_lib.sh"
work=$(mktemp -d)
trap 'stop_indicator_on_com5 "$prefix"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# floors -2 to 24 (first-floor item 6, 27 frames), Gray, last-floor item 25, buzzer on; frames
# of varied bytes, among them the escape byte the read must carry whole.
python3 - "$work/project.vrd" <<'PY'
import sys
frames = bytearray((i * 37 + 11) % 256 for i in range(4 * 27))
frames[5:7] = b"\x1b["
body = bytes(frames) + b"\xff" * (244 - 4 * 27)
open(sys.argv[1], "wb").write(body + bytes([6, 27, 1, 25, 1]) + b"\xff" * 7)
PY

indicator_on_com5 "$prefix" "$work/sim.log" "$hostbin/varo-indicator-sim" --record "$work/rx.txt" ||
  fail "the simulator made no pseudo-terminal"

"$wine_sh" "$prefix" "$probe" COM5 "$(windows_path "$work/project.vrd")" "$(windows_path "$work/read.vrd")" || fail "the device link failed: $(cat "$work/sim.log")"
cmp "$work/project.vrd" "$work/read.vrd" || fail "the project read back differs from the one written"
python3 "$here/../check_write_record.py" "$work/rx.txt" "$work/project.vrd" yw yr || fail "the write's bytes or pauses are not the ones set"
echo "the Win32 device link wrote the project with its pauses and read it back whole"
