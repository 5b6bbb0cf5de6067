#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config          # the build
  qt6-base-dev libgl-dev                    # the window (Qt 6 Widgets)
  fonts-liberation                          # Liberation Sans, the stand-in for MS Sans Serif
  libgtest-dev libgmock-dev                 # GoogleTest
  libbenchmark-dev                          # Google Benchmark
  clang libclang-rt-14-dev                  # the sanitizer build and the fuzzer (libFuzzer)
  xvfb xauth xdotool imagemagick            # the end-to-end test: a real window under Xvfb
  qt6-svg-dev qt6-charts-dev libqt6opengl6-dev  # the companion's figures (SVG) and charts
  libdxflib-dev                             # the companion's DXF export
  libboost-math-dev                         # Boost.Math quadrature for the shape's exact figures
  nlohmann-json3-dev                        # the companion's JSON
  python3-ezdxf                             # the tests read the DXF back with an independent reader
  python3-numpy                             # ... and measure it (distances between outlines)
  python3-pil                               # the tests look at the PNG figures' pixels
  python3-shapely                           # ... and measure the chamber's outline as a polygon
  help2man man-db                           # the companion's manual page, made and rendered
  desktop-file-utils appstream              # the desktop entry and the metadata, validated
  dpkg-dev file                             # the Debian package (cpack, dpkg-shlibdeps)
  pybind11-dev python3-pybind11 python3-dev # the Python module
  python3-pytest mypy                       # ... and its tests, and its type hints checked
  python3-matplotlib                        # the README's Python figure (scripts/docs-figures)
  libocct-modeling-algorithms-dev libocct-modeling-data-dev libocct-data-exchange-dev
  libocct-ocaf-dev libocct-foundation-dev libtbb-dev  # the solids (OpenCASCADE), STEP and STL
  python3-stl python3-scipy                 # the tests measure the STL and evaluate the STEP's curves
  python3-gmsh                              # the tests read the STEP back with gmsh's OpenCASCADE
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
