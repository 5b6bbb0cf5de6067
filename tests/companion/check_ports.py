"""Side ports against shapely: the companion's open areas and events for two port outlines, against
the chamber's region built here from the rotor's motion and the exact flank, and clipped by shapely.

Usage: check_ports.py ROTARY_RATIO FOLDER
"""
import csv
import io
import json
import math
import os
import shutil
import subprocess
import sys

from shapely.geometry import Polygon

tool, folder = sys.argv[1], sys.argv[2]
# From an empty folder: what an earlier run left behind must not decide this one.
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


E, R, W = 15.0, 105.0, 80.0
K = R / E

# The ports, in the DXF's frame: an intake on the -x side, an exhaust on the +x side, and an
# intake across the bore at the end of the major axis, so that only its inner part ever opens.
PORTS = {
    "intake.csv": [(-95, -10), (-70, -10), (-65, 10), (-92, 12)],
    "exhaust.csv": [(62, 18), (88, 22), (95, 40), (80, 52), (64, 40)],
    "across.csv": [(-128, -8), (-112, -8), (-112, 8), (-128, 8)],
}
for name, points in PORTS.items():
    with open(os.path.join(folder, name), "w") as f:
        f.write("x,y\n" + "".join(f"{x},{y}\n" for x, y in points))


def housing(r, a):
    """The housing point at curve parameter r and motion angle a, seen from the rotor, units of e."""
    return (math.sin(a) + K * math.cos(r) + math.cos(3 * r - a),
            math.cos(a) + K * math.sin(r) + math.sin(3 * r - a))


def flank_point(r):
    """The largest flank where the housing touches it at parameter r, from the middle (3pi/2) to
    the apex (11pi/6): the housing point at the angle of contact."""
    contact = r / 2 - 1.25 * math.pi + math.acos((3 / K) * math.cos(1.5 * r + math.pi / 4))
    return housing(r, contact)


SAMPLES = 20000
right = [flank_point(1.5 * math.pi + (math.pi / 3) * n / SAMPLES) for n in range(SAMPLES + 1)]
# The rotor's flank at top dead centre in the DXF's frame, from its left end to its right end: the
# rotor centre at (0, -e).
body = [(-x * E, y * E - E) for x, y in reversed(right)] + [(x * E, y * E - E) for x, y in right[1:]]


def chamber(shaft, stride=1):
    """The chamber's region at a shaft angle in degrees: the rotor turned a third as fast as the
    shaft about its centre, which circles the crank axis counterclockwise from (0, -e); the bore
    from the leading apex back to the trailing one, then the flank. Every stride-th point."""
    phi = math.radians(shaft)
    turn = phi / 3
    cx, cy = E * math.sin(phi), -E * math.cos(phi)
    c, s = math.cos(turn), math.sin(turn)
    flank = [(cx + c * x - s * (y + E), cy + s * x + c * (y + E)) for x, y in body[::stride]]
    leading, trailing = -math.pi / 6 + turn, -5 * math.pi / 6 + turn
    bore = []
    for n in range(0, SAMPLES + 1, stride):
        t = leading + (trailing - leading) * n / SAMPLES
        bore.append((E * math.cos(3 * t) + R * math.cos(t), E * math.sin(3 * t) + R * math.sin(t)))
    return Polygon(bore + flank)


def open_area(port, shaft, stride=1):
    return chamber(shaft, stride).intersection(port).area


def companion(*args):
    done = subprocess.run([tool, *args], capture_output=True, text=True)
    check(done.returncode == 0, f"{args}: status {done.returncode}: {done.stderr}")
    return done.stdout


options = ["--intake-port", os.path.join(folder, "intake.csv"),
           "--exhaust-port", os.path.join(folder, "exhaust.csv"),
           "--intake-port", os.path.join(folder, "across.csv")]
curve = companion(*options, "--port-curve", "-", "--angle-step", "15")
rows = list(csv.DictReader(line for line in io.StringIO(curve) if not line.startswith("#")))
check(len(rows) == 73, f"{len(rows)} rows of the port curve")
ports = [Polygon(points) for points in PORTS.values()]
worst = 0.0
for row in rows[:72]:
    shaft = float(row["shaft_angle_deg"])
    for n, port in enumerate(ports):
        ours = open_area(port, shaft)
        theirs = float(row[f"port{n + 1}_open_area"])
        worst = max(worst, abs(ours - theirs) / port.area)
        check(abs(ours - theirs) <= 1e-6 * port.area,
              f"port {n + 1} at {shaft} degrees: {theirs} against shapely's {ours}")

timing = json.loads(companion(*options, "--format", "json"))[0]


def event(port, near, opening):
    """Where the open area turns from none to some (or back) within a degree of `near`."""
    closed, opened = (near - 1, near + 1) if opening else (near + 1, near - 1)
    check(open_area(port, closed) == 0 and open_area(port, opened) > 0,
          f"no event within a degree of {near}")
    while abs(opened - closed) > 1e-7:
        middle = (closed + opened) / 2
        if open_area(port, middle) > 0:
            opened = middle
        else:
            closed = middle
    return (closed + opened) / 2


for n, port in enumerate(ports):
    said = timing["ports"][n]
    for key, opening in (("opens_deg", True), ("closes_deg", False)):
        ours = event(port, said[key], opening)
        check(abs(ours - said[key]) < 1e-4, f"port {n + 1} {key} {said[key]} against shapely's {ours}")
    # The angle-area: three-point Gauss rules on pieces of three degrees from the opening to the
    # closing, on chambers of a tenth of the points (their chords move the areas by 3e-7).
    opens, closes = said["opens_deg"], said["opens_deg"] + said["open_deg"]
    pieces = math.ceil((closes - opens) / 3)
    width = (closes - opens) / pieces
    angle_area = 0.0
    for k in range(pieces):
        middle = opens + (k + 0.5) * width
        for at, weight in ((-math.sqrt(0.6), 5 / 9), (0, 8 / 9), (math.sqrt(0.6), 5 / 9)):
            angle_area += weight * width / 2 * open_area(port, middle + at * width / 2, 10)
    check(abs(angle_area - said["angle_area"]) < 1e-5 * angle_area,
          f"port {n + 1} angle-area {said['angle_area']} against shapely's {angle_area}")

# The same ports drawn in CAD, read with dxflib: a closed LWPOLYLINE gives the CSV's events to the
# digit; a CIRCLE and a slot of LINEs and ARCs their own, against shapely's round shapes, within
# what the arcs' chords of a thousandth of a millimetre move them.
import ezdxf
from shapely.geometry import Point, box

drawing = ezdxf.new()
drawing.modelspace().add_lwpolyline(PORTS["intake.csv"], close=True)
drawing.saveas(os.path.join(folder, "intake.dxf"))
drawing = ezdxf.new()
drawing.modelspace().add_circle((-80, 0), 8)
drawing.saveas(os.path.join(folder, "round.dxf"))


def slot_of_lines_and_arcs(name, head_to_head=False):
    """A 16 x 12 slot of LINEs and ARCs; head to head, its first line drawn the other way."""
    drawing = ezdxf.new()
    space = drawing.modelspace()
    space.add_line(*(((-74, -6), (-90, -6)) if head_to_head else ((-90, -6), (-74, -6))))
    space.add_arc((-74, 0), 6, -90, 90)
    space.add_line((-74, 6), (-90, 6))
    space.add_arc((-90, 0), 6, 90, 270)
    drawing.saveas(os.path.join(folder, name))


slot_of_lines_and_arcs("slot.dxf")
# The same slot as CAD users also draw it: one whose pieces meet head to head, and a closed
# LWPOLYLINE whose round ends are bulges (a half circle is bulge 1).
slot_of_lines_and_arcs("head-to-head.dxf", head_to_head=True)
drawing = ezdxf.new()
drawing.modelspace().add_lwpolyline(
    [(-90, -6, 0, 0, 0), (-74, -6, 0, 0, 1), (-74, 6, 0, 0, 0), (-90, 6, 0, 0, 1)],
    format="xyseb", close=True)
drawing.saveas(os.path.join(folder, "bulged.dxf"))
from_dxf = json.loads(companion("--intake-port", os.path.join(folder, "intake.dxf"),
                                "--exhaust-port", os.path.join(folder, "exhaust.csv"),
                                "--format", "json"))[0]
for key in ("opens_deg", "closes_deg", "largest_area", "angle_area"):
    check(from_dxf["ports"][0][key] == timing["ports"][0][key],
          f"the DXF's {key} {from_dxf['ports'][0][key]} against the CSV's {timing['ports'][0][key]}")
round_port = Point(-80, 0).buffer(8, 4096)
slot = box(-90, -6, -74, 6).union(Point(-90, 0).buffer(6, 4096)).union(Point(-74, 0).buffer(6, 4096))
for name, shape in (("round.dxf", round_port), ("slot.dxf", slot), ("bulged.dxf", slot),
                    ("head-to-head.dxf", slot)):
    said = json.loads(companion("--intake-port", os.path.join(folder, name), "--format", "json"))
    said = said[0]["ports"][0]
    check(abs(said["largest_area"] - shape.area) < 1e-3 * shape.area,
          f"{name}: largest area {said['largest_area']} against {shape.area}")
    for key, opening in (("opens_deg", True), ("closes_deg", False)):
        ours = event(shape, said[key], opening)
        # A chord a thousandth of a millimetre inside the arc, met at half a millimetre a degree.
        check(abs(ours - said[key]) < 5e-3, f"{name} {key} {said[key]} against shapely's {ours}")

# The README's example: a port file with a comment before its names.
docs = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs")
readme = companion("--seal-offset", "2", "--clearance", "0.1", "--intake-port",
                   os.path.join(docs, "side-intake.csv"), "--peripheral-exhaust", "42.5,54.4,30")
check("opens 577.191 (37.19 ATDC), closes 866.058 (56.06 ABDC)" in readme, readme)
check("overlap: 10.672 degrees\neffective compression ratio: 15.9412\n" in readme, readme)

def write(name, text):
    with open(os.path.join(folder, name), "w") as f:
        f.write(text)
    return os.path.join(folder, name)


# The port edge's template, round trip: a port drawn on the rotor's side of the flank's line at a
# shaft angle opens or closes at that angle.
for angle, engine in ((600, []), (250, []), (700, ["--seal-offset", "2", "--clearance", "0.1"])):
    template = os.path.join(folder, f"edge-{angle}.dxf")
    companion(*engine, "--port-edge", str(angle), "--port-edge-dxf", template)
    edge = [entity for entity in ezdxf.readfile(template).modelspace()
            if entity.dxf.layer == "PORT_EDGE" and entity.dxftype() in ("POLYLINE", "LWPOLYLINE")]
    check(len(edge) == 1, f"{template}: {len(edge)} edges")
    points = [tuple(p)[:2] for p in (edge[0].points() if edge[0].dxftype() == "POLYLINE"
                                    else edge[0].get_points("xy"))]
    middle = len(points) // 2
    piece = points[middle - 100:middle + 100]
    phi = math.radians(angle)
    centre = (E * math.sin(phi), -E * math.cos(phi))

    def inwards(p, by=4.0):
        dx, dy = centre[0] - p[0], centre[1] - p[1]
        d = math.hypot(dx, dy)
        return (p[0] + by * dx / d, p[1] + by * dy / d)

    outline = piece + [inwards(p) for p in reversed(piece)]
    port = write(f"edge-{angle}.csv", "".join(f"{x!r},{y!r}\n" for x, y in outline))
    said = json.loads(companion(*engine, "--intake-port", port, "--format", "json"))[0]["ports"][0]
    miss = min(abs(said["opens_deg"] - angle), abs(said["closes_deg"] - angle))
    check(miss < 1e-6, f"the port on the flank at {angle} opens at {said['opens_deg']} and closes "
          f"at {said['closes_deg']}")

# Bad ports: one line, status 2, nothing computed.
two = ezdxf.new()
two.modelspace().add_circle((-80, 0), 5)
two.modelspace().add_circle((-60, 0), 5)
two.saveas(os.path.join(folder, "two.dxf"))
unclosed = ezdxf.new()
unclosed.modelspace().add_lwpolyline([(-90, 0), (-70, 0), (-70, 10)], close=False)
unclosed.saveas(os.path.join(folder, "open.dxf"))
gap = ezdxf.new()
gap.modelspace().add_line((-90, 0), (-70, 0))
gap.modelspace().add_line((-70, 0), (-70, 10))
gap.modelspace().add_line((-70, 10), (-89, 1))
gap.saveas(os.path.join(folder, "gap.dxf"))
bad = {
    "crosses": (write("cross.csv", "-95,-10\n-70,-10\n-92,12\n-65,10\n"), "crosses itself"),
    "flat": (write("flat.csv", "-90,0\n-80,0\n-70,0\n"), "has no area"),
    "two points": (write("two.csv", "-90,0\n-80,0\n"), "fewer than three points"),
    "empty": (write("empty.csv", "x,y\n"), "holds no points"),
    "no number": (write("word.csv", "-90,0\n-80,zero\n-70,5\n"),
                  'line 2: "-80,zero" is not two numbers x,y'),
    "outside": (write("far.csv", "300,0\n310,0\n310,10\n"),
                "lies wholly outside the bore of this engine: it can never open"),
    "missing": (os.path.join(folder, "missing.csv"), "No such file or directory"),
    "kind": (write("port.txt", "-90,0\n-80,0\n-80,5\n"), "is neither .dxf nor .csv"),
    "two outlines": (os.path.join(folder, "two.dxf"), "holds 2 closed outlines"),
    "open polyline": (os.path.join(folder, "open.dxf"), "holds no closed outline"),
    "lines that miss": (os.path.join(folder, "gap.dxf"), "holds no closed outline"),
    "no DXF": (write("text.dxf", "not a drawing\n"), "holds no outline"),
    "a device": ("/dev/zero", "is not a file of its own"),
}
for what, (file, said) in bad.items():
    done = subprocess.run([tool, "--exhaust-port", file, "--port-curve", os.path.join(folder, "c.csv")],
                          capture_output=True, text=True)
    check(done.returncode == 2 and done.stdout == "" and done.stderr.count("\n") == 1
          and said in done.stderr and "--exhaust-port" in done.stderr,
          f"{what}: status {done.returncode}, said {done.stderr!r}")
    check(not os.path.exists(os.path.join(folder, "c.csv")), f"{what}: a port curve was written")

if failures:
    print("\n".join("FAILED: " + failure for failure in failures))
    sys.exit(1)
print(f"side ports: open areas at 72 shaft angles within {worst:.1e} of the port's area of "
      f"shapely's, the events within 1e-4 degrees and the angle-areas within 1e-5; the DXF's "
      f"outlines read alike")
