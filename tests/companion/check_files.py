#!/usr/bin/python3
"""Makes the companion's files for the default engine and opens them as their users would: the
DXF with ezdxf, the SVG figure and chart with an XML parser, the PNG and PDF by their headers."""
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

import ezdxf

tool, folder = sys.argv[1], sys.argv[2]
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
path = lambda name: os.path.join(folder, name)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args):
    done = subprocess.run([tool, *args], capture_output=True, text=True)
    check(done.returncode == 0, f"{args}: status {done.returncode}: {done.stderr}")
    return done.stdout


run("--figure", path("figure.svg"), "--dxf", path("engine.dxf"))
run("--figure", path("figure.pdf"))
run("--figure", path("figure.png"))
run("--eccentricity", "10:20:2", "--rotor-radius", "100:110:10", "--chart", path("chart.svg"))

# The DXF: two closed polylines at true scale, the housing on HOUSING, the rotor on ROTOR.
document = ezdxf.readfile(path("engine.dxf"))
entities = list(document.modelspace())
by_layer = {entity.dxf.layer: entity for entity in entities}
check(len(entities) == 2 and set(by_layer) == {"HOUSING", "ROTOR"},
      f"DXF entities {[(e.dxftype(), e.dxf.layer) for e in entities]}")
for layer, entity in by_layer.items():
    check(entity.dxftype() == "LWPOLYLINE" and entity.closed, f"{layer} is no closed polyline")
housing = [(x, y) for x, y, *_ in by_layer["HOUSING"].get_points()]
rotor = [(x, y) for x, y, *_ in by_layer["ROTOR"].get_points()]
# e = 15, R = 105: the lobes of the housing reach R + e = 120 across, its waist lies at
# y = 2e - R = -75 under the rotor centre; the rotor's apexes lie R = 105 from its centre.
check(abs(max(x for x, _ in housing) - 120) < 0.01, "housing width")
waist = min((abs(x), y) for x, y in housing if y < 0)
check(waist[0] < 1e-6 and abs(waist[1] - (-75)) < 0.01, f"housing waist at {waist}")
apex = max(math.hypot(x, y) for x, y in rotor)
check(abs(apex - 105) < 0.5, f"rotor apex at {apex}")
check(len(rotor) > 2000 and len(housing) > 1000, "too few vertices")

# The SVG figure: true scale in millimetres, with the rotor and the housing as long paths.
root = ET.parse(path("figure.svg")).getroot()
check(root.tag.endswith("svg"), "SVG root")
width = float(re.match(r"([\d.]+)mm", root.get("width")).group(1))
check(abs(width - 260) < 1, f"SVG width {width} mm, expected the housing's 240 mm and margins")
long_lines = 0
for element in root.iter():
    points = element.get("points") or element.get("d") or ""
    long_lines += len(re.findall(r"-?\d+(?:\.\d+)?", points)) > 2000
check(long_lines >= 2, f"{long_lines} long paths in the SVG")

chart = ET.parse(path("chart.svg")).getroot()
texts = " ".join("".join(element.itertext()) for element in chart.iter())
for words in ("trochoid ratio K = R / e", "compression ratio", "R = 100", "R = 110",
              "exact limit", "exact capacity"):
    check(words in texts, f"chart lacks {words!r}")

# A study as a script reads it: CSV by the csv module, JSON by the json module. The exact
# columns stand beside the sweep's and do not depend on the step count; a shape without exact
# figures has them empty (null), and a note stays one field.
import csv
import io
import json

study = list(csv.DictReader(io.StringIO(run("--eccentricity", "0:35:5", "--steps", "100:104:4"))))
check(len(study) == 16, f"{len(study)} study rows")
check(all(len(row) == 12 and None not in row for row in study), "a CSV row with stray fields")
by_engine = {(row["eccentricity"], row["steps"]): row for row in study}
defaults, at104 = by_engine[("15", "100")], by_engine[("15", "104")]
check(defaults["exact_compression_ratio"] == "18.2857059" and
      defaults["exact_chamber_capacity"] == "654.715205", f"exact columns {defaults}")
check(at104["exact_dead_volume"] == defaults["exact_dead_volume"], "exact figures vary with N")
check(by_engine[("0", "100")]["exact_chamber_capacity"] == "", "exact figures at e = 0")
check(by_engine[("35", "100")]["note"].startswith("Note: the rotor radius"), "the e = 35 note")
objects = json.loads(run("--eccentricity", "0:15:15", "--format", "json"))
check(objects[0]["exact_compression_ratio"] is None and objects[0]["compression_ratio"] is None,
      f"JSON of e = 0: {objects[0]}")
check(abs(objects[1]["exact_compression_ratio"] - 18.2857059) < 1e-7, f"JSON {objects[1]}")

with open(path("figure.png"), "rb") as png:
    header = png.read(24)
check(header[:8] == b"\x89PNG\r\n\x1a\n", "PNG signature")
check(struct.unpack(">I", header[16:20])[0] == 1600, "PNG width")
with open(path("figure.pdf"), "rb") as pdf:
    content = pdf.read()
check(content.startswith(b"%PDF"), "PDF signature")
box = re.search(rb"/MediaBox \[\s*0 0 ([\d.]+) ([\d.]+)\s*\]", content)
check(box and abs(float(box.group(1)) - 260 * 72 / 25.4) < 3, f"PDF page {box and box.group(0)}")

leftovers = [name for name in os.listdir(folder) if name.startswith(".")]
check(not leftovers, f"temporary files left: {leftovers}")
for failure in failures:
    print("FAILED:", failure)
print(f"{len(failures)} failures; DXF housing {len(housing)} and rotor {len(rotor)} vertices")
sys.exit(1 if failures else 0)
