#!/usr/bin/env bash
# The companion's files as the system holds them: device nodes written through and left devices,
# links followed and left links, read-only files refused, permissions kept, a full disk and a full
# standard output reported with exit status 2 and the old file kept, signals that leave no
# temporary file and keep the rows a study had written.
# Usage: check_writes.sh TOOL FOLDER
set -u
tool=$1 dir=$2
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

[ "$failures" = 0 ] && echo "files, devices, links, full disks and signals as they should be"
exit $((failures > 0))
