#!/usr/bin/env bash
# msi_roundtrip.sh BUILD_DIR BITS DATABASE UI_SCRIPT WINE_PREFIX WINE_ENV [WINE_ENV options...]
#
# The installer as a user meets it, under Wine: makes the build's MSI, installs
# it quietly, drills the sample cell with the installed zevdt.exe, uninstalls
# it and checks that the prefix holds no file more than before.
set -euo pipefail
build=$1 bits=$2 db=$3 ui=$4 prefix=$5
shift 5
wine=("$@")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$build/msi/roundtrip
rm -rf "$work" && mkdir -p "$work"
fail() { echo "msi_roundtrip: $*" >&2; exit 1; }

# The MSI's name comes from the cpack settings of the same build.
name=$(sed -n 's/^set(CPACK_ARCHIVE_UNSPECIFIED_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[[ -n $name ]] || fail "no package name in $build/CPackConfig.cmake"
msi=$build/packages/$name.msi
echo "== making $name.msi"
cmake -DBUILD_DIR="$build" -DOUTPUT="$msi" -P "$root/cmake/MakeMsi.cmake"

# 64 bits into Program Files, 32 bits into the 32-bit Program Files (which a
# 32-bit Windows, and the 32-bit prefix of this build, calls Program Files).
folder=ProgramFilesFolder
[[ $bits == 64 ]] && folder=ProgramFiles64Folder
directories=$(msiinfo export "$msi" Directory)
grep -qP "^INSTALLDIR\t$folder\t" <<<"$directories" || fail "INSTALLDIR is not in $folder: $directories"
# wixl writes these tables empty; rows in them would register something.
for table in Registry Shortcut Environment ServiceInstall ServiceControl; do
  grep -qx "$table" <<<"$(msiinfo tables "$msi")" || continue
  rows=$(msiinfo export "$msi" "$table" | tail -n +4)
  [[ -z $rows ]] || fail "the MSI writes $table entries: $rows"
done

# What the prefix holds apart from Wine's own logs and temporary files.
snapshot() {
  (cd "$prefix/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o \
     -path './users/*/AppData/Local/Temp' -prune -o -type f -print) | sort
}
snapshot >"$work/before.txt"

installed="$prefix/drive_c/Program Files/ZEVDTU"
echo "== msiexec /i $name.msi /qn"
"${wine[@]}" msiexec /i "Z:${msi//\//\\}" /qn ||
  fail "msiexec /i failed with $?"
[[ -f $installed/bin/zevdt.exe && -f $installed/bin/ZEVDTU.dll && -f $installed/LICENSE ]] ||
  fail "nothing installed in $installed"
echo "installed: $(cd "$installed" && find . -type f | wc -l) files in C:\\Program Files\\ZEVDTU"

echo "== the installed zevdt.exe drills the sample cell"
"${wine[@]}" "C:\\Program Files\\ZEVDTU\\bin\\zevdt.exe" drill --member Year=2024 --member Region=East \
  --member Category=Beverages --database "$db" --ui-script "$ui" --format csv --output "$work/sample.csv" ||
  fail "the installed zevdt.exe failed with $?"
rows=$(($(wc -l <"$work/sample.csv") - 1))
echo "$rows rows"
[[ $rows == 2143 ]] || fail "$rows rows, expected 2143"

echo "== msiexec /x $name.msi /qn"
"${wine[@]}" msiexec /x "Z:${msi//\//\\}" /qn || fail "msiexec /x failed with $?"
[[ ! -e $installed ]] || fail "left behind: $(cd "$installed" && find . | head)"
snapshot >"$work/after.txt"
if ! diff "$work/before.txt" "$work/after.txt" >"$work/left.txt"; then
  fail "the prefix changed: $(cat "$work/left.txt")"
fi
echo "uninstalled: no file left"
