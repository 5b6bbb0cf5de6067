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
from ezdxf import recover

tool, folder = sys.argv[1], sys.argv[2]
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
path = lambda name: os.path.join(folder, name)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def audited(name):
    """The DXF as a CAD program reads it: nothing to repair on reading or in the audit after."""
    document, reading = recover.readfile(path(name))
    audit = document.audit()
    for what, found in (("reading", reading), ("audit", audit)):
        problems = [f.message for f in found.fixes] + [e.message for e in found.errors]
        check(not problems, f"{name}: {len(problems)} repairs in the {what}: {problems[:3]}")
    # Every pointer to another object (owner, style, entry) names an object the file defines.
    lines = open(path(name)).read().split("\n")
    pairs = [(lines[i].strip(), lines[i + 1].strip()) for i in range(0, len(lines) - 1, 2)]
    defined = {value.upper() for code, value in pairs if code in ("5", "105")}
    dangling = [(code, value) for code, value in pairs
                if code in ("330", "340", "350", "360") and value != "0" and value.upper() not in defined]
    check(not dangling, f"{name}: pointers to no object: {dangling[:3]}")
    return document


def run(*args):
    done = subprocess.run([tool, *args], capture_output=True, text=True)
    check(done.returncode == 0, f"{args}: status {done.returncode}: {done.stderr}")
    return done.stdout


run("--figure", path("figure.svg"), "--dxf", path("engine.dxf"))
run("--figure", path("figure.pdf"))
run("--figure", path("figure.png"))
run("--eccentricity", "10:20:2", "--rotor-radius", "100:110:10", "--chart", path("chart.svg"))

# The DXF of the bare shape: the bore (here the trochoid itself) and the largest rotor as closed
# polylines, the gears as circles, the centre marks as lines; millimetres, the crank axis at the
# origin, the rotor at top dead centre with its centre at (0, -e).
document = audited("engine.dxf")
check(document.header.get("$INSUNITS") == 4, "DXF units are not millimetres")
entities = list(document.modelspace())
layers = {}
for entity in entities:
    layers.setdefault(entity.dxf.layer, []).append(entity)
check(set(layers) == {"HOUSING", "ROTOR", "GEARS", "CENTRES", "FRAME"}, f"DXF layers {sorted(layers)}")
# The frame ports are drawn in: the dead centres outside the bore on their axes, and the arrow of
# the rotation ending counterclockwise, its head where the arc ends.
frame = layers["FRAME"]
texts = {entity.dxf.text: entity.dxf.align_point if entity.dxf.halign else entity.dxf.insert
         for entity in frame if entity.dxftype() == "TEXT"}
placed = {"TDC 0 / 1080": lambda x, y: abs(x) < 1e-9 and y < -90,
          "BDC 270": lambda x, y: x > 120 and abs(y) < 1e-9,
          "TDC 540": lambda x, y: abs(x) < 1e-9 and y > 90,
          "BDC 810": lambda x, y: x < -120 and abs(y) < 1e-9}
for words, where in placed.items():
    check(words in texts and where(texts[words][0], texts[words][1]),
          f"{words!r} at {texts.get(words)}")
arcs = [entity for entity in frame if entity.dxftype() == "ARC"]
check(len(arcs) == 1 and arcs[0].dxf.start_angle < arcs[0].dxf.end_angle, "no rotation arc")
end = math.radians(arcs[0].dxf.end_angle)
tip = (arcs[0].dxf.radius * math.cos(end), arcs[0].dxf.radius * math.sin(end))
heads = [entity for entity in frame if entity.dxftype() == "LINE"
         and math.dist(tuple(entity.dxf.start)[:2], tip) < 1e-9]
check(len(heads) == 2, f"the arrow's head is not at the arc's counterclockwise end {tip}")
check(any("counterclockwise" in words for words in texts), "the rotation is not named")
for layer in ("HOUSING", "ROTOR"):
    entity = layers[layer][0]
    check(entity.dxftype() == "LWPOLYLINE" and entity.closed, f"{layer} is no closed polyline")
housing = [(x, y) for x, y, *_ in layers["HOUSING"][0].get_points()]
rotor = [(x, y) for x, y, *_ in layers["ROTOR"][0].get_points()]
# e = 15, R = 105: the lobes reach R + e = 120 across, the waist lies R - e = 90 below the crank
# axis; the rotor's apexes lie R from its centre at (0, -15).
check(abs(max(x for x, _ in housing) - 120) < 0.01, "housing width")
waist = min((abs(x), y) for x, y in housing if y < 0)
check(waist[0] < 0.05 and abs(waist[1] + 90) < 0.01, f"housing waist at {waist}")
apex = max(math.hypot(x, y + 15) for x, y in rotor)
check(abs(apex - 105) < 0.001, f"rotor apex at {apex}")
gears = sorted((c.dxf.radius, tuple(c.dxf.center)[:2]) for c in layers["GEARS"])
check(gears == [(30, (0, 0)), (45, (0, -15))], f"gears {gears}")
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

# The gears and the direction of y: the rotor's gear (3e = 45) round the rotor centre, the
# housing's (2e = 30) round the crank axis e = 15 above it on paper, as y grows upwards, and the
# top-dead-centre profile of the flank below the rotor centre.
circles = {float(c.get("r")): (float(c.get("cx")), float(c.get("cy")))
           for c in root.iter() if c.tag.endswith("circle")}
check(45 in circles and 30 in circles, f"gear circles {circles}")
if 45 in circles and 30 in circles:
    (x45, y45), (x30, y30) = circles[45], circles[30]
    check(abs(x45 - x30) < 1e-6 and abs((y30 - y45) + 15) < 1e-6,
          f"the housing gear at {circles[30]} against the rotor gear at {circles[45]}")
red = [g for g in root.iter() if g.get("stroke") == "#dc0000"]
red_y = [float(p.split(",")[1]) for g in red for line in g.iter() if line.tag.endswith("polyline")
         for p in line.get("points").split()]
check(red_y and min(red_y) > 0, "the top-dead-centre profile is not below the rotor centre")

chart = ET.parse(path("chart.svg")).getroot()
texts = " ".join("".join(element.itertext()) for element in chart.iter())
for words in ("trochoid ratio K = R / e", "compression ratio", "R = 100", "R = 110",
              "exact limit", "Chamber capacity against K", "Dead volume against K", "volume, cm^3"):
    check(words in texts, f"chart lacks {words!r}")

# The real engine's DXF: with a seal offset of 2 and a clearance of 0.1 the rotor stands 0.1 inside
# the bore wherever it comes closest, within the 0.001 mm of the chords.
import numpy

run("--seal-offset", "2", "--clearance", "0.1", "--dxf", path("real.dxf"))
document = audited("real.dxf")
layers = {entity.dxf.layer: entity for entity in document.modelspace()
          if entity.dxftype() == "LWPOLYLINE"}
check(set(layers) == {"HOUSING", "TROCHOID", "ROTOR", "ROTOR_LIMIT"}, f"real DXF {sorted(layers)}")
check(all(entity.closed for entity in layers.values()), "an open outline in the real DXF")
outline = {name: numpy.array([(x, y) for x, y, *_ in entity.get_points()])
           for name, entity in layers.items()}


def distance(points, line):
    """The smallest distance from the points to the closed polyline's segments."""
    a, b = line, numpy.roll(line, -1, axis=0)
    d = b - a
    smallest = numpy.inf
    for chunk in numpy.array_split(points, max(1, len(points) // 200)):
        p = chunk[:, None, :]
        t = numpy.clip(((p - a) * d).sum(-1) / (d * d).sum(-1), 0, 1)
        nearest = a + t[..., None] * d
        smallest = min(smallest, numpy.sqrt(((p - nearest) ** 2).sum(-1)).min())
    return smallest


gap = min(distance(outline["ROTOR"], outline["HOUSING"]),
          distance(outline["HOUSING"], outline["ROTOR"]))
check(abs(gap - 0.1) < 0.001, f"rotor to bore {gap}, not the clearance 0.1")
touch = distance(outline["ROTOR_LIMIT"], outline["HOUSING"])
check(touch < 0.001, f"the largest rotor stands {touch} off the bore")
# The bore lies the seal offset outside the trochoid everywhere.
offset = distance(outline["HOUSING"], outline["TROCHOID"])
check(abs(offset - 2) < 0.001, f"bore {offset} from the trochoid")

# A study as a script reads it: CSV by the csv module, JSON by the json module. The exact
# columns stand beside the sweep's and do not depend on the step count; a shape without exact
# figures has them empty (null), and a note stays one field.
import csv
import io
import json

study = list(csv.DictReader(io.StringIO(run("--eccentricity", "0:35:5", "--steps", "100:104:4"))))
check(len(study) == 16, f"{len(study)} study rows")
check(all(len(row) == 21 and None not in row for row in study), "a CSV row with stray fields")
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


# Series named by value in the order of their values.
run("--eccentricity", "10:15:5", "--rotor-radius", "100:1000:450", "--chart", path("order.svg"))
texts = ["".join(e.itertext()) for e in ET.parse(path("order.svg")).getroot().iter()]
texts = [t for t in texts if t.startswith("sweep, R = ")]
check(texts[:3] == ["sweep, R = 100", "sweep, R = 550", "sweep, R = 1000"], f"legend order {texts}")

# A study that varies only the seal offset, or only the chamber width, is drawn against it.
for option, values, words in (("--seal-offset", "0:3:1", "apex-seal offset A"),
                              ("--chamber-width", "40:100:20", "chamber width W")):
    run(option, values, "--chart", path("against.svg"))
    texts = " ".join("".join(e.itertext()) for e in ET.parse(path("against.svg")).getroot().iter())
    check(words in texts, f"the chart of {option} is not drawn against {words!r}")

# The figure as a reader sees it: the red top-dead-centre profile shows over the housing, the
# last row of the PNG is the page's white, a missed sample is a gap named in the legend, a small
# engine's legend is not cut, and an engine too large for any page is drawn to scale.
from PIL import Image

image = Image.open(path("figure.png")).convert("RGB")
pixels = image.load()
red = sum(1 for x in range(image.width) for y in range(0, image.height, 2)
          if pixels[x, y][0] > 180 and pixels[x, y][1] < 80 and pixels[x, y][2] < 80)
check(red > 200, f"{red} red pixels: the top-dead-centre profile is hidden")
bottom = {pixels[x, image.height - 1] for x in range(image.width)}
check(bottom == {(255, 255, 255)}, f"the PNG's last row is not white: {sorted(bottom)[:3]}")
# A figure says what the notes say, in their words, and nothing else: none for the defaults, the
# sweep's stray note at K = 3.2, the gear past the flank at e = 25, the real engine's gear too.
import json


def legend_notes(svg):
    """The legend's lines after the key to the colours, wrapped lines joined again."""
    lines = ["".join(e.itertext()).strip() for e in ET.parse(svg).getroot().iter()
             if e.tag.endswith("text")]
    lines = [line for line in lines if line]
    key = next(n for n, line in enumerate(lines) if "(black)" in line)
    return " ".join(lines[key + 1:]), lines


notes, legend = legend_notes(path("figure.svg"))
check(notes == "", f"the defaults' figure says more than their notes: {legend}")
for engine in (["--eccentricity", "32.8"], ["--eccentricity", "25"],
               ["--eccentricity", "25", "--seal-offset", "1"],
               ["--eccentricity", "0.15", "--rotor-radius", "1.05"]):
    run(*engine, "--figure", path("noted.svg"))
    said = (json.loads(run(*engine, "--format", "json"))[0]["note"] or "").replace("\n", " ")
    drawn = legend_notes(path("noted.svg"))[0]
    drawn = drawn.split(" scale ")[0]  # the drawing's scale follows the notes
    check(said and drawn == said, f"{engine}: the figure says {drawn!r}, the notes {said!r}")
run("--eccentricity", "7.5", "--rotor-radius", "53", "--figure", path("small.png"))
small = Image.open(path("small.png")).convert("L")
legend_right = [x for x in range(small.width) for y in range(0, 200)
                if small.getpixel((x, y)) < 128]
check(legend_right and max(legend_right) < small.width - 20, "the small engine's legend is cut")
for name in ("huge.svg", "huge.pdf"):
    run("--eccentricity", "1e9", "--rotor-radius", "7e9", "--figure", path(name))
huge = ET.parse(path("huge.svg")).getroot()
huge_width = float(re.match(r"([\d.]+)mm", huge.get("width")).group(1))
check(huge_width <= 5080, f"the huge SVG is {huge_width} mm wide")
check("scale 1 : 5000000" in " ".join("".join(e.itertext()) for e in huge.iter()), "no scale printed")
# Its legend reads wherever its drawing does: letters as large beside the page as the defaults'.
for name in ("huge.svg", "figure.svg"):
    page = ET.parse(path(name)).getroot()
    letters = max(float(e.get("font-size")) for e in page.iter() if e.get("font-size"))
    share = letters / (float(re.match(r"([\d.]+)mm", page.get("width")).group(1)) * 10)
    check(share > 0.008, f"{name}: letters {share:.4f} of the page's width, too small to read")
# A model engine, R = 1.05 mm, is drawn at a round scale that makes it readable, and says so.
run("--eccentricity", "0.15", "--rotor-radius", "1.05", "--figure", path("tiny.svg"))
tiny = ET.parse(path("tiny.svg")).getroot()
tiny_width = float(re.match(r"([\d.]+)mm", tiny.get("width")).group(1))
check(150 < tiny_width < 400, f"the tiny engine's SVG is {tiny_width} mm wide")
check("scale 50 : 1" in " ".join("".join(e.itertext()) for e in tiny.iter()), "no tiny scale")
with open(path("huge.pdf"), "rb") as pdf:
    content = pdf.read()
box = re.search(rb"/MediaBox \[\s*0 0 ([\d.]+) ([\d.]+)\s*\]", content)
check(box and float(box.group(1)) <= 14400 and content.rstrip().endswith(b"%%EOF"),
      f"the huge PDF: {box and box.group(0)}")

with open(path("figure.png"), "rb") as png:
    header = png.read(24)
check(header[:8] == b"\x89PNG\r\n\x1a\n", "PNG signature")
check(struct.unpack(">I", header[16:20])[0] == 1600, "PNG width")
with open(path("figure.pdf"), "rb") as pdf:
    content = pdf.read()
check(content.startswith(b"%PDF"), "PDF signature")
box = re.search(rb"/MediaBox \[\s*0 0 ([\d.]+) ([\d.]+)\s*\]", content)
check(box and abs(float(box.group(1)) - 260 * 72 / 25.4) < 3, f"PDF page {box and box.group(0)}")

# Onto standard output, as a pipe takes them: "-" and /dev/stdout give the same bytes as a file;
# the DXF reads back with nothing to repair and declares the unit --units names.
for name in ("-", "/dev/stdout"):
    dxf = subprocess.run([tool, "--dxf", name], capture_output=True)
    check(dxf.returncode == 0 and dxf.stdout == open(path("engine.dxf"), "rb").read(),
          f"--dxf {name}: status {dxf.returncode}, not the file's bytes: {dxf.stderr}")
    svg = subprocess.run([tool, "--figure", name, "--figure-format", "svg"], capture_output=True)
    check(svg.returncode == 0 and svg.stdout == open(path("figure.svg"), "rb").read(),
          f"--figure {name}: status {svg.returncode}, not the file's bytes: {svg.stderr}")
for unit, code in (("mm", 4), ("cm", 5), ("m", 6), ("in", 1)):
    with open(path(f"units-{unit}.dxf"), "wb") as into:
        into.write(subprocess.run([tool, "--units", unit, "--dxf", "-"], capture_output=True).stdout)
    check(audited(f"units-{unit}.dxf").header.get("$INSUNITS") == code, f"--units {unit}: $INSUNITS")
    header = run("--units", unit, "--format", "csv").split("\n")[0]
    check(header.split(",")[-3:] == ["length_unit", "volume_unit", "note"],
          f"--units {unit}: CSV header {header}")
    check(run("--units", unit).startswith(f"# unit of length: {unit}, of volume:"),
          f"--units {unit}: no line names it in the text")

# The chart read back against the study's CSV: each series found by its legend's colour in each
# panel, its points mapped back through one straight-line fit per axis of its panel. The lines
# run in the order of K, and every panel holds its own column (capacity is not dead volume).
drawing = {}  # what chart_series found in each SVG: paths, legend markers, texts


def chart_series(svg_path, panel_titles=()):
    """(panel, legend name) -> the series' points in document order, in page coordinates; the
    panels are told apart by the titles that head them after the first."""
    ns = "{http://www.w3.org/2000/svg}"
    found, legend_rects, texts = [], [], []

    def walk(node, matrix):
        transform = node.get("transform", "")
        if transform.startswith("matrix("):
            a, b, c, d, e, f = map(float, transform[7:-1].split(","))
            m = matrix
            matrix = (m[0] * a + m[2] * b, m[1] * a + m[3] * b, m[0] * c + m[2] * d,
                      m[1] * c + m[3] * d, m[0] * e + m[2] * f + m[4], m[1] * e + m[3] * f + m[5])
        at = lambda x, y: (matrix[0] * x + matrix[2] * y + matrix[4],
                           matrix[1] * x + matrix[3] * y + matrix[5])
        for child in node:
            tag = child.tag.replace(ns, "")
            if tag == "g":
                walk(child, matrix)
            elif tag == "path" and node.get("stroke") not in (None, "none"):
                points = [tuple(map(float, p.split(",")))
                          for p in re.findall(r"[-\d.e]+,[-\d.e]+", child.get("d"))]
                found.append(("line", node.get("stroke"), [at(*p) for p in points]))
            elif tag == "polyline":
                points = [tuple(map(float, p.split(",")))
                          for p in re.findall(r"[-\d.e]+,[-\d.e]+", child.get("points"))]
                found.append(("grid", node.get("stroke"), [at(*p) for p in points]))
            elif tag == "circle":
                found.append(("points", node.get("fill"), [at(3, 3)]))
            elif tag == "rect" and child.get("width") == "7":
                legend_rects.append((at(0, 0), node.get("fill")))
            elif tag == "text":
                texts.append((at(0, 0), "".join(child.itertext()).strip()))

    walk(ET.parse(svg_path).getroot(), (1, 0, 0, 1, 0, 0))
    drawing[svg_path] = (found, legend_rects, texts)
    tops = sorted(y for (x, y), text in texts if any(text.startswith(t) for t in panel_titles))
    panel_of = lambda y: sum(y > top for top in tops)
    series = {}
    for (x, y), colour in legend_rects:
        name = min((t for t in texts if 0 < t[0][0] - x < 30 and abs(t[0][1] - y) < 12),
                   key=lambda t: t[0][0] - x)[1]
        for kind, drawn, points in found:
            if drawn != colour:
                continue
            for point in points:
                key = (panel_of(point[1]), name)
                series.setdefault(key, (kind, []))[1].append(point)
    return series


study = subprocess.run([tool, "--eccentricity", "8:22:1", "--chart", path("read-back.svg")],
                       capture_output=True, text=True)
table = list(__import__("csv").DictReader(study.stdout.splitlines()))
columns = {(0, "exact limit"): "exact_compression_ratio", (0, "sweep"): "compression_ratio",
           (1, "exact limit"): "exact_chamber_capacity", (1, "sweep"): "chamber_capacity",
           (2, "exact limit"): "exact_dead_volume", (2, "sweep"): "dead_volume"}
drawn = chart_series(path("read-back.svg"), ("Chamber capacity against", "Dead volume against"))
check(set(drawn) == set(columns), f"the chart's series: {sorted(drawn)}")
import numpy
for panel in (0, 1, 2):
    pixels, values = [], []
    for key, column in columns.items():
        if key[0] != panel or key not in drawn:
            continue
        kind, points = drawn[key]
        rows = sorted((float(r["k"]), float(r[column])) for r in table)
        vertices = points if kind == "line" else sorted(points)
        if kind == "line":
            check(all(a[0] < b[0] for a, b in zip(vertices, vertices[1:])),
                  f"{key}: the line does not run in the order of K")
        check(len(vertices) == len(rows), f"{key}: {len(vertices)} points for {len(rows)} rows")
        pixels += vertices[:len(rows)]
        values += rows[:len(vertices)]
    for axis in (0, 1):
        data = numpy.array([v[axis] for v in values])
        page = numpy.array([p[axis] for p in pixels])
        fit = numpy.polyfit(data, page, 1)
        off = numpy.abs(numpy.polyval(fit, data) - page).max()
        check(off < 1.5, f"chart panel {panel}, axis {axis}: a point {off:.1f} px off its row")
# Every axis spans what its panel shows, not from 0: K from 8 to 22 is most of the width.
xs = [p[0] for p in drawn.get((0, "exact limit"), ("", [(0, 0)]))[1]]
check(max(xs) - min(xs) > 700, f"K's line spans {max(xs) - min(xs):.0f} px of the chart")
# The three panels share their K axis: a K stands at one x in each, and the sweep is points, as
# the documentation says, however many engines there are.
lines_by_panel = [sorted(drawn[(panel, "exact limit")][1]) for panel in (0, 1, 2)]
offset = max(abs(a[0] - b[0]) for panel in (1, 2)
             for a, b in zip(lines_by_panel[0], lines_by_panel[panel]))
check(offset < 1, f"the panels' K axes stand {offset:.1f} px apart")
# The title names what stays fixed: R, W and N here; A and the others in a chart over clearance.
title = ET.parse(path("read-back.svg")).getroot().find("{http://www.w3.org/2000/svg}title").text
check(title == "Compression-ratio limit against K (R = 105, W = 80, N = 100)", f"title {title!r}")
run("--seal-offset", "2", "--clearance", "0:1:0.5", "--chart", path("over-c.svg"))
title = ET.parse(path("over-c.svg")).getroot().find("{http://www.w3.org/2000/svg}title").text
check(title.endswith("against C (e = 15, R = 105, W = 80, A = 2, V = 0)"), f"title {title!r}")
# Each panel's value axis says what it shows: the ratio over the capacity over the dead volume.
paths, markers, words = drawing[path("read-back.svg")]
titles = sorted((y, text) for (x, y), text in words
                if text in ("compression ratio", "volume, cm^3", "Chamber capacity against K",
                            "Dead volume against K"))
check([text for _, text in titles] == ["compression ratio", "Chamber capacity against K",
                                       "volume, cm^3", "Dead volume against K", "volume, cm^3"],
      f"the panels' titles and axes in their order: {titles}")
# Room around the data: the exact line stays clear of the plot's edges, which the widest grid
# line of the first panel marks.
top_panel = [p for kind, stroke, p in paths if kind == "grid" and len(p) == 2
             and abs(p[0][1] - p[1][1]) < 0.01 and p[0][1] < titles[1][0]]
left, right = min(min(p[0][0], p[1][0]) for p in top_panel), max(max(p[0][0], p[1][0]) for p in top_panel)
line = sorted(drawn[(0, "exact limit")][1])
room = min(line[0][0] - left, right - line[-1][0]) / (right - left)
check(0.02 < room < 0.06, f"the data stand {room:.3f} of the width from the plot's edge")
# More series than the legend holds: it names the first 24 and the title says how many.
run("--eccentricity", "10:12:1", "--rotor-radius", "100:113:1", "--chart", path("many.svg"))
chart_series(path("many.svg"))
shown = len(drawing[path("many.svg")][1])
many_title = ET.parse(path("many.svg")).getroot().find("{http://www.w3.org/2000/svg}title").text
check(shown == 24 and "(28 series; the legend names the first 24)" in many_title,
      f"{shown} legend markers; title {many_title!r}")
# The SVG of a 301-engine study stays small.
run("--eccentricity", "5:35:0.1", "--chart", path("large.svg"))
check(os.path.getsize(path("large.svg")) < 400_000, f"{os.path.getsize(path('large.svg'))} bytes")
dense = chart_series(path("large.svg"), ("Chamber capacity against", "Dead volume against"))
check(all(dense[(panel, "sweep")][0] == "points" and len(dense[(panel, "sweep")][1]) == 301
          for panel in (0, 1, 2)), "the sweep of 301 engines is not 301 points in every panel")

# A colour for each radius in every panel, its exact line darker than its sweep: four colours in
# the legend for two radii, each drawn in every panel.
by_legend = chart_series(path("chart.svg"), ("Chamber capacity against", "Dead volume against"))
names = {name for _, name in by_legend}
check(len(names) == 4 and all((panel, name) in by_legend for panel in (0, 1, 2) for name in names),
      f"the chart's series by legend: {sorted(by_legend)}")

# One engine's chart with --volume-curve is its curve: the volume and the seal's lean, each a
# line in its own colour, the volume on the left axis with TDC to BDC spanning its range.
run("--volume-curve", path("curve.csv"), "--chart", path("curve.svg"))
curve = chart_series(path("curve.svg"))
check(set(name for _, name in curve) ==
      {"chamber volume", "apex seal's lean, degrees (right axis)"}, f"curve chart: {sorted(curve)}")
volumes = [float(line.split(",")[2]) for line in open(path("curve.csv")) if line[0].isdigit()]
volume_line = curve.get((0, "chamber volume"), ("line", []))[1]
check(len(volume_line) == len(volumes), "the volume line lacks points")
if volume_line:
    ys = [y for _, y in volume_line]
    lowest = volume_line[ys.index(max(ys))][0]  # y grows downwards: TDC at the bottom
    check(abs(lowest - volume_line[0][0]) < 2, "the curve does not start at its smallest volume")

# One engine's chart with ports is theirs: each port's open area a line in its own colour, read
# back through one straight-line fit for all of them against the port curve (a port drawn at
# another scale or shifted misses it), and each event a line named in the trade's words where the
# text puts it.
with open(path("intake.csv"), "w") as f:
    f.write("-95,-10\n-70,-10\n-65,10\n-92,12\n")
with open(path("exhaust.csv"), "w") as f:
    f.write("62,18\n88,22\n95,40\n80,52\n64,40\n")
said = run("--intake-port", path("intake.csv"), "--exhaust-port", path("exhaust.csv"),
           "--peripheral-exhaust", "40,62,25", "--port-curve", path("ports.csv"),
           "--chart", path("ports.svg"))
rows = [line.split(",") for line in open(path("ports.csv")) if line[0].isdigit()]
ports = chart_series(path("ports.svg"))
names = sorted(name for _, name in ports)
check(names == ["chamber volume (right axis)", "port1: intake side intake.csv",
                "port2: exhaust side exhaust.csv", "port3: exhaust peripheral 40,62,25"],
      f"port chart's series: {names}")
pairs = []
for n in range(3):
    line = next((points for (_, name), (_, points) in ports.items()
                 if name.startswith(f"port{n + 1}:")), [])
    check(len(line) == len(rows), f"port{n + 1}'s line has {len(line)} points for {len(rows)} rows")
    pairs += [(float(row[2 + n]), y) for row, (_, y) in zip(rows, line)]
if pairs:
    count = len(pairs)
    mean_a = sum(a for a, _ in pairs) / count
    mean_y = sum(y for _, y in pairs) / count
    slope = (sum((a - mean_a) * (y - mean_y) for a, y in pairs) /
             sum((a - mean_a) ** 2 for a, _ in pairs))
    off = max(abs(mean_y + slope * (a - mean_a) - y) for a, y in pairs)
    check(slope < 0 and off < 1.0, f"the ports' lines stray {off:.2f} px from one area axis")
volume_line = ports.get((0, "chamber volume (right axis)"), ("line", []))[1]
if len(volume_line) == len(rows):
    # The shaft's axis from the volume line: x at 0 and at 1080 degrees.
    x0, x1 = volume_line[0][0], volume_line[-1][0]
    angle_at = lambda x: (x - x0) / (x1 - x0) * 1080
    texts = drawing[path("ports.svg")][2]
    for n, timing in enumerate(re.findall(r"opens [\d.]+ \(([^)]+)\), closes [\d.]+ \(([^)]+)\)",
                                          said)):
        events = re.findall(r"opens ([\d.]+) .*closes ([\d.]+) ", said.splitlines()[4 + n])[0]
        for word, words, angle in zip(("opens", "closes"), timing, map(float, events)):
            label = f"port{n + 1} {word} {words}"
            found = [x for (x, _), text in texts if text == label]
            check(len(found) == 1 and abs(angle_at(found[0]) - angle) < 3,
                  f"the chart marks {label!r} at {[angle_at(x) for x in found]}, not {angle}")
else:
    check(False, "the port chart's volume line lacks points")
# Events a few degrees apart (the README's ports: the intake opens 10.7 degrees before the
# exhaust closes) are named one below the other, never over each other.
with open(path("side-intake.csv"), "w") as f:
    f.write("x,y\n-45,82\n-75,70\n-72,58\n-45,70\n")
run("--seal-offset", "2", "--clearance", "0.1", "--intake-port", path("side-intake.csv"),
    "--peripheral-exhaust", "42.5,54.4,30", "--chart", path("close.svg"))
chart_series(path("close.svg"))
labels = [(x, y, text) for (x, y), text in drawing[path("close.svg")][2]
          if re.match(r"port\d (opens|closes) ", text)]
check(len(labels) == 4, f"the close events' chart names {len(labels)} events")
for n, (x, y, text) in enumerate(labels):
    for other_x, other_y, other in labels[n + 1:]:
        if abs(x - other_x) < 11:
            check(abs(y - other_y) > 4 * max(len(text), len(other)),
                  f"{text!r} and {other!r} are drawn over each other")

leftovers = [name for name in os.listdir(folder) if name.startswith(".")]
check(not leftovers, f"temporary files left: {leftovers}")
for failure in failures:
    print("FAILED:", failure)
print(f"{len(failures)} failures; DXF housing {len(housing)} and rotor {len(rotor)} vertices")
sys.exit(1 if failures else 0)
