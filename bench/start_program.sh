# Sourced by the benchmark scripts. start_program ARGS... starts "$bin/varkon" ARGS in a scratch
# set of XDG folders removed on exit, and waits until its first pass is done. Sets $pid and
# $work (the scratch folder; the program's standard error is in "$work/stderr").
start_program() {
  work=$(mktemp -d)
  trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
  mkdir -m 700 "$work/run"
  export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
         XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
  "$bin/varkon" "$@" 2>"$work/stderr" &
  pid=$!
  tries=0
  until "$bin/varkonctl" state 2>/dev/null | grep -q '"firstPassDone":true'; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "the program did not come up" >&2; cat "$work/stderr" >&2; exit 1; }
    sleep 0.1
  done
}
