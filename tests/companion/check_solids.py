#!/usr/bin/env python3
"""The companion's solids as the files' readers see them, with code no one here wrote for the
tool: numpy-stl measures each STL part, a STEP reader of the test's own (a small Part 21
parser of B_SPLINE_CURVE_WITH_KNOTS and CARTESIAN_POINT, evaluated with scipy) samples every
curve of the bore and the rotor and finds its distance from the epitrochoid's closed form, and
gmsh reads the STEP back, part by part.

Usage: check_solids.py ROTARY_RATIO FOLDER
"""
import json
import math
import pathlib
import re
import shutil
import subprocess
import sys

import logging

import numpy
from scipy.interpolate import BSpline
from scipy.spatial import cKDTree
from stl import mesh

TOOL, FOLDER = sys.argv[1], pathlib.Path(sys.argv[2])
# numpy-stl warns of its own closedness test on every mass computation; ours stands instead.
logging.getLogger("stl").setLevel(logging.ERROR)
logging.getLogger("stl.base").setLevel(logging.ERROR)
E, R, W = 15.0, 105.0, 80.0


def run(*args):
    done = subprocess.run([TOOL, *args], cwd=FOLDER, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stdout


def entities(step_text):
    """Part 21's instances: number to (type, the text of its parameters)."""
    body = step_text.split("DATA;", 1)[1].split("ENDSEC;", 1)[0]
    found = {}
    for statement in body.split(";"):
        match = re.match(r"\s*#(\d+)\s*=\s*([A-Z0-9_]+)\s*\((.*)\)\s*$", statement, re.S)
        if match:
            found[int(match.group(1))] = (match.group(2), match.group(3))
    return found


def numbers(text):
    return [float(value) for value in re.findall(r"[-+]?\d+\.?\d*(?:[eE][-+]?\d+)?", text)]


def bspline_curves(found):
    """Each B-spline curve as scipy's BSpline over its knots, with its control points."""
    curves = []
    for kind, parameters in found.values():
        if kind != "B_SPLINE_CURVE_WITH_KNOTS":
            continue
        groups = re.findall(r"\(([^()]*)\)", parameters)
        degree = int(parameters.split(",")[1])
        points = [numbers(found[int(ref)][1].split(",", 1)[1])
                  for ref in re.findall(r"#(\d+)", groups[0])]
        multiplicities = [int(value) for value in groups[1].split(",")]
        knots = numbers(groups[2])
        expanded = numpy.repeat(knots, multiplicities)
        curves.append(BSpline(expanded, numpy.array(points), degree))
    return curves


def epitrochoid(samples=200000):
    """The bare bore in the housing's frame: the crank axis at the origin, the chamber at top
    dead centre on -y, the major axis along y."""
    t = numpy.linspace(0, 2 * math.pi, samples, endpoint=False)
    return numpy.column_stack([E * numpy.cos(3 * t) + R * numpy.cos(t),
                               E * numpy.sin(3 * t) + R * numpy.sin(t)])


def distances(points, curve_points):
    """Each point's distance from the densely sampled closed curve: from the segments either side
    of its nearest sample, so that the sampling's spacing does not count."""
    _, nearest = cKDTree(curve_points).query(points)
    count = len(curve_points)
    best = numpy.full(len(points), numpy.inf)
    for step in (-1, 1):
        a = curve_points[nearest]
        b = curve_points[(nearest + step) % count]
        along = numpy.clip(numpy.einsum("ij,ij->i", points - a, b - a) /
                           numpy.einsum("ij,ij->i", b - a, b - a), 0, 1)
        foot = a + along[:, None] * (b - a)
        best = numpy.minimum(best, numpy.hypot(*(points - foot).T))
    return best


def watertight(triangles):
    """Every edge of every facet is another facet's, the other way round: a closed surface,
    consistently turned. (numpy-stl's own test sums the facets' normals against an absolute
    1e-4, which the rounding of a few thousand float32 facets of a large part passes over.)"""
    corners = numpy.round(triangles.astype(numpy.float64), 6)
    edges = numpy.concatenate([numpy.concatenate([corners[:, a], corners[:, b]], axis=1)
                               for a, b in ((0, 1), (1, 2), (2, 0))])
    forward = {tuple(edge) for edge in edges}
    return all(tuple(numpy.concatenate([edge[3:], edge[:3]])) in forward for edge in edges)


def gmsh_volumes(path):
    """Each solid's volume in the STEP, by its name, as gmsh reads it."""
    import gmsh
    gmsh.initialize()
    try:
        gmsh.option.setNumber("General.Terminal", 0)
        gmsh.model.occ.importShapes(str(path))
        gmsh.model.occ.synchronize()
        return {gmsh.model.getEntityName(3, tag).split("/")[-1]: gmsh.model.occ.getMass(3, tag)
                for _, tag in gmsh.model.getEntities(3)}
    finally:
        gmsh.finalize()


def check_cut_parts(check):
    """A rotor with a pocket sized for a target ratio and apex slots, the housings with a side
    and a peripheral port, one STEP file a part: each part's STEP as gmsh reads it has the
    STL's volume, the pocket takes the target's recess from the rotor three times over, and its
    inertia is numpy-stl's."""
    design = ["--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "9.4",
              "--recess-pocket", "70,40,6", "--apex-slot", "2,8",
              "--peripheral-exhaust", "250,290,30", "--format", "json"]
    (FOLDER / "side.csv").write_text("x,y\n40,-60\n70,-60\n70,-40\n40,-40\n")
    row = json.loads(run(*design, "--intake-port", "side.csv", "--step", "cut.step",
                         "--step-parts", "--stl", "cut.stl"))[0]
    plain = json.loads(run("--seal-offset", "2", "--clearance", "0.1", "--stl", "plain.stl",
                           "--format", "json"))[0]
    chord = 0.01
    for name in ("ROTOR", "ROTOR_HOUSING", "SIDE_HOUSING_FRONT", "SIDE_HOUSING_REAR"):
        step = FOLDER / f"cut-{name.lower()}.step"
        check(step.exists(), f"--step-parts wrote no {step.name}")
        if not step.exists():
            continue
        read = gmsh_volumes(step)
        part = mesh.Mesh.from_file(str(FOLDER / f"cut-{name.lower()}.stl"))
        check(watertight(part.vectors), f"the cut {name} STL is not closed")
        volume, _, _ = part.get_mass_properties()
        check(list(read) == [name], f"gmsh reads {list(read)} from {step.name}")
        check(abs(read.get(name, 0) - volume) <= chord * part.areas.sum(),
              f"{name}: gmsh reads {read.get(name)}, the STL holds {volume}")
    pocket = (plain["rotor_volume"] - row["rotor_volume"]) / 3
    slot_and_pocket = row["recess"] * 1000
    # The slots take 2 x 8 less the tip arc's cap, across the rotor's 79.8, from each apex.
    check(slot_and_pocket < pocket < slot_and_pocket + 2 * 8 * 79.8,
          f"the pocket and a slot take {pocket} from the rotor, the recess is {slot_and_pocket}")
    check(row["recess_depth"] > 0, f"no recess depth: {row['recess_depth']}")
    rotor = mesh.Mesh.from_file(str(FOLDER / "cut-rotor.stl"))
    _, _, inertia = rotor.get_mass_properties()
    stl_moment = inertia[2][2] * 7200 * 1e-15
    check(abs(stl_moment - row["rotor_moment_of_inertia"]) <= 1e-3 * stl_moment,
          f"the rotor's moment of inertia {row['rotor_moment_of_inertia']} is not the STL's "
          f"{stl_moment}")
    # A pocket deeper than the rotor at its bore is refused, and no file is written.
    refused = subprocess.run([TOOL, "--seal-offset", "2", "--clearance", "0.1", "--recess", "15",
                              "--recess-pocket", "20,20,0", "--step", "deep.step"], cwd=FOLDER,
                             capture_output=True, text=True)
    check(refused.returncode == 2 and "deeper than the rotor at its bore" in refused.stderr,
          f"a pocket into the bore: status {refused.returncode}, {refused.stderr!r}")
    check(not list(FOLDER.glob("deep*")), "a refused pocket left files behind")


def main():
    shutil.rmtree(FOLDER, ignore_errors=True)
    FOLDER.mkdir(parents=True)
    row = json.loads(run("--rpm", "7000", "--step", "engine.step", "--stl", "engine.stl",
                         "--format", "json"))[0]
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    # numpy-stl: each part closed, the rotor's volume and centre the tool's within the chord.
    chord = 0.01
    parts = {}
    for name in ("rotor", "rotor_housing", "side_housing_front", "side_housing_rear"):
        part = mesh.Mesh.from_file(str(FOLDER / f"engine-{name}.stl"))
        check(watertight(part.vectors), f"the {name} STL is not closed")
        volume, centre, _ = part.get_mass_properties()
        parts[name] = (volume, centre, part.areas.sum())
    volume, centre, area = parts["rotor"]
    check(abs(volume - row["rotor_volume"]) <= chord * area,
          f"the rotor's STL volume {volume} is not the tool's {row['rotor_volume']}")
    check(math.hypot(centre[0], centre[1] + E) <= chord + row["rotor_centre_offset"],
          f"the rotor's STL centre {centre} is not on its axis")
    check(abs(centre[2] - W / 2) < 1e-6 * W, f"the rotor's STL centre {centre} is not mid-width")
    front, rear = parts["side_housing_front"][0], parts["side_housing_rear"][0]
    check(abs(front - rear) <= chord * parts["side_housing_front"][2],
          f"the side housings' STL volumes differ: {front} and {rear}")
    mass = row["rotor_volume"] * 1e-9 * 7200
    check(abs(row["rotor_mass"] - mass) <= 1e-6 * mass,
          f"the rotor's mass {row['rotor_mass']} is not 7.2 g/cm^3 of its volume ({mass})")
    load = mass * 0.015 * (7000 * 2 * math.pi / 60) ** 2
    check(abs(row["rotor_eccentric_load"] - load) <= 1e-6 * load,
          f"the load on the eccentric {row['rotor_eccentric_load']} is not m e omega^2 ({load})")

    # The STEP read by the test's own parser: four named products, and every B-spline on the
    # bore within the stated deviation of the epitrochoid.
    text = (FOLDER / "engine.step").read_text()
    found = entities(text)
    products = sorted(re.findall(r"PRODUCT\('([A-Z_]+)'", text))
    check(products == ["ROTOR", "ROTOR_HOUSING", "SIDE_HOUSING_FRONT", "SIDE_HOUSING_REAR"],
          f"the STEP names {products}")
    exact = epitrochoid()
    on_bore = 0
    worst = 0.0
    for curve in bspline_curves(found):
        start, stop = curve.t[curve.k], curve.t[-curve.k - 1]
        points = curve(numpy.linspace(start, stop, 400))[:, :2]
        near = distances(points, exact)
        # The bore's curves lie on the epitrochoid (within the sampling's own spacing); the
        # rotor's and the housing's outside do not.
        if near.max() < 0.1:
            on_bore += 1
            worst = max(worst, near.max())
    check(on_bore >= 6, f"only {on_bore} B-splines lie on the bore")
    check(worst <= row["curve_deviation"] * (1 + 1e-6) + 1e-9,
          f"a bore curve strays {worst} from the epitrochoid, beyond the stated "
          f"{row['curve_deviation']}")
    # A part that cannot be cut is refused with status 2, and no file is written.
    refused = subprocess.run([TOOL, "--eccentricity", "30", "--rotor-radius", "95", "--step",
                              "small.step", "--stl", "small.stl"], cwd=FOLDER, capture_output=True,
                             text=True)
    check(refused.returncode == 2 and "--rotor-bore: the default 97.5 reaches" in refused.stderr,
          f"a rotor bore past the flank: status {refused.returncode}, {refused.stderr!r}")
    check(not list(FOLDER.glob("small*")), "a refused solid left files behind")
    check_cut_parts(check)
    for failure in failures:
        print("FAILED:", failure)
    print(f"{len(parts)} STL parts, {on_bore} bore curves within {worst:.3g} of the epitrochoid "
          f"(stated {row['curve_deviation']:.3g})")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
