#!/usr/bin/env bash
# The companion's start: the runs that draw nothing load no Qt library, the runs that draw load
# the drawing module from its place beside the program, and a module that is missing or not the
# program's own fails the drawing runs with the reason, leaving the others working.
# Usage: check_start.sh TOOL MODULE OTHER_VERSION_MODULE FOLDER
set -u
tool=$1 module=$2 other_module=$3 dir=$4
rm -rf "$dir" && mkdir -p "$dir"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The dynamic loader names every library it opens.
# (Read whole: a reader that stopped early would end the program before it wrote its file.)
loads_qt() { LD_DEBUG=files "$@" 2>"$dir/loaded" >/dev/null; grep -q "file=libQt6" "$dir/loaded"; }
for run in "" "--version" "--help" "--format json" "--eccentricity 5:35:5" \
  "--method exact --eccentricity 10:20:1" "--profiles $dir/p.csv" "--dxf $dir/e.dxf" \
  "--seal-offset 2 --clearance 0.1 --dxf $dir/r.dxf" "--eccentricity abc"; do
  # shellcheck disable=SC2086
  ! loads_qt "$tool" $run || fail "rotary-ratio $run loads Qt"
done
loads_qt "$tool" --figure "$dir/f.svg" || fail "--figure draws without loading Qt?"
loads_qt "$tool" --eccentricity 10:20:5 --chart "$dir/c.svg" || fail "--chart without Qt?"
grep -q "<svg" "$dir/f.svg" || fail "no figure drawn"

# The module itself gives its drawing only to a program of its own version. (A module built
# with the sanitizers loads only into a program that carries their runtime.)
if nm -D --undefined-only "$module" | grep -q "__asan\|__ubsan"; then
  echo "skipped: the sanitizers' module is not loaded outside their programs"
elif ! /usr/bin/python3 - "$module" "$("$tool" --version | cut -d' ' -f2)" <<'PYTHON'
import ctypes, sys
entry = ctypes.CDLL(sys.argv[1]).rotary_ratio_drawing
entry.restype, entry.argtypes = ctypes.c_void_p, [ctypes.c_char_p]
assert entry(sys.argv[2].encode()), "declined its own version"
assert not entry(b"0.9.9"), "accepted another version"
PYTHON
then
  fail "the module's version check"
fi

# A program whose drawing module is missing, or another version's, or some other library.
expect_refusal() {  # WHAT PATTERN
  local status
  "$dir/bin/rotary-ratio" --figure "$dir/bin/f.svg" >"$dir/out" 2>"$dir/err"
  status=$?
  [ "$status" = 2 ] || fail "$1: --figure status $status, not 2"
  grep -qE "^rotary-ratio: --figure: $2" "$dir/err" || fail "$1: $(cat "$dir/err")"
  [ "$(wc -l <"$dir/err")" = 1 ] || fail "$1: more than one line"
  [ -z "$(ls -A "$dir/bin" | grep -v '^rotary-ratio$')" ] || fail "$1: left $(ls -A "$dir/bin")"
  "$dir/bin/rotary-ratio" --eccentricity 10:20:5 --chart "$dir/bin/c.svg" >/dev/null 2>"$dir/err"
  [ $? = 2 ] && grep -q "^rotary-ratio: --chart: " "$dir/err" || fail "$1: --chart: $(cat "$dir/err")"
  [ "$("$dir/bin/rotary-ratio" --format csv | wc -l)" = 2 ] || fail "$1: a plain run fails"
}
mkdir -p "$dir/bin" "$dir/lib/rotary-ratio"
cp "$tool" "$dir/bin/rotary-ratio"
expect_refusal "no module" "the drawing module cannot be loaded: .*rotary-ratio-drawing.so"
cp "$other_module" "$dir/lib/rotary-ratio/rotary-ratio-drawing.so"
expect_refusal "another version's module" "the drawing module .* belongs to another version"
cp "$(ldd "$tool" | awk '/libdxflib/ { print $3 }')" "$dir/lib/rotary-ratio/rotary-ratio-drawing.so"
expect_refusal "another library" "the drawing module .* is not this program's"
cp "$module" "$dir/lib/rotary-ratio/rotary-ratio-drawing.so"
"$dir/bin/rotary-ratio" --figure "$dir/bin/f.svg" >/dev/null || fail "the module in its place"

[ "$failures" = 0 ] && echo "all start checks passed"
exit $((failures > 0))
