#!/usr/bin/env bash
# Builds the Debian package as `make package` does (into a scratch folder) and looks inside:
# the file list, the control data with its postinst, and an extracted tree laid out as
# `cmake --install` lays it out under /usr. The postinst is run with and without udevadm.
#
# usage: package.sh BUILD_DIR VERSION
set -euo pipefail

build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
. "$here/installed_files.sh"

scratch=$(mktemp -d /tmp/varkon-package-test.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb=$scratch/out/varkon-korvu-wired_${version}_$arch.deb
[ -f "$deb" ] || { ls -l "$scratch/out" >&2; fail "no $(basename "$deb")"; }
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

# The control data.
info=$(dpkg-deb -I "$deb")
for field in "Package: varkon-korvu-wired" "Version: $version" "Architecture: $arch"; do
  grep -q "^ $field\$" <<<"$info" || fail "dpkg-deb -I shows no \"$field\""
done
grep -q '^ Depends:.*libqt6widgets6' <<<"$info" ||
  fail "Depends has not the libraries dpkg-shlibdeps finds: $(grep Depends <<<"$info")"
grep -q '^ Depends:.*qt6-qpa-plugins' <<<"$info" || fail "Depends lacks qt6-qpa-plugins"
grep -Eq '^ +[0-9]+ bytes, +[0-9]+ lines +\* +postinst +#!/bin/sh' <<<"$info" ||
  fail "dpkg-deb -I shows no executable postinst"
grep -Eq '^ +[0-9]+ bytes, +[0-9]+ lines +\* +postrm +#!/bin/sh' <<<"$info" ||
  fail "dpkg-deb -I shows no executable postrm"

# The file list: every expected file under /usr, nothing outside /usr.
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./||')
while read -r file; do
  grep -qx "usr/$file" <<<"$listing" || fail "dpkg-deb -c does not list usr/$file"
done < <(expected_files "$build")
outside=$(grep -v -e '^usr/' -e '^$' <<<"$listing" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -q '^usr/share/varkon-korvu-wired/skin/skin.xml$' <<<"$listing" ||
  fail "the program folder is not in the package"

# Extracted, it is the installed layout, with stripped programs.
dpkg-deb -x "$deb" "$scratch/root"
check_installed_tree "$scratch/root/usr" "$build" "$source"
if file "$scratch/root/usr/bin/varkon" | grep -q 'not stripped'; then
  fail "usr/bin/varkon is not stripped"
fi
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = "root/root" ] || fail "files owned by $owners, not root/root"

# The postinst: reloads the rules and triggers hidraw where udevadm exists, and succeeds where
# it does not (a chroot).
dpkg-deb -e "$deb" "$scratch/control"
mkdir -p "$scratch/with" "$scratch/without"
cat >"$scratch/with/udevadm" <<EOF
#!/bin/sh
echo "\$*" >>"$scratch/udevadm.calls"
EOF
chmod +x "$scratch/with/udevadm"
for tool in sh; do ln -s "$(command -v $tool)" "$scratch/without/$tool"; ln -s "$(command -v $tool)" "$scratch/with/$tool"; done
PATH=$scratch/without /bin/sh "$scratch/control/postinst" configure ||
  fail "postinst fails without udevadm"
[ ! -e "$scratch/udevadm.calls" ] || fail "postinst called udevadm where there is none"
PATH=$scratch/with /bin/sh "$scratch/control/postinst" configure || fail "postinst failed"
expected_calls=$'control --reload-rules\ntrigger --subsystem-match=hidraw --action=change'
[ "$(cat "$scratch/udevadm.calls")" = "$expected_calls" ] ||
  fail "postinst ran udevadm with: $(cat "$scratch/udevadm.calls")"
rm -f "$scratch/udevadm.calls"
PATH=$scratch/with /bin/sh "$scratch/control/postinst" abort-upgrade || fail "postinst failed"
[ ! -e "$scratch/udevadm.calls" ] || fail "postinst ran udevadm on abort-upgrade"
PATH=$scratch/without /bin/sh "$scratch/control/postrm" remove || fail "postrm fails without udevadm"

echo "package: ok ($(wc -l <<<"$listing") entries)"
