#!/bin/sh
# The UI thread while the mouse is written through its receiver with the latency model on:
# every DPI stage dragged, the report rate changed and a profile switch, each through the
# window's own controls. Prints the worst lateness of the UI thread and how long the writes
# took against the receiver's wire time for them.
#   bench/receiver_stall.sh [BUILD_DIR] [CABLE_LATENCY_MS]
set -eu
build=${1:-build}
latency=${2:-1}
bin="$build/bin"
ctl="$bin/varkonctl"
. "$(dirname "$0")/start_program.sh"
start_program --simulate receiver --latency "$latency"
"$ctl" window show >/dev/null
sleep 2  # start-up reads settle
"$ctl" ui click cursor_Op_tab >/dev/null
"$ctl" profile mouse add --yes >/dev/null
second=$("$ctl" profile mouse list | sed -n 's/.*"profiles":\["\([^"]*\)","\([^"]*\)".*/\2/p')
first=$("$ctl" profile mouse list | sed -n 's/.*"profiles":\["\([^"]*\)".*/\1/p')
requests() { "$ctl" sim memory receiver | sed -n 's/.*"requests":\([0-9]*\).*/\1/p'; }
before=$(requests)
"$ctl" stall reset >/dev/null
now_ms() { date +%s%3N; }
start=$(now_ms)
for step in 10 30 50 70 90; do
  for stage in 0 1 2 3 4; do "$ctl" ui set "DPI_slider_$stage" "$step" >/dev/null; done
done
"$ctl" ui click polling_rate_option_2 >/dev/null
"$ctl" profile mouse switch "$second" >/dev/null
"$ctl" profile mouse switch "$first" >/dev/null
end=$(now_ms)
# Includes the online checks that fell in the run (one every few seconds).
requests=$(($(requests) - before))
printf 'receiver reply %d ms: 25 stage drags, a report rate and 2 profile switches in %d ms\n' \
  $((latency * 4)) $((end - start))
printf 'wire-time floor (%d requests): %d ms\n' "$requests" $((requests * latency * 4))
printf 'worst UI-thread lateness: %s ms\n' "$("$ctl" stall)"
