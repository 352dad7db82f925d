# What an installation holds, relative to its prefix; sourced by the install and package tests.

app_id=io.github.varkon.KorvuWired

# expected_files BUILD_DIR: every file outside the program folder, one a line, sorted.
expected_files() {
  local build=$1
  {
    printf '%s\n' bin/varkon bin/varkon-hid bin/varkonctl \
      "share/applications/$app_id.desktop" \
      "share/metainfo/$app_id.metainfo.xml" \
      "share/icons/hicolor/scalable/apps/$app_id.svg" \
      share/man/man1/varkon.1.gz share/man/man1/varkon-hid.1.gz share/man/man1/varkonctl.1.gz \
      lib/udev/rules.d/70-varkon-korvu-wired.rules
    # The PNG sizes are drawn at build time where rsvg-convert is installed.
    if [ -d "$build/packaging/icons" ]; then
      (cd "$build/packaging/icons" && for size in */; do
        echo "share/icons/hicolor/${size%/}/apps/$app_id.png"
      done)
    fi
  } | LC_ALL=C sort
}

# check_installed_tree ROOT BUILD_DIR SOURCE_DIR: ROOT (a prefix) holds exactly the expected
# files, the program folder is a real copy of the resources, the rule is the one the build made.
check_installed_tree() {
  local root=$1 build=$2 source=$3
  local actual
  actual=$(cd "$root" && find . \( -type f -o -type l \) ! -path './share/varkon-korvu-wired/*' |
    sed 's|^\./||' | LC_ALL=C sort)
  if [ "$actual" != "$(expected_files "$build")" ]; then
    echo "FAIL: installed files differ from the expected ones (< expected, > installed):" >&2
    diff <(expected_files "$build") <(echo "$actual") >&2 || true
    return 1
  fi
  local name
  for name in varkon varkon-hid varkonctl; do
    [ -x "$root/bin/$name" ] || { echo "FAIL: bin/$name is not executable" >&2; return 1; }
  done

  local folder=$root/share/varkon-korvu-wired
  local expected_folders="DefaultData skin"
  [ -d "$source/resources/Font" ] && expected_folders="DefaultData Font skin"
  if [ "$(cd "$folder" && ls | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')" != "$expected_folders" ]; then
    echo "FAIL: share/varkon-korvu-wired holds $(ls "$folder" | tr '\n' ' '), not $expected_folders" >&2
    return 1
  fi
  for name in $expected_folders; do
    if [ -L "$folder/$name" ] || [ -n "$(find "$folder/$name" -type l)" ]; then
      echo "FAIL: share/varkon-korvu-wired/$name holds links, not copies" >&2
      return 1
    fi
    diff -r "$source/resources/$name" "$folder/$name" >/dev/null ||
      { echo "FAIL: share/varkon-korvu-wired/$name differs from resources/$name" >&2; return 1; }
  done

  cmp -s "$build/packaging/70-varkon-korvu-wired.rules" \
    "$root/lib/udev/rules.d/70-varkon-korvu-wired.rules" ||
    { echo "FAIL: the installed udev rule is not the generated one" >&2; return 1; }
  local page
  for page in varkon varkon-hid varkonctl; do
    gzip -t "$root/share/man/man1/$page.1.gz" ||
      { echo "FAIL: $page.1.gz is not gzip" >&2; return 1; }
  done
  return 0
}
