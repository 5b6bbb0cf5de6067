#!/usr/bin/env bash
# What a user installs, checked as installed: the desktop entry and the metadata validated, an
# install into a temporary prefix with every file in place and the programs and the manual page
# working, and the Debian package with its files, its dependencies and its programs.
# Usage: check_install.sh SOURCE_DIR BUILD_DIR WORK_DIR
set -u
source=$1 build=$2 work=$3
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
rm -rf "$work"
mkdir -p "$work"
id=org.quorin.RotaryRatio

desktop-file-validate "$source/packaging/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$source/packaging/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate"; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for file in bin/rotary-window bin/rotary-ratio share/applications/$id.desktop \
  share/icons/hicolor/scalable/apps/$id.svg share/metainfo/$id.metainfo.xml \
  share/man/man1/rotary-ratio.1; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
expected=$'chamber capacity: 652.4\ndead volume: 37.33\ncompression ratio: 18.47'
[ "$("$prefix/bin/rotary-ratio")" = "$expected" ] || fail "the installed rotary-ratio's results"
# The figure comes from the drawing module, which the program finds beside it once installed.
draws_figure() { # PROGRAM WHAT
  "$1" --figure "$work/figure.svg" >/dev/null 2>"$work/figure.log" &&
    grep -q "<svg" "$work/figure.svg" || { cat "$work/figure.log"; fail "$2 draws no figure"; }
  rm -f "$work/figure.svg"
}
draws_figure "$prefix/bin/rotary-ratio" "the installed rotary-ratio"
"$prefix/bin/rotary-ratio" --version | grep -qx "rotary-ratio [0-9.]*" || fail "rotary-ratio --version"
"$prefix/bin/rotary-window" --version | grep -qx "rotary-window [0-9.]*" || fail "rotary-window --version"
"$prefix/bin/rotary-window" --help | grep -q "^Usage: rotary-window" || fail "rotary-window --help"
page=$(MANWIDTH=80 man -l "$prefix/share/man/man1/rotary-ratio.1" 2>/dev/null | col -b)
# Each example stands apart: four command lines, not one paragraph.
examples=$(sed -n '/^EXAMPLES/,/^[A-Z]/p' <<<"$page" | grep -cE "^[[:space:]]+rotary-ratio ")
[ "$examples" -ge 4 ] || fail "the manual page's examples run together ($examples apart)"
# man justifies its lines, so a space between words may come out as two.
for words in "rotary-ratio" "--eccentricity" "--chart" "START:STOP:STEP" "--method" "--units" \
  "--figure-format" "do not change the real engine's figures"; do
  grep -qE -- "${words// / +}" <<<"$page" || fail "the manual page lacks $words"
done
# Its sections as a reader looks them up, the exit status with one entry per status.
for section in "EXIT STATUS" FILES "SEE ALSO"; do
  grep -qx "$section" <<<"$page" || fail "the manual page has no $section"
done
statuses=$(sed -n '/^EXIT STATUS/,/^[A-Z]/p' <<<"$page" | grep -cE "^ +[012] +[a-z]")
[ "$statuses" = 3 ] || fail "the manual page's exit status lists $statuses statuses, not 3"
[ -s "$prefix/share/doc/rotary-ratio/method.md" ] || fail "method.md is not installed"
# The Python module, from the site-packages the prefix gives this Python, with no other step.
imports_module() { # WHAT [PYTHONPATH]
  PYTHONPATH=${2:-} /usr/bin/python3 -c "import rotary_ratio, sys
r = rotary_ratio.exact_limit(15, 105, 80)
sys.exit(0 if abs(r.compression_ratio - 18.2857059) < 1e-6 and '${2:-/usr}' in rotary_ratio.__file__ else 1)" ||
    fail "$1 does not import rotary_ratio"
}
imports_module "the prefix install" "$prefix/lib/python3.11/site-packages"

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  fail "no package"
else
  contents=$(dpkg-deb -c "$deb")
  for file in usr/bin/rotary-window usr/bin/rotary-ratio usr/share/applications/$id.desktop \
    usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/metainfo/$id.metainfo.xml \
    usr/share/man/man1/rotary-ratio.1 usr/lib/rotary-ratio/rotary-ratio-drawing.so \
    usr/lib/rotary-ratio/rotary-ratio-solids.so \
    usr/lib/python3/dist-packages/rotary_ratio/__init__.py; do
    grep -q "\./$file" <<<"$contents" || fail "the package lacks $file"
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  for package in libqt6widgets6 libqt6svg6 libqt6charts6 qt6-qpa-plugins fonts-liberation \
    python3-numpy "python3 (>= 3.11)"; do
    grep -q "$package" <<<"$depends" || fail "the package does not depend on $package: $depends"
  done
  dpkg-deb -x "$deb" "$work/extracted"
  [ "$("$work/extracted/usr/bin/rotary-ratio" --eccentricity 10 --rotor-radius 100 \
    --chamber-width 60)" = $'chamber capacity: 310.5\ndead volume: 12.6\ncompression ratio: 25.63' ] ||
    fail "the packaged rotary-ratio's results"
  draws_figure "$work/extracted/usr/bin/rotary-ratio" "the packaged rotary-ratio"
  "$work/extracted/usr/bin/rotary-window" --version >/dev/null || fail "the packaged rotary-window"
  imports_module "the extracted package" "$work/extracted/usr/lib/python3/dist-packages"
  echo "package $(basename "$deb"), Depends: $depends"

  # Installed for real through apt and removed again, where the machine lets us and no
  # rotary-ratio package of the user's own is in the way.
  # (A package removed before leaves its name behind in dpkg's records; only an installed one
  # is in the way.)
  if [ "$(id -u)" -eq 0 ] &&
    ! dpkg-query -W -f='${Status}' rotary-ratio 2>/dev/null | grep -q " installed$"; then
    export DEBIAN_FRONTEND=noninteractive
    if apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1; then
      [ "$(/usr/bin/rotary-ratio)" = "$expected" ] || fail "the apt-installed rotary-ratio"
      draws_figure /usr/bin/rotary-ratio "the apt-installed rotary-ratio"
      [ -f /usr/share/applications/$id.desktop ] || fail "the apt-installed desktop entry"
      (cd / && imports_module "the apt-installed package")
      apt-get remove -y -qq rotary-ratio >>"$work/apt.log" 2>&1 || fail "apt remove"
      left=$(ls /usr/bin/rotary-ratio /usr/bin/rotary-window /usr/share/applications/$id.desktop \
        /usr/share/man/man1/rotary-ratio.1 /usr/lib/rotary-ratio \
        /usr/lib/python3/dist-packages/rotary_ratio 2>/dev/null)
      [ -z "$left" ] || fail "apt remove left $left"
      echo "installed with apt and removed again"
    else
      cat "$work/apt.log"
      fail "apt install"
    fi
  fi
fi
exit $((failures > 0))
