#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a lab would, with the test
# plug-in, and checks that every installed program, library and plug-in finds
# the project's libraries inside the prefix through run paths relative to its
# own folder, and that the installed program starts, shows its window and ends.
# Usage: check_install.sh <cmake> <build folder> <bin folder> <lib folder>
set -euo pipefail
cmake=$1 build=$2 bindir=$3 libdir=$4
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "$*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" > /dev/null
"$cmake" --install "$build" --prefix "$prefix" --component test > /dev/null
[ -x "$prefix/$bindir/Fralo" ] || fail "no $bindir/Fralo"
[ -e "$prefix/$bindir/VFGMockCam.so" ] || fail "no plug-in beside the program"
for plugin in parVFGTwain parVFGDirectShow parVFGZephonII; do
  [ -e "$prefix/$bindir/$plugin.so" ] || fail "no $plugin beside the program"
done
[ -e "$prefix/$libdir/libparverodyn.so" ] || fail "no $libdir/libparverodyn.so"
[ -e "$prefix/$bindir/optical_bench/VFGKandrisAcquire.so" ] || fail "no bench camera"
[ -e "$prefix/$libdir/libQnlo34.so" ] || fail "no $libdir/libQnlo34.so"

for file in "$prefix/$bindir"/* "$prefix/$bindir"/*/*.so "$prefix/$libdir"/*.so; do
  [ -f "$file" ] || continue
  runpath=$(readelf -d "$file" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
  for entry in ${runpath//:/ }; do
    [[ $entry == '$ORIGIN'* ]] || fail "$file: run path entry $entry"
  done
  env -u LD_LIBRARY_PATH ldd "$file" | awk '/=>/ { print $1, $3 }' | while read -r name path; do
    [ "$path" != "not" ] || fail "$file: $name not found"
    if [ -e "$prefix/$libdir/$name" ]; then
      [ "$(realpath "$path")" = "$(realpath "$prefix/$libdir/$name")" ] ||
        fail "$file: $name from $path"
    fi
  done
done

# The window system's libraries keep some memory to the end: not ours.
printf 'leak:libfontconfig\nleak:libdbus\n' > "$prefix/lsan.supp"
(cd "$prefix" && env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$prefix" \
  LSAN_OPTIONS=suppressions="$prefix/lsan.supp" FRALO_SNAPSHOT="$prefix/window.png" \
  "$prefix/$bindir/Fralo" > fralo.log 2>&1) || { cat "$prefix/fralo.log"; fail "Fralo failed"; }
[ -s "$prefix/window.png" ] || fail "Fralo saved no picture of its window"
