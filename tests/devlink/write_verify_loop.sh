#!/usr/bin/env bash
# Writes a project to the simulated indicator and verifies it, ROUNDS times in a row (about 25 s a
# round); every round must end with exit 0. Meant to run while something else loads the machine.
# usage: write_verify_loop.sh <folder of varo-programmer and varo-indicator-sim> [ROUNDS=20]
set -euo pipefail
bin=$(cd "$1" && pwd)
rounds=${2:-20}
work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Floors 0 to 15, Gray, buzzer on; every frame a different pattern, so a shifted byte shows.
printf '\x00\x00\xff\x00' >"$work/p.vrd"
for i in $(seq 15); do printf "\\x$(printf %02x $i)\\x22\\x33\\x44" >>"$work/p.vrd"; done
for i in $(seq 180); do printf '\xff' >>"$work/p.vrd"; done
printf '\x08\x10\x01\x0e\x01\xff\xff\xff\xff\xff\xff\xff' >>"$work/p.vrd"

"$bin/varo-indicator-sim" --link "$work/port" >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [ -L "$work/port" ] && break; sleep 0.1; done

for round in $(seq "$rounds"); do
  for command in --write --verify; do
    status=0
    "$bin/varo-programmer" --quiet --port "$work/port" $command "$work/p.vrd" >"$work/out" 2>"$work/err" || status=$?
    if [ $status -ne 0 ]; then
      echo "round $round $command: exit $status" >&2
      cat "$work/out" "$work/err" >&2
      exit 1
    fi
  done
  echo "round $round: write and verify exit 0"
done
