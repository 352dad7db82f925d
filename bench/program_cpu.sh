#!/bin/sh
# CPU use of the running program with all five emulated devices attached: 30 s with the window
# shown, then 30 s hidden in the tray. Reads utime + stime from /proc/PID/stat.
#   bench/program_cpu.sh [BUILD_DIR] [SECONDS]
set -eu
build=${1:-build}
seconds=${2:-30}
bin="$build/bin"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
       XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
"$bin/varkon" --simulate "${VARKON_SIMULATE:-all}" 2>"$work/stderr" &
pid=$!
# Until it answers and its first pass is done.
tries=0
until "$bin/varkonctl" state 2>/dev/null | grep -q '"firstPassDone":true'; do
  tries=$((tries + 1))
  [ "$tries" -lt 300 ] || { echo "the program did not come up" >&2; cat "$work/stderr" >&2; exit 1; }
  sleep 0.1
done
sleep 2  # start-up reads settle
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
measure() {
  start=$(cpu_ticks)
  sleep "$seconds"
  end=$(cpu_ticks)
  awk -v d=$((end - start)) -v t="$ticks" -v s="$seconds" \
    'BEGIN { printf "%.2f%% of one core (%d ticks in %d s)\n", 100 * d / t / s, d, s }'
}
"$bin/varkonctl" window show >/dev/null
printf 'window shown:  '
measure
"$bin/varkonctl" window hide >/dev/null
sleep 1
printf 'window hidden: '
measure
