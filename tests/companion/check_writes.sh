#!/usr/bin/env bash
# The companion's files as the system holds them: device nodes written through and left devices,
# links followed and left links, read-only files refused, permissions kept, a full disk and a full
# standard output reported with exit status 2 and the old file kept, signals that leave no
# temporary file and keep the rows a study had written.
# Usage: check_writes.sh TOOL FOLDER [FAILING_IO_SHIM]
set -u
tool=$1 dir=$2 shim=${3:-}
rm -rf "$dir" && mkdir -p "$dir"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_status() {  # STATUS WHAT COMMAND...
  local want=$1 what=$2
  shift 2
  "$@" >"$dir/out" 2>"$dir/err"
  local got=$?
  [ "$got" = "$want" ] || fail "$what: status $got, not $want ($(cat "$dir/err"))"
}
leftovers() { find "$dir" -name '.*.XXXXXX' -o -name '.*.svg.*' -o -name '.*.csv.*' -o -name '.*.dxf.*' | grep -q .; }

# Device nodes of our own (never the system's /dev): written through, still devices.
if mknod "$dir/null" c 1 3 2>/dev/null && mknod "$dir/full" c 1 7 2>/dev/null &&
  mknod "$dir/full.svg" c 1 7 2>/dev/null; then
  expect_status 0 "profiles into a null device" "$tool" --profiles "$dir/null"
  [ -c "$dir/null" ] || fail "the null device was replaced"
  expect_status 2 "figure into a full device" "$tool" --figure "$dir/full.svg"
  expect_status 2 "profiles into a full device" "$tool" --profiles "$dir/full"
  grep -q "No space left on device" "$dir/err" || fail "no reason for the full device: $(cat "$dir/err")"
  [ "$(wc -l <"$dir/err")" = 1 ] || fail "more than one line for the full device"
  [ -c "$dir/full" ] && [ -c "$dir/full.svg" ] || fail "a full device was replaced"
else
  echo "skipped: device nodes need root (mknod)"
fi

# A link is followed: the target replaced, the link still a link, the target's mode kept.
echo old >"$dir/target.svg"
chmod 600 "$dir/target.svg"
ln -s target.svg "$dir/link.svg"
expect_status 0 "figure through a link" "$tool" --figure "$dir/link.svg"
[ -L "$dir/link.svg" ] || fail "the link was replaced by a file"
grep -q "<svg" "$dir/target.svg" || fail "the link's target was not written"
[ "$(stat -c %a "$dir/target.svg")" = 600 ] || fail "the target lost its mode"

# A read-only file is refused and left as it was.
echo keep >"$dir/readonly.dxf"
chmod 444 "$dir/readonly.dxf"
expect_status 2 "a read-only file" "$tool" --dxf "$dir/readonly.dxf"
grep -q "read-only" "$dir/err" || fail "no word of read-only: $(cat "$dir/err")"
[ "$(cat "$dir/readonly.dxf")" = keep ] || fail "the read-only file was changed"

# Standard output into a full device.
if [ -c "$dir/full" ]; then
  "$tool" >"$dir/full" 2>"$dir/err"
  [ $? = 2 ] || fail "standard output into a full device did not fail"
  grep -q "standard output: No space left on device" "$dir/err" || fail "$(cat "$dir/err")"
  "$tool" --eccentricity 5:35:0.1 >"$dir/full" 2>"$dir/err"
  [ $? = 2 ] || fail "a study into a full device did not fail"
  grep -q "standard output: No space left on device" "$dir/err" ||
    fail "a study into a full device did not say why: $(cat "$dir/err")"
fi

# A full disk: a small tmpfs of our own, as root.
small="$dir/small"
mkdir -p "$small"
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=48k tmpfs "$small" 2>/dev/null; then
  echo old >"$small/f.svg"
  expect_status 2 "a figure onto a full disk" "$tool" --figure "$small/f.svg"
  grep -q "No space left on device" "$dir/err" || fail "no reason for the full disk: $(cat "$dir/err")"
  [ "$(cat "$small/f.svg")" = old ] || fail "the old figure was lost on a full disk"
  expect_status 2 "a chart onto a full disk" "$tool" --eccentricity 5:35:0.5 --chart "$small/c.svg"
  [ -e "$small/c.svg" ] && fail "a chart appeared on a full disk"
  head -c 40000 /dev/zero >"$small/filler"
  "$tool" --eccentricity 5:35:0.01 >"$small/study.csv" 2>"$dir/err"
  [ $? = 2 ] || fail "a study onto a full disk did not fail"
  ls -A "$small" | grep -q '^\.' && fail "temporary files left on the full disk: $(ls -A "$small")"
  umount "$small"
else
  echo "skipped: the full disk needs root to mount a small tmpfs"
fi

# In place on a full disk: a file its owner may write in a folder he may not, so it cannot be
# replaced whole. The room for the new content is reserved before a byte changes, and a disk
# without it keeps the old file as it was. The owner is "nobody", as root bypasses the folder's
# mode.
inplace="$dir/inplace"
mkdir -p "$inplace"
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=256k tmpfs "$inplace" 2>/dev/null; then
  mkdir "$inplace/locked"
  printf 'old drawing\n' >"$inplace/locked/engine.dxf"
  chown nobody "$inplace/locked/engine.dxf"
  chmod 555 "$inplace/locked"
  head -c 200000 /dev/zero >"$inplace/filler" 2>/dev/null
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$tool" --dxf "$inplace/locked/engine.dxf" \
    >"$dir/out" 2>"$dir/err"
  [ $? = 2 ] || fail "an in-place DXF onto a full disk did not fail: $(cat "$dir/err")"
  grep -q "No space left on device" "$dir/err" || fail "in place, full disk: $(cat "$dir/err")"
  [ "$(cat "$inplace/locked/engine.dxf")" = "old drawing" ] ||
    fail "in place on a full disk, the old file was lost: $(wc -c <"$inplace/locked/engine.dxf") bytes"
  # With room, the file is written in place, whole, and no longer than its content: an old file
  # longer than the new one keeps none of its bytes past the new end.
  rm "$inplace/filler"
  chmod 755 "$inplace/locked"
  head -c 180000 /dev/zero | tr '\0' 'x' >"$inplace/locked/engine.dxf"
  chmod 555 "$inplace/locked"
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$tool" --dxf "$inplace/locked/engine.dxf" \
    >"$dir/out" 2>"$dir/err" || fail "in place with room: $(cat "$dir/err")"
  "$tool" --dxf - >"$dir/expected.dxf"
  cmp -s "$dir/expected.dxf" "$inplace/locked/engine.dxf" ||
    fail "the in-place DXF is not whole: $(wc -c <"$inplace/locked/engine.dxf") bytes"
  # A new file in a folder its user may not write cannot be made in place: refused, with why.
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$tool" --dxf "$inplace/locked/new.dxf" \
    >"$dir/out" 2>"$dir/err"
  [ $? = 2 ] && grep -q "Permission denied" "$dir/err" ||
    fail "a new file in a folder nobody may write: $(cat "$dir/err")"
  [ -e "$inplace/locked/new.dxf" ] && fail "a new file appeared in a folder nobody may write"
  umount "$inplace"
else
  echo "skipped: the in-place write on a full disk needs root to mount a small tmpfs"
fi

# Two outputs into one file, and an output into the file standard output goes to, are refused
# before anything is written: the file keeps what it had.
same="$dir/same"
mkdir -p "$same"
printf 'kept\n' >"$same/x.dxf"
ln -sf x.dxf "$same/link.dxf"
ln -f "$same/x.dxf" "$same/hard.dxf"
printf 'kept\n' >"$same/a.svg"
for args in "--profiles $same/x.dxf --dxf $same/x.dxf" "--profiles $same/a.svg --figure $same/a.svg" \
  "--profiles $same/./x.dxf --dxf $same/x.dxf" "--profiles $same/link.dxf --dxf $same/x.dxf" \
  "--profiles $same/hard.dxf --dxf $same/x.dxf" "--profiles $same/new.dxf --dxf $same/../same/new.dxf"; do
  # shellcheck disable=SC2086
  expect_status 2 "the same file twice: $args" "$tool" $args
  grep -q "writes too" "$dir/err" || fail "the same file twice, $args: $(cat "$dir/err")"
done
[ "$(cat "$same/x.dxf")" = kept ] && [ "$(cat "$same/a.svg")" = kept ] || fail "a refused file changed"
[ -e "$same/new.dxf" ] && fail "a refused new file appeared"
printf 'rows\n' >"$same/s.csv"
"$tool" --profiles "$same/s.csv" --format csv >>"$same/s.csv" 2>"$dir/err"
[ $? = 2 ] && grep -q "standard output is written to" "$dir/err" ||
  fail "profiles into standard output's file: $(cat "$dir/err")"
[ "$(cat "$same/s.csv")" = rows ] || fail "standard output's file was overwritten"
# A device is never the same file: two outputs into one null device are fine.
if mknod "$same/null.dxf" c 1 3 2>/dev/null; then
  expect_status 0 "two outputs into a null device" "$tool" --profiles "$same/null.dxf" --dxf "$same/null.dxf"
fi
expect_status 2 "two outputs onto standard output" "$tool" --profiles - --dxf -
expect_status 2 "profiles and JSON both on standard output" "$tool" --profiles - --format json

# Standard output that cannot take the profiles says why.
if [ -c "$dir/full" ]; then
  "$tool" --profiles - >"$dir/full" 2>"$dir/err"
  [ $? = 2 ] && grep -q "standard output: No space left on device" "$dir/err" ||
    fail "profiles onto a full standard output: $(cat "$dir/err")"
fi

# Several outputs of one run are written as one: a late output whose name cannot be made, a full
# disk under one of them, or a full standard output leaves none of the others and keeps every old
# file; the name is refused before anything is computed, with the system's reason.
whole="$dir/whole"
mkdir -p "$whole"
long=$(printf 'x%.0s' $(seq 1 300))
expect_status 2 "profiles with a curve of a name too long" \
  "$tool" --profiles "$whole/p.csv" --volume-curve "$whole/$long"
grep -q "volume-curve: .*File name too long" "$dir/err" || fail "a name too long: $(cat "$dir/err")"
[ -e "$whole/p.csv" ] && fail "the profiles stayed after the curve's name was refused"
expect_status 2 "a figure with a DXF of a name too long" \
  "$tool" --figure "$whole/ok.svg" --dxf "$whole/$long.dxf"
[ -e "$whole/ok.svg" ] && fail "the figure stayed after the DXF's name was refused"
if [ -c "$dir/full" ]; then
  printf 'old drawing\n' >"$whole/x.dxf"
  "$tool" --dxf "$whole/x.dxf" --profiles "$whole/p.csv" >"$dir/full" 2>"$dir/err"
  [ $? = 2 ] && grep -q "standard output: No space left on device" "$dir/err" ||
    fail "files with a full standard output: $(cat "$dir/err")"
  [ "$(cat "$whole/x.dxf")" = "old drawing" ] || fail "a full standard output replaced the DXF"
  [ -e "$whole/p.csv" ] && fail "a full standard output left the profiles"
fi
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=48k tmpfs "$small" 2>/dev/null; then
  head -c 40000 /dev/zero >"$small/filler"
  expect_status 2 "two files and a DXF onto a full disk" "$tool" --profiles "$whole/p.csv" \
    --figure "$whole/f.png" --dxf "$small/x.dxf"
  grep -q "dxf: .*No space left on device" "$dir/err" || fail "the full disk: $(cat "$dir/err")"
  [ -e "$whole/p.csv" ] || [ -e "$whole/f.png" ] && fail "a full disk under the DXF left the others"
  umount "$small"
fi
ls -A "$whole" | grep -q '^\.' && fail "temporary files left: $(ls -A "$whole")"

# The program's own descriptors are written through, as devices and pipes are, with the offset
# and mode the shell gave them; a device takes any format.
expect_status 0 "profiles onto standard error" "$tool" --profiles /dev/stderr
grep -q "^i,s,envelope" "$dir/err" || fail "the profiles did not reach standard error"
printf 'log\n' >"$whole/log"
"$tool" --profiles /dev/stderr 2>>"$whole/log" >/dev/null || fail "profiles appended to a log"
[ "$(head -n 1 "$whole/log")" = log ] && grep -q "^i,s,envelope" "$whole/log" ||
  fail "the log that standard error appends to was written over"
"$tool" --profiles /dev/fd/3 3>"$whole/three.csv" >/dev/null 2>"$dir/err" ||
  fail "profiles into descriptor 3: $(cat "$dir/err")"
grep -q "^i,s,envelope" "$whole/three.csv" || fail "descriptor 3 did not get the profiles"
"$tool" --profiles >(gzip >"$whole/p.gz") >/dev/null 2>"$dir/err" ||
  fail "profiles into a process substitution: $(cat "$dir/err")"
for _ in $(seq 1 50); do
  zcat "$whole/p.gz" 2>/dev/null | grep -q "^800," && break
  sleep 0.1
done
zcat "$whole/p.gz" | grep -q "^800," || fail "the process substitution did not get the profiles"
expect_status 0 "a DXF into /dev/null" "$tool" --dxf /dev/null
expect_status 2 "a closed descriptor" "$tool" --profiles /dev/fd/9
grep -q "Bad file descriptor" "$dir/err" || fail "a closed descriptor: $(cat "$dir/err")"

# The DXF is drawn in memory, whatever $TMPDIR holds.
TMPDIR="$whole/no such folder" "$tool" --dxf "$whole/t.dxf" >/dev/null 2>"$dir/err" ||
  fail "a DXF without a usable TMPDIR: $(cat "$dir/err")"
grep -q "^EOF" "$whole/t.dxf" || fail "the DXF without a usable TMPDIR is not whole"

# --help and --version are output too.
if [ -c "$dir/full" ]; then
  for option in --help --version; do
    "$tool" "$option" >"$dir/full" 2>"$dir/err"
    [ $? = 2 ] && grep -q "standard output: No space left on device" "$dir/err" ||
      fail "$option onto a full device: $(cat "$dir/err")"
  done
fi

# fsync or close of the temporary file failing, as a failing disk makes them: the reason, exit
# status 2, and neither the file nor a temporary one left.
if [ -n "$shim" ]; then
  for call in FSYNC CLOSE; do
    env "FAIL_$call=1" LD_PRELOAD="$shim" ASAN_OPTIONS=verify_asan_link_order=0 \
      "$tool" --dxf "$dir/failing.dxf" >"$dir/out" 2>"$dir/err"
    [ $? = 2 ] || fail "a failing $call: status not 2"
    grep -q "Input/output error" "$dir/err" || fail "a failing $call: $(cat "$dir/err")"
    [ -e "$dir/failing.dxf" ] && fail "a failing $call left the file"
    leftovers && fail "a failing $call left a temporary file: $(ls -A "$dir")"
  done
fi

# Signals: the study ends with the usual status, the rows it had written stay, in order, and no
# temporary file is left. At 20,000 steps a row takes about half a second: each must reach the
# file as soon as it is done, not when a buffer fills.
for signal in TERM INT; do
  rm -f "$dir/study.csv"
  (trap - INT; exec "$tool" --eccentricity 5:35:0.01 --steps 20000 --chart "$dir/c.svg" \
    >"$dir/study.csv" 2>/dev/null) &
  pid=$!
  for _ in $(seq 1 600); do
    seen=$(wc -l <"$dir/study.csv")
    [ "$seen" -ge 3 ] && break
    sleep 0.1
  done
  # Rows arrive one by one, not a buffer's worth at a time.
  [ "$seen" -le 10 ] || fail "SIG$signal: the first rows came $seen lines at once"
  kill -"$signal" "$pid"
  wait "$pid"
  status=$?
  want=$([ $signal = TERM ] && echo 143 || echo 130)
  [ "$status" = "$want" ] || fail "SIG$signal ended the study with $status, not $want"
  rows=$(($(wc -l <"$dir/study.csv") - 1))
  [ "$rows" -ge 2 ] && [ "$rows" -lt 3001 ] || fail "SIG$signal: $rows rows kept"
  sed -n 2,3p "$dir/study.csv" | cut -d, -f1 | tr '\n' ' ' | grep -q "^5 5.01 " ||
    fail "SIG$signal: the rows kept are not the first ones in order"
  [ -e "$dir/c.svg" ] && fail "SIG$signal: a chart of an unfinished study"
  leftovers && fail "SIG$signal: temporary files left: $(ls -A "$dir")"
done

# Ctrl-C during a study on a terminal clears the progress line before the program ends, so the
# shell's prompt does not land after "rotary-ratio: 6 of 3001 engines".
if command -v script >/dev/null; then
  script -qec "timeout -s INT 2.5 '$tool' --eccentricity 5:35:0.01 --steps 20000 >/dev/null" \
    "$dir/typescript" >/dev/null 2>&1
  grep -q "engines" "$dir/typescript" || fail "no progress line on the terminal"
  /usr/bin/python3 - "$dir/typescript" <<'PYTHON' || fail "Ctrl-C left the progress line standing"
import sys
seen = open(sys.argv[1], "rb").read()
last = seen.rfind(b" engines")
sys.exit(0 if last >= 0 and seen[last:].startswith(b" engines\r\x1b[K") else 1)
PYTHON
fi

[ "$failures" = 0 ] && echo "files, devices, links, full disks and signals as they should be"
exit $((failures > 0))
