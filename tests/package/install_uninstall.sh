#!/bin/sh
# Installs, upgrades and uninstalls the Windows Installer package silently
# under Wine, in a fresh prefix of its own, and checks what comes and goes
# (the programs, the shortcut, the event source's key, the scheduled task of
# SCHEDULE=hourly and of the zip's `schedule install`):
#
#   install_uninstall.sh CMAKE BUILD_DIR PACKAGE_DIR WXS_DIR VERSION DRIVE_EXE
#
# BUILD_DIR is the windows build tree whose qm_package target makes the
# packages into PACKAGE_DIR; WXS_DIR holds the filled-in qmverify.wxs, from
# which the test makes a rebuilt and a later package of its own.
# The portable zip, the sums beside the packages, the programs' headers, the
# MSI's file versions and that the packages come out the same when made again
# are checked first.
# Exit status 77 (skipped) when a tool is missing, 1 on the first failed check.
set -eu
cmake=$1
build=$2
packages=$3
wxs_dir=$4
version=$5
drive=$6

for tool in wixl msibuild msiinfo faketime objdump; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed (scripts/setup installs it): skipped"
    exit 77
  fi
done
here=$(cd "$(dirname "$0")" && pwd)

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

# The programs' PE headers: terminal-server aware (on a Remote Desktop Session
# Host, GetWindowsDirectoryA of an unaware program gives each user a private
# folder, and so a private, empty release list), and no link time, which
# would make every build differ.
for program in qmverify.exe qmverify-cli.exe; do
  characteristics=$(objdump -p "$unpacked/$program" | awk '$1 == "DllCharacteristics" { print $2 }')
  [ $((0x$characteristics & 0x8000)) -ne 0 ] ||
    fail "$program is not terminal-server aware (DllCharacteristics $characteristics)"
  header=$(od -An -tu4 -j 60 -N 4 "$unpacked/$program" | tr -d ' ')
  stamp=$(od -An -tu4 -j $((header + 8)) -N 4 "$unpacked/$program" | tr -d ' ')
  [ "$stamp" -eq 0 ] || fail "$program carries a link time ($stamp) in its PE header"
done

# Windows Installer replaces a versioned file on a repair and an upgrade;
# wixl alone leaves the version empty. Each program: its version and US
# English, and no file hash, which is for unversioned files only.
files=$(msiinfo export "$msi" File | tr -d '\r' | tail -n +4 | awk -F '\t' '{ print $3, $5, $6 }' | LC_ALL=C sort)
[ "$files" = "qmverify-cli.exe $version.0 1033
qmverify.exe $version.0 1033" ] || fail "the MSI's File table holds (name, version, language):
$files"
hashes=$(msiinfo export "$msi" MsiFileHash | tr -d '\r' | tail -n +4)
[ -z "$hashes" ] || fail "the MSI keeps file hashes of versioned files: $hashes"

# Made again later, elsewhere, in another time zone and with another umask,
# from the same programs and date, the packages are the same bytes.
epoch=$("$here/../../res/installer/source-date-epoch")
for round in first second; do
  zone=UTC
  mask=022
  [ "$round" = first ] || { zone=Pacific/Kiritimati; mask=077; sleep 1; }
  (umask "$mask" && SOURCE_DATE_EPOCH=$epoch TZ=$zone \
    "$here/../../res/installer/make-release" "$build" "$work/again-$round" >>"$log" 2>&1) ||
    fail "make-release could not make the packages again"
done
for name in "$(basename "$msi")" "$(basename "$zip")" SHA256SUMS; do
  cmp -s "$work/again-first/$name" "$work/again-second/$name" || fail "$name came out different when made again"
done
verdict=$(SOURCE_DATE_EPOCH=$epoch "$here/../../res/installer/compare-release" "$build" "$work/again-first" 2>&1 |
  tail -n 1)
[ "$verdict" = "download matches this build: yes" ] || fail "compare-release of the unsigned packages: $verdict"
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

# The event source's values, one "NAME TYPE DATA" line each, and the task
# file that the Task Scheduler keeps (Wine keeps its description and
# settings only, and never runs it: the definition itself is checked against
# its golden copy by cli_tests).
source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\qmverify'
task="$c/windows/system32/tasks/qmverify"
source_values() {
  timeout 60 wine reg query "$source_key" 2>>"$log" </dev/null | tr -d '\r' |
    awk '$1 == "EventMessageFile" || $1 == "TypesSupported" { $1 = $1; print }'
}
expect_source() {
  found=$(source_values)
  [ "$found" = "EventMessageFile REG_SZ $1
TypesSupported REG_DWORD 0x7" ] || fail "$2: the event source's key holds '$found'"
}
expect_no_source() {
  [ -z "$(source_values)" ] || fail "$1 left the event source's key: $(source_values)"
}
expect_task() {
  [ -f "$task" ] || fail "$1: no scheduled task qmverify"
  grep -q 'Compares the program files of' "$task" ||
    fail "$1: the scheduled task is not the one of qmverify-task.xml"
}
installed_cli='C:\Program Files\Quillmark\qmverify\qmverify-cli.exe'

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
expect_source "$installed_cli" "after the install"
[ ! -e "$task" ] || fail "an install without SCHEDULE set up a scheduled task"

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
  expect_no_source "$1"
  [ ! -e "$task" ] || fail "$1 left the scheduled task"
  if timeout 60 wine reg query 'HKLM\SOFTWARE\Quillmark' >>"$log" 2>&1 </dev/null; then
    fail "$1 left the kept schedule in HKLM\SOFTWARE\Quillmark"
  fi
  [ -z "$(shortcuts)" ] || fail "$1 left the shortcut $(shortcuts)"
  expect_products "" "$1"
  expect_kept "$1"
}

echo "uninstalling"
run msiexec /x "$msi" /qn || fail "msiexec /x failed"
expect_removed "the uninstall"

echo "installing with SCHEDULE=hourly; the zip's schedule install"
# Windows runs the Task Scheduler service always; Wine starts it on demand
# (net start fails when it runs already).
run net start schedule || true
timeout 60 wine sc query schedule 2>>"$log" </dev/null | grep -q RUNNING ||
  fail "the Task Scheduler service does not run"
if run msiexec /i "$msi" SCHEDULE=weekly /qn; then
  fail "SCHEDULE=weekly installed"
fi
[ ! -e "$folder" ] || fail "the refused SCHEDULE=weekly installed files"
run msiexec /i "$msi" SCHEDULE=hourly /qn || fail "msiexec /i SCHEDULE=hourly failed"
expect_source "$installed_cli" "SCHEDULE=hourly"
expect_task "SCHEDULE=hourly"
[ -d "$c/ProgramData/qmverify" ] || fail "SCHEDULE=hourly made no folder for the metrics file"
run msiexec /x "$msi" /qn || fail "msiexec /x after SCHEDULE=hourly failed"
expect_removed "the uninstall after SCHEDULE=hourly"
zip_cli=$(winepath -w "$unpacked/qmverify-cli.exe")
run "$zip_cli" schedule install --every daily || fail "the zip's schedule install failed"
expect_source "$zip_cli" "the zip's schedule install"
expect_task "the zip's schedule install"
timeout 60 wine "$zip_cli" schedule show >"$work/show.txt" 2>>"$log" </dev/null ||
  fail "schedule show did not find the task"
grep -q "Event source qmverify: messages of" "$work/show.txt" || fail "schedule show: $(cat "$work/show.txt")"
run "$zip_cli" schedule remove || fail "the zip's schedule remove failed"
expect_no_source "the zip's schedule remove"
[ ! -e "$task" ] || fail "the zip's schedule remove left the task"

# A rebuilt package (a new product code, the same version) and a later
# version, from the filled-in .wxs of this build.
variants="$work/variants"
mkdir -p "$variants/files"
cp "$build/ui/qmverify.exe" "$build/cli/qmverify-cli.exe" "$here/../../res/qmverify.ico" "$variants/files/"
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
run msiexec /i "$msi" SCHEDULE=daily /qn || fail "msiexec /i SCHEDULE=daily failed"
run msiexec /i "$variants/rebuilt.msi" /qn || fail "the rebuilt package did not install"
expect_products "$rebuilt_code $version" "the rebuilt package"
run msiexec /i "$variants/later.msi" /qn || fail "version $later did not install"
expect_products "$later_code $later" "version $later"
[ -f "$folder/qmverify.exe" ] || fail "version $later left no qmverify.exe"
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "not one Start-menu shortcut after the upgrades"
# Wine's RemoveExistingProducts does not tell the earlier version that it is
# being upgraded, so the task goes with it: the later one sets it up again
# from the schedule it finds kept.
expect_task "the upgrades"
expect_source "$installed_cli" "the upgrades"
run msiexec /i "$variants/later.msi" SCHEDULE=none /qn || fail "SCHEDULE=none failed"
[ ! -e "$task" ] || fail "SCHEDULE=none left the scheduled task"
if run msiexec /i "$msi" /qn; then
  fail "version $version installed over the later $later"
fi
expect_products "$later_code $later" "the refused downgrade"
run msiexec /x "$variants/later.msi" /qn || fail "msiexec /x of version $later failed"
expect_removed "the uninstall after the upgrades"

echo "install, upgrade and uninstall: all checks passed"
