#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators and agree with each other;
# the man pages format without warnings and name every command the programs' --help lists.
#
# usage: desktop_metainfo_man.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail

build=$1 source=$2 version=$3
app_id=io.github.varkon.KorvuWired
desktop=$source/packaging/$app_id.desktop
metainfo=$build/packaging/$app_id.metainfo.xml
status=0
fail() {
  echo "FAIL: $*" >&2
  status=1
}

desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate --no-net $metainfo"

grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry's icon is not $app_id"
grep -qx "Exec=varkon" "$desktop" || fail "the desktop entry does not start varkon"
python3 - "$metainfo" "$app_id" "$version" <<'PY' || status=1
import sys
import xml.etree.ElementTree as ET
path, app_id, version = sys.argv[1:]
root = ET.parse(path).getroot()
problems = []
if root.findtext("id") != app_id:
    problems.append("id is %r" % root.findtext("id"))
if root.findtext("launchable") != app_id + ".desktop":
    problems.append("launchable is %r" % root.findtext("launchable"))
releases = root.findall("releases/release")
if not releases or releases[0].get("version") != version:
    problems.append("the newest release is not %s" % version)
binaries = {b.text for b in root.findall("provides/binary")}
if binaries != {"varkon", "varkon-hid", "varkonctl"}:
    problems.append("provides binaries %s" % sorted(binaries))
if not root.findall("provides/modalias"):
    problems.append("provides no modalias")
for p in problems:
    print("FAIL: metainfo: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY

# Every page formats cleanly.
for page in varkon varkon-hid varkonctl; do
  file=$build/packaging/man/$page.1
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$page.1 formats with warnings: $warnings"
  grep -q '@' "$file" && fail "$page.1 has an unreplaced @VALUE@"
done

# The man pages as text, with the hyphens as typed.
page_text() {
  LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$build/packaging/man/$1.1" 2>/dev/null |
    sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g'
}

# varkon-hid: every command of its usage (the lower-case words of the indented lines after
# "commands:"), the other usage lines' commands (list, check, watch) and every option.
help=$("$build/bin/varkon-hid" --help)
text=$(page_text varkon-hid)
words=$( (echo "$help" | sed -n '/^commands:/,$p' | grep '^  ' | sed 's/([^)]*)//g' |
    tr ' |' '\n\n' | grep -x '[a-z][a-z-]*'
  echo "$help" | grep -o '^ *\(usage: \)\?varkon-hid \(\[[^]]*\] \)*[a-z]*' | awk '{print $NF}' | grep -x '[a-z][a-z-]*'
  echo "$help" | grep -o -- '--[a-z]*') | sort -u)
for word in $words; do
  grep -q -- "$word" <<<"$text" || fail "varkon-hid.1 does not mention $word"
done

# varkonctl: the requests of its usage and of the README's list.
help=$("$build/bin/varkonctl" --help)
text=$(page_text varkonctl)
words=$( (echo "$help" | grep -o 'varkonctl [a-z]*' | cut -d' ' -f2
  sed -n '/^varkonctl [a-z]/s/^varkonctl \([a-z-]*\).*/\1/p' "$source/README.md") | sort -u)
for word in $words; do
  grep -q -- "$word" <<<"$text" || fail "varkonctl.1 does not mention the request $word"
done

# varkon: the options it takes.
text=$(page_text varkon)
for word in --simulate --latency --hidden; do
  grep -q -- "$word" <<<"$text" || fail "varkon.1 does not mention $word"
done

[ $status = 0 ] && echo "desktop entry, metainfo, man pages: ok"
exit $status
