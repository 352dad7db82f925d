#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks what lands where, moves the installed tree
# elsewhere and runs it from there: the installed varkon with every emulated device, asked by the
# installed varkonctl, with the build and source trees out of its reach where a private mount
# namespace can be had.
#
# usage: layout_and_run.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/installed_files.sh"

scratch=$(mktemp -d /tmp/varkon-install-test.XXXXXX)
program_pid=
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill -KILL "$program_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# ---- the layout

DESTDIR= cmake --install "$build" --prefix "$scratch/stage" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log" >&2; fail "cmake --install failed"; }

check_installed_tree "$scratch/stage" "$build" "$source"
# Not the build tools: the generator of the catalogue files stays in the build tree.
[ ! -e "$scratch/stage/bin/varkon-catalogue-files" ] || fail "varkon-catalogue-files installed"
echo "layout: ok ($(cd "$scratch/stage" && find . -type f | wc -l) files)"

# ---- a run from elsewhere

# The installed tree must not depend on where it was installed.
mv "$scratch/stage" "$scratch/moved"
prefix=$scratch/moved
for name in runtime config data state home work; do mkdir -p "$scratch/$name"; done
chmod 700 "$scratch/runtime"

cat >"$scratch/run.sh" <<'EOF'
#!/usr/bin/env bash
# Runs inside the test's environment; $1 says whether the build and source trees are hidden.
set -uo pipefail
hidden=$1 prefix=$2 build=$3 source=$4
if [ "$hidden" = yes ]; then
  [ ! -e "$build/bin/varkon" ] || { echo "FAIL: the build tree is still visible"; exit 1; }
  [ ! -e "$source/resources/skin" ] || { echo "FAIL: the source tree is still visible"; exit 1; }
fi
"$prefix/bin/varkon" --simulate all --latency 0 >"$SCRATCH/varkon.log" 2>&1 &
pid=$!
ready=
for _ in $(seq 1 150); do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: varkon ended early:"; cat "$SCRATCH/varkon.log"; exit 1
  fi
  if "$prefix/bin/varkonctl" state >"$SCRATCH/state.json" 2>/dev/null &&
     python3 -c '
import json, sys
state = json.load(open(sys.argv[1]))
sys.exit(0 if len(state.get("devices", [])) >= 4 else 1)' "$SCRATCH/state.json" 2>/dev/null; then
    ready=yes
    break
  fi
  sleep 0.2
done
if [ -z "$ready" ]; then
  echo "FAIL: varkonctl state never showed 4 devices; last answer:"; cat "$SCRATCH/state.json"
  kill -KILL "$pid"; exit 1
fi
python3 -c '
import json, sys
state = json.load(open(sys.argv[1]))
print("run: varkonctl state shows %d devices" % len(state["devices"]))' "$SCRATCH/state.json"
status=0
"$prefix/bin/varkonctl" send Game_Kill 0 1 || { echo "FAIL: varkonctl send refused"; status=1; }
"$prefix/bin/varkonctl" ui get device_select >/dev/null ||
  { echo "FAIL: the installed skin's device selector is missing"; status=1; }
kill -TERM "$pid"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: varkon did not end on SIGTERM"; kill -KILL "$pid"; exit 1
fi
wait "$pid" || { echo "FAIL: varkon ended with status $?"; cat "$SCRATCH/varkon.log"; exit 1; }
exit $status
EOF

# A clean environment: nothing points back at the build (VARKON_RESOURCE_DIR and the like).
run_env=(env -i "PATH=/usr/local/bin:/usr/bin:/bin" "HOME=$scratch/home" "LANG=C.UTF-8"
  "QT_QPA_PLATFORM=offscreen" "XDG_RUNTIME_DIR=$scratch/runtime"
  "XDG_CONFIG_HOME=$scratch/config" "XDG_DATA_HOME=$scratch/data"
  "XDG_STATE_HOME=$scratch/state" "SCRATCH=$scratch")

cd "$scratch/work"
# Empty file systems over the build and source trees, in a mount namespace of our own.
hide="mount -t tmpfs -o size=1m,mode=755 none '$build' && mount -t tmpfs -o size=1m,mode=755 none '$source'"
if unshare --mount --map-root-user --propagation private sh -c "$hide" 2>/dev/null; then
  echo "run: build and source trees hidden"
  "${run_env[@]}" unshare --mount --map-root-user --propagation private \
    sh -c "$hide && exec bash '$scratch/run.sh' yes '$prefix' '$build' '$source'"
elif [ "$(id -u)" = 0 ] && unshare --mount --propagation private sh -c "$hide" 2>/dev/null; then
  echo "run: build and source trees hidden"
  "${run_env[@]}" unshare --mount --propagation private \
    sh -c "$hide && exec bash '$scratch/run.sh' yes '$prefix' '$build' '$source'"
else
  echo "run: no private mount namespace here; the build tree stays visible"
  "${run_env[@]}" bash "$scratch/run.sh" no "$prefix" "$build" "$source"
fi
echo "run: ok"
