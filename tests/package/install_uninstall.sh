#!/bin/sh
# Installs, upgrades and uninstalls the Windows Installer package silently
# under Wine, in a fresh prefix of its own, and checks what comes and goes:
#
#   install_uninstall.sh CMAKE BUILD_DIR PACKAGE_DIR WXS_DIR VERSION DRIVE_EXE
#
# BUILD_DIR is the windows build tree whose qm_package target makes the
# packages into PACKAGE_DIR; WXS_DIR holds the filled-in qmverify.wxs and its
# files/, from which the test makes a rebuilt and a later package of its own.
# The portable zip and the sums beside the packages are checked first.
# Exit status 77 (skipped) when wixl is missing, 1 on the first failed check.
set -eu
cmake=$1
build=$2
packages=$3
wxs_dir=$4
version=$5
drive=$6

if ! command -v wixl >/dev/null 2>&1; then
  echo "wixl is not installed (scripts/setup installs it): skipped"
  exit 77
fi

# The packages of this build tree, brought up to date first.
"$cmake" --build "$build" --target qm_package
msi="$packages/qmverify-$version-x64.msi"
zip="$packages/qmverify-$version-win64.zip"

work="$build/package-test"
prefix="$work/prefix"
log="$work/wine.log"
rm -rf "$work"
mkdir -p "$prefix" "$work/kept" "$work/unpacked"

fail() {
  echo "FAIL: $*"
  if [ -s "$log" ]; then
    echo "--- last lines of $log"
    tail -n 20 "$log"
  fi
  exit 1
}

# The sums beside the packages, and the portable zip: this build's programs
# and their sums in one folder.
(cd "$packages" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the packages"
python3 -m zipfile -e "$zip" "$work/unpacked" || fail "cannot unpack $zip"
unpacked="$work/unpacked/qmverify-$version-win64"
[ "$(LC_ALL=C ls "$unpacked" | tr '\n' ' ')" = "SHA256SUMS qmverify-cli.exe qmverify.exe " ] ||
  fail "the zip holds $(ls -R "$work/unpacked")"
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "the zip's SHA256SUMS does not match"
for program in ui/qmverify.exe cli/qmverify-cli.exe; do
  cmp -s "$build/$program" "$unpacked/${program#*/}" || fail "the zip's ${program#*/} is not this build's"
done
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko downloads, and no menu entries on this machine for the
# Start-menu shortcut that the package makes inside the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# Wine's background processes inherit standard output and error; they get the
# log, so CTest's pipe closes when this script ends.
run() {
  timeout 60 wine "$@" >>"$log" 2>&1 </dev/null
}

echo "making a fresh Wine prefix"
timeout 120 wineboot -i >>"$log" 2>&1 </dev/null || fail "wineboot did not finish"
run reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f || fail "null graphics driver"
timeout 60 wineserver -w || fail "wineserver did not end after wineboot"
wineserver -p >>"$log" 2>&1 </dev/null

c="$prefix/drive_c"
folder="$c/Program Files/Quillmark/qmverify"
windows="$c/windows"

# Each installed product named "Quillmark Release Checker" as
# "{PRODUCT-CODE} VERSION", from the Uninstall key of the registry.
products() {
  timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    2>>"$log" </dev/null | tr -d '\r' | awk '
      function flush() { if (name == "Quillmark Release Checker") print code, version }
      /^HKEY/ { flush(); code = $0; sub(/.*\\/, "", code); name = ""; version = "" }
      /^ +DisplayName +REG_SZ +/ { name = $0; sub(/^ +DisplayName +REG_SZ +/, "", name) }
      /^ +DisplayVersion +REG_SZ +/ { version = $0; sub(/^ +DisplayVersion +REG_SZ +/, "", version) }
      END { flush() }'
}

expect_products() {
  found=$(products)
  [ "$found" = "$1" ] || fail "$2: installed products are '$found', not '$1'"
}

product_code() {
  msiinfo export "$1" Property | tr -d '\r' | awk '$1 == "ProductCode" { print $2 }'
}

# The shortcuts named qmverify in any Start menu: Wine's msiexec puts a
# per-machine one into the user's Start menu, where Windows uses the common one.
shortcuts() {
  find "$c" -path '*/Start Menu/Programs/qmverify.lnk'
}

hex() {
  od -An -v -tx1 | tr -d ' \n'
}

echo "installing $msi"
run msiexec /i "$msi" /qn || fail "msiexec /i failed"
[ -f "$folder/qmverify.exe" ] || fail "qmverify.exe not installed"
[ -f "$folder/qmverify-cli.exe" ] || fail "qmverify-cli.exe not installed"
cmp -s "$folder/qmverify.exe" "$build/ui/qmverify.exe" || fail "qmverify.exe is not this build's"
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "not one Start-menu shortcut: $(shortcuts)"
lnk=$(shortcuts)
# The link's target path (ANSI) and its working directory (UTF-16).
target=$(printf '%s' 'C:\Program Files\Quillmark\qmverify\qmverify.exe' | hex)
start_in=$(printf '%s' 'C:\Program Files\Quillmark\qmverify\' | iconv -f UTF-8 -t UTF-16LE | hex)
case $(hex <"$lnk") in
  *"$target"*) ;;
  *) fail "the shortcut does not point to the installed qmverify.exe" ;;
esac
case $(hex <"$lnk") in
  *"$start_in"*) ;;
  *) fail "the shortcut does not start in the install folder" ;;
esac
code=$(product_code "$msi")
expect_products "$code $version" "after the install"

echo "starting the installed programs"
timeout 60 wine 'C:\Program Files\Quillmark\qmverify\qmverify-cli.exe' --help \
  >"$work/help.txt" 2>>"$log" </dev/null || fail "qmverify-cli --help did not exit with 0"
grep -q '^Usage: qmverify-cli' "$work/help.txt" || fail "qmverify-cli --help shows no usage"
# Through the shortcut, as from the Start menu; start /wait ends with the tool.
run start /wait /unix "$lnk" &
tool=$!
run "$drive" wait || fail "the main window \"Quillmark Release Check\" did not appear"
run "$drive" exit || fail "could not press Exit"
wait "$tool" || fail "the tool started from the shortcut did not end cleanly"

echo "installing the same package again"
run msiexec /i "$msi" /qn || fail "the second msiexec /i failed"
expect_products "$code $version" "after installing twice"

# The release list, its settings and a backup: the package never names them.
for name in qmverify.lst qmverify.ini qmverify.l01; do
  echo "$name of this machine, not of the package" >"$windows/$name"
  touch -d '2020-01-02 03:04:05' "$windows/$name"
  cp -p "$windows/$name" "$work/kept/$name"
done
expect_kept() {
  for name in qmverify.lst qmverify.ini qmverify.l01; do
    [ -f "$windows/$name" ] || fail "$1 removed C:\\windows\\$name"
    cmp -s "$windows/$name" "$work/kept/$name" || fail "$1 changed C:\\windows\\$name"
    [ "$(stat -c %Y "$windows/$name")" = "$(stat -c %Y "$work/kept/$name")" ] ||
      fail "$1 touched C:\\windows\\$name"
  done
}
expect_removed() {
  [ ! -e "$c/Program Files/Quillmark" ] || fail "$1 left $(find "$c/Program Files/Quillmark")"
  [ -z "$(shortcuts)" ] || fail "$1 left the shortcut $(shortcuts)"
  expect_products "" "$1"
  expect_kept "$1"
}

echo "uninstalling"
run msiexec /x "$msi" /qn || fail "msiexec /x failed"
expect_removed "the uninstall"

# A rebuilt package (a new product code, the same version) and a later
# version, from the filled-in .wxs of this build.
variants="$work/variants"
mkdir -p "$variants"
ln -s "$wxs_dir/files" "$variants/files"
later=$(echo "$version" | awk -F. '{ print $1 "." $2 "." $3 + 1 }')
after_later=$(echo "$later" | awk -F. '{ print $1 "." $2 "." $3 + 1 }')
dots() { echo "$1" | sed 's/\./\\./g'; }
cp "$wxs_dir/qmverify.wxs" "$variants/rebuilt.wxs"
sed -e "s/$(dots "$later")/$after_later/g" -e "s/$(dots "$version")/$later/g" \
  "$wxs_dir/qmverify.wxs" >"$variants/later.wxs"
(cd "$variants" && wixl --arch x64 -o rebuilt.msi rebuilt.wxs && wixl --arch x64 -o later.msi later.wxs) \
  >>"$log" 2>&1 || fail "wixl could not make the rebuilt and the later package"
rebuilt_code=$(product_code "$variants/rebuilt.msi")
later_code=$(product_code "$variants/later.msi")
[ "$rebuilt_code" != "$code" ] || fail "the rebuilt package has the same product code"

echo "upgrading: the package, a rebuilt one of the same version, then version $later"
run msiexec /i "$msi" /qn || fail "msiexec /i failed"
run msiexec /i "$variants/rebuilt.msi" /qn || fail "the rebuilt package did not install"
expect_products "$rebuilt_code $version" "the rebuilt package"
run msiexec /i "$variants/later.msi" /qn || fail "version $later did not install"
expect_products "$later_code $later" "version $later"
[ -f "$folder/qmverify.exe" ] || fail "version $later left no qmverify.exe"
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "not one Start-menu shortcut after the upgrades"
if run msiexec /i "$msi" /qn; then
  fail "version $version installed over the later $later"
fi
expect_products "$later_code $later" "the refused downgrade"
run msiexec /x "$variants/later.msi" /qn || fail "msiexec /x of version $later failed"
expect_removed "the uninstall after the upgrades"

echo "install, upgrade and uninstall: all checks passed"
