#!/bin/sh
# CPU use of the running program with all five emulated devices attached: 30 s with the window
# shown, then 30 s hidden in the tray. Reads utime + stime from /proc/PID/stat.
#   bench/program_cpu.sh [BUILD_DIR] [SECONDS]
set -eu
build=${1:-build}
seconds=${2:-30}
bin="$build/bin"
. "$(dirname "$0")/start_program.sh"
start_program --simulate "${VARKON_SIMULATE:-all}"
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
