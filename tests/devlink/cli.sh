#!/usr/bin/env bash
# The command line's device commands, run for real against the simulated
# indicator with no display at all: every exit code, what goes to stdout and
# stderr, and what a failed read leaves on disk. One real write (about 16 s).
# usage: cli.sh <folder of varo-programmer and varo-indicator-sim>
set -euo pipefail
bin=$(cd "$1" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
await() { for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done; return 1; }
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Runs varo-programmer; sets status, out and err.
run() {
  status=0
  "$bin/varo-programmer" "$@" >"$work/out" 2>"$work/err" || status=$?
  out=$(<"$work/out")
  err=$(<"$work/err")
}
expect() {
  [[ $status -eq $1 ]] || fail "$2: status $status (wanted $1), out: $out, err: $err"
}
# Starts an indicator (its options as arguments) on $work/<name>.
sim() {
  local name=$1; shift
  "$bin/varo-indicator-sim" --link "$work/$name" "$@" >"$work/$name.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -L "$work/$name" ] && return; sleep 0.1; done
  fail "indicator $name did not start"
}
# Another program holds the indicator $work/<name> for 30 s, as a terminal program would.
hold() {
  flock "$work/$1" sleep 30 &
  pids+=($!)
  sleep 0.3
}

# A project: floors 0 to 15 as the indicator starts with, buzzer on, in file form (Gray = 1).
printf '\x00\x00\xff\x00' >"$work/p.vrd"
for i in $(seq 15); do printf '\x11\x22\x33\x44' >>"$work/p.vrd"; done
for i in $(seq 180); do printf '\xff' >>"$work/p.vrd"; done
printf '\x08\x10\x01\x0e\x01\xff\xff\xff\xff\xff\xff\xff' >>"$work/p.vrd"
[ "$(stat -c %s "$work/p.vrd")" = 256 ] || fail "test project is not 256 bytes"

# 2: the command line itself.
while IFS='|' read -r args message; do
  run $args
  expect 2 "'$args'"
  [[ -z $out && $err == *"$message"* && $err == *"--help"* ]] || fail "'$args': err: $err"
done <<CASES
--write $work/p.vrd|needs --port PATH
--port $work/x --write $work/p.vrd --show-floors|Give one of
--port $work/x --show-floors --retries many|--retries wants a number
--port $work/x --show-floors --retries -1|--retries wants a number
--quiet|go with --write
--port $work/x --verify|Missing value after '--verify'
$work/a.vrd $work/b.vrd|Give at most one project file to open, not also '$work/b.vrd'.
--port $work/x --write $work/p.vrd $work/a.vrd|A project file goes after its command
--bogus $work/a.vrd|Unknown option 'bogus'.
CASES
run --help
expect 0 "--help"
for code in 0 2 3 4 5 6 7 130; do [[ $out == *"  $code "* ]] || fail "--help does not explain exit code $code"; done

# 3: no such port, with the serial error's text.
run --port "$work/none" --show-floors
expect 3 "missing port"
[[ $err == *"Unable to open com port (win error code: 2)"* ]] || fail "missing port: $err"

# 3: a port another program holds, and a path that is no serial port: the component's message and
# a line of advice.
sim busy
hold busy
run --port "$work/busy" --show-floors
expect 3 "busy port"
[[ $err == *"Unable to open com port (win error code: 11)"$'\n'"Another program holds the port; close it. 'fuser -v $work/busy' shows which one."* ]] ||
  fail "busy port: $err"
run --port "$work/p.vrd" --show-floors
expect 3 "no serial port"
[[ $err == *"SetCommState function failed (win error code: 25)"$'\n'"$work/p.vrd is no serial port: choose the port the indicator is connected to."* ]] ||
  fail "no serial port: $err"

# 5: project files the window refuses, with its texts; nothing is sent.
sim good --project "$work/p.vrd"
head -c 255 "$work/p.vrd" >"$work/short.vrd"
{ head -c 245 "$work/p.vrd"; printf '\x00'; tail -c 10 "$work/p.vrd"; } >"$work/zero.vrd"
while IFS='|' read -r file message; do
  run --port "$work/good" --write "$file"
  expect 5 "$file"
  [[ -z $out && $err == *"$message"* ]] || fail "$file: $err"
done <<CASES
$work/missing.vrd|Ayar dosyası açılamadı: $work/missing.vrd (File not found)
$work/short.vrd|Ayar dosyası açılamadı: $work/short.vrd (Read beyond end of file)
$work/zero.vrd|Ayar dosyası açılamadı: $work/zero.vrd
$work/zero.vrd|Frame sayısı (bayt 245) 0; 1 ile 61 arasında olmalı
CASES
grep -q 'y -> E' "$work/good.log" && fail "a refused file reached the indicator"

# 0: verify and read against an indicator that holds the project; progress a line per 10 %.
run --port "$work/good" --verify "$work/p.vrd"
expect 0 "verify"
[[ $out == "Doğrulandı" ]] || fail "verify: $out"
[[ $(grep -c '^read: [0-9]* %$' "$work/err") -eq 10 && $err == *"read: 100 %"* ]] || fail "progress: $err"
run --quiet --port "$work/good" --read "$work/back.vrd"
expect 0 "read"
[[ -z $err ]] || fail "--quiet still said: $err"
cmp "$work/p.vrd" "$work/back.vrd" || fail "the read saved other bytes than the window would"
run --port "$work/good" --show-floors
expect 0 "show floors"
[[ $out == "The indicator is showing its floor numbers." ]] || fail "show floors said: $out"
await grep -q 's: showing the floor numbers' "$work/good.log" || fail "no s"

# 0: an indicator that says more than "E", or says it late: verify and read take none of it.
for fault in extra-bytes late-answer; do
  sim "$fault" --project "$work/p.vrd" --fault "$fault"
  run --quiet --port "$work/$fault" --verify "$work/p.vrd"
  expect 0 "verify, $fault"
  run --quiet --port "$work/$fault" --read "$work/$fault.vrd"
  expect 0 "read, $fault"
  cmp "$work/p.vrd" "$work/$fault.vrd" || fail "read, $fault: other bytes"
done

# 4: a silent indicator, after the first handshake and two retries; the count is the real one.
sim silent --fault silent
run --port "$work/silent" --show-floors --retries 2
expect 4 "silent"
[[ $err == *"No answer from the indicator ($work/silent, 3 handshakes)."* ]] || fail "silent: $err"
[[ $(grep -c 'y: no answer' "$work/silent.log") -eq 3 ]] || fail "not three handshakes"
run --port "$work/silent" --show-floors --retries 0
expect 4 "silent, no retry"
[[ $err == *"($work/silent, 1 handshake)."* ]] || fail "silent, no retry: $err"

# 130: Ctrl+C among the handshakes, and right after the indicator's "E" (in the pause before "s").
interrupt() {  # interrupt <log line to wait for> <seconds after it> <varo-programmer arguments ...>
  local line=$1 after=$2 log=$3; shift 3
  "$bin/varo-programmer" "$@" >"$work/out" 2>"$work/err" &
  local pid=$!
  await grep -q "$line" "$log" || fail "never saw '$line'"
  sleep "$after"
  kill -INT "$pid"
  status=0
  wait "$pid" || status=$?
  out=$(<"$work/out") err=$(<"$work/err")
}
before=$(grep -c 'y: no answer' "$work/silent.log")
interrupt 'y: no answer' 0.5 "$work/silent.log" --port "$work/silent" --show-floors --retries 50
expect 130 "Ctrl+C among the handshakes"
[[ $err == *"interrupted during the handshake, before any image byte; the port is closed"* ]] || fail "Ctrl+C: $err"
[[ $(($(grep -c 'y: no answer' "$work/silent.log") - before)) -lt 10 ]] || fail "handshakes went on after Ctrl+C"
sim answer
interrupt 'y -> E' 0.3 "$work/answer.log" --port "$work/answer" --show-floors
expect 130 "Ctrl+C after the E"
[[ $err == *"interrupted during the handshake"* ]] || fail "Ctrl+C after the E: $err"
grep -q '^s:' "$work/answer.log" && fail "the s went out after Ctrl+C"

# 7: the line drops part way through the write.
sim drop --fault hang-up-in-write --hang-up-after 5
run --port "$work/drop" --write "$work/p.vrd"
expect 7 "hang-up"
[[ -z $out && $err == *"WriteFile function failed"* && $err == *"the indicator now holds a partial image"* ]] ||
  fail "hang-up: $err"

# 130: Ctrl+C mid-write stops after the byte on its way and lets the port go.
sim stop
"$bin/varo-programmer" --port "$work/stop" --write "$work/p.vrd" >"$work/out" 2>"$work/err" &
writer=$!
for _ in $(seq 50); do grep -q 'w: taking' "$work/stop.log" && break; sleep 0.1; done
sleep 1
kill -INT "$writer"
status=0
wait "$writer" || status=$?
out=$(<"$work/out") err=$(<"$work/err")
expect 130 "Ctrl+C"
[[ $err =~ interrupted\ after\ ([0-9]+)\ of\ 256\ bytes\ written\;\ the\ port\ is\ closed ]] || fail "Ctrl+C: $err"
[[ ${BASH_REMATCH[1]} -gt 5 && ${BASH_REMATCH[1]} -lt 256 ]] || fail "stopped at ${BASH_REMATCH[1]}"
grep -q 'image stored' "$work/stop.log" && fail "the image was finished after Ctrl+C"
# The indicator gives a broken-off image up after a second without bytes.
sleep 1.2
run --port "$work/stop" --show-floors
expect 0 "the port after Ctrl+C"

# 6: a real write to an indicator that stores byte 245 wrong, then verify names it;
# a read of that image is refused as the window refuses it and writes nothing.
sim bad --corrupt 245
run --port "$work/bad" --write "$work/p.vrd"
expect 0 "write"
[[ $out == "Yazma İşlemi Tamamlandı..." ]] || fail "write: $out"
[[ $(grep -c '^write: [0-9]* %$' "$work/err") -eq 10 ]] || fail "write progress: $err"
grep -q 'byte 245 stored wrong' "$work/bad.log" || fail "the indicator did not corrupt"
run --port "$work/bad" --verify "$work/p.vrd"
expect 6 "verify mismatch"
[[ $out == *"Doğrulanmadı, 1 bayt farklı:"* && $out == *"bayt 245: Frame sayısı: gönderilen 0x10, okunan 0xEF"* ]] ||
  fail "verify mismatch: $out"
echo kept >"$work/kept.vrd"
for target in "$work/new.vrd" "$work/kept.vrd"; do
  run --port "$work/bad" --read "$target"
  expect 5 "refused read"
  [[ $err == *"Cihazdan okunan ayarlar alınmadı, proje değişmedi:"* && $err == *"Frame sayısı (bayt 245) 239"* ]] ||
    fail "refused read: $err"
done
[ ! -e "$work/new.vrd" ] || fail "a refused read wrote a file"
[ "$(cat "$work/kept.vrd")" = kept ] || fail "a refused read touched an existing file"
# The same in Turkish, through the program's catalogs: help, a missing and a busy port, a line lost
# mid-write; one language in each message.
turkish() { run_env=(env -u LC_ALL -u LANGUAGE -u LC_MESSAGES LANG=tr_TR.UTF-8); status=0
  "${run_env[@]}" "$bin/varo-programmer" "$@" >"$work/out" 2>"$work/err" || status=$?
  out=$(<"$work/out") err=$(<"$work/err"); }
turkish --help
expect 0 "Turkish --help"
[[ $out == *"VARO asansör kat göstergelerini seri hat üzerinden programlar."* && $out == *"Seçenekler:"* &&
   $out == *"130  Ctrl+C ile durduruldu"* && $out != *"Displays"* ]] || fail "Turkish --help: $out"
turkish --port "$work/none" --show-floors
expect 3 "Turkish missing port"
[[ $err == "varo-programmer: Port açılamadı (sistem hata kodu: 2)" ]] || fail "Turkish missing port: $err"
hold busy
turkish --port "$work/busy" --show-floors
expect 3 "Turkish busy port"
[[ $err == *"Port açılamadı (sistem hata kodu: 11)"$'\n'"Port başka bir programda açık; o programı kapatın."* ]] ||
  fail "Turkish busy port: $err"
sim drop2 --fault hang-up-in-write --hang-up-after 5
turkish --quiet --port "$work/drop2" --write "$work/p.vrd"
expect 7 "Turkish hang-up"
[[ $err == *"Porta yazılamadı (sistem hata kodu: 5)"$'\n'"Hat yazma sırasında koptu: gösterge şimdi yarım bir görüntü tutuyor."* ]] ||
  fail "Turkish hang-up: $err"
echo "command line device commands ok"
