"""The chamber's walls and the apex seal against what no one here wrote: shapely's perimeter and
area of the chamber's outline at 36 shaft angles against the curve's surface and S/V, the DXF's
bore measured by ezdxf and shapely against the seal's mean speed, and every figure the same in
the companion, in Python and in another unit."""
import csv
import math
import os
import subprocess
import tempfile

import ezdxf
import pytest
import shapely.geometry

import rotary_ratio

TOOL = os.environ["ROTARY_RATIO"]
OUTLINE = os.environ["ROTARY_CHAMBER_OUTLINE"]


def companion(*args):
    done = subprocess.run([TOOL, *args], capture_output=True, text=True, check=True)
    return done.stdout


def curve_rows(*args):
    out = companion("--volume-curve", "-", *args)
    return list(csv.DictReader(line for line in out.splitlines() if not line.startswith("#")))


def chamber_polygon(e, R, A, C, shaft_angle):
    out = subprocess.run([OUTLINE, str(e), str(R), str(A), str(C), repr(shaft_angle)],
                         capture_output=True, text=True, check=True).stdout
    points = [tuple(map(float, line.split(","))) for line in out.splitlines()]
    polygon = shapely.geometry.Polygon(points)
    # At top dead centre the bare bore touches the flank's middle and pinches the chamber in two;
    # shapely calls a ring that touches itself invalid, but a ring that crossed itself would lose
    # area when cleaned.
    assert polygon.buffer(0).area == pytest.approx(polygon.area, rel=1e-9), shaft_angle
    return polygon


@pytest.mark.parametrize("A,C", [(0, 0), (2, 0.1), (0.5, 3)])
def test_surface_and_its_ratio_are_the_outlines_at_36_shaft_angles(A, C):
    e, R, W = 15, 105, 80
    rows = curve_rows("--angle-step", "30", "--seal-offset", str(A), "--clearance", str(C))
    assert len(rows) == 37
    for row in rows[:36]:
        angle = float(row["shaft_angle_deg"])
        polygon = chamber_polygon(e, R, A, C, angle)
        surface = W * polygon.length + 2 * polygon.area
        assert float(row["surface"]) == pytest.approx(surface, rel=1e-6), angle
        # mm^3 from the curve's cm^3.
        assert float(row["volume"]) * 1000 == pytest.approx(polygon.area * W, rel=1e-6), angle
        assert float(row["surface_to_volume"]) == pytest.approx(surface / (polygon.area * W),
                                                                rel=1e-6), angle


def test_the_defaults_at_top_dead_centre():
    polygon = chamber_polygon(15, 105, 0, 0, 0)
    assert polygon.length == pytest.approx(384.153, abs=5e-4)
    assert polygon.area == pytest.approx(473.451, abs=5e-4)
    found = rotary_ratio.real_engine(15, 105, 80)
    assert found.surface_to_volume_tdc == pytest.approx(0.836389, abs=1e-6)
    row = next(csv.DictReader(companion("--format", "csv").splitlines()))
    assert float(row["surface_to_volume_tdc"]) == pytest.approx(found.surface_to_volume_tdc,
                                                                rel=1e-8)


@pytest.mark.parametrize("A", [0, 2])
def test_the_seals_mean_speed_runs_the_bore_the_dxf_draws(A):
    # The seal's contact runs along half the bore while the shaft turns 540 degrees: the mean
    # speed is omega times the bore's length over 6 pi.
    rpm = 6000
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "engine.dxf")
        companion("--seal-offset", str(A), "--dxf", path)
        housing = next(entity for entity in ezdxf.readfile(path).modelspace()
                       if entity.dxf.layer == "HOUSING" and entity.dxftype() == "LWPOLYLINE")
        points = [(x, y) for x, y, *_ in housing.get_points()]
    bore = shapely.geometry.Polygon(points).exterior.length  # mm
    found = rotary_ratio.real_engine(15, 105, 80, seal_offset=A, rpm=rpm)
    omega = rpm * 2 * math.pi / 60
    # The DXF's chords stray 0.001 mm from the bore: a few millionths of its length.
    assert found.mean_seal_speed == pytest.approx(omega * bore / 1000 / (6 * math.pi), rel=2e-5)
    assert found.least_seal_speed < found.mean_seal_speed < found.largest_seal_speed


def test_figures_in_centimetres_are_the_millimetres_converted():
    rows = {}
    for unit, scale in (("mm", 1), ("cm", 0.1)):
        out = companion("--eccentricity", str(15 * scale), "--rotor-radius", str(105 * scale),
                        "--chamber-width", str(80 * scale), "--units", unit, "--rpm", "7000",
                        "--format", "csv")
        rows[unit] = next(csv.DictReader(out.splitlines()))
    # Per cm is ten times per mm; the SI figures stay.
    assert float(rows["cm"]["surface_to_volume_tdc"]) == pytest.approx(
        10 * float(rows["mm"]["surface_to_volume_tdc"]), rel=1e-8)
    for name in ("least_seal_speed", "mean_seal_speed", "largest_seal_speed",
                 "least_seal_inertia_per_gram", "otto_efficiency"):
        assert float(rows["cm"][name]) == pytest.approx(float(rows["mm"][name]), rel=1e-8), name
    # The defaults at 7000 rpm: omega (R/3 -+ e), and (R/9 - e) omega^2 per gram.
    omega = 7000 * 2 * math.pi / 60
    assert float(rows["mm"]["least_seal_speed"]) == pytest.approx(omega * 0.020, rel=1e-8)
    assert float(rows["mm"]["largest_seal_speed"]) == pytest.approx(omega * 0.050, rel=1e-8)
    assert float(rows["mm"]["least_seal_inertia_per_gram"]) == pytest.approx(
        omega ** 2 * (0.105 / 9 - 0.015) / 1000, rel=1e-8)


def test_a_study_over_k_carries_the_chamber_and_the_seal():
    e = [10.0, 12.5, 15.0, 20.0]
    found = rotary_ratio.study(e, 105, 80, rpm=7000, gamma=1.3)
    for i, ecc in enumerate(e):
        one = rotary_ratio.real_engine(ecc, 105, 80, rpm=7000, gamma=1.3)
        assert found["surface_to_volume_tdc"][i] == one.surface_to_volume_tdc
        assert found["otto_efficiency"][i] == one.otto_efficiency
        assert found["least_seal_inertia_per_gram"][i] == one.least_seal_inertia_per_gram
        ratio = found["exact_compression_ratio"][i]
        assert one.otto_efficiency == pytest.approx(1 - ratio ** -0.3, rel=1e-8)
    # A larger K (a smaller e): a higher ratio, and a thinner chamber with more wall for its
    # volume.
    assert list(found["surface_to_volume_tdc"]) == sorted(found["surface_to_volume_tdc"],
                                                          reverse=True)


@pytest.mark.parametrize("call,words", [
    (lambda: rotary_ratio.real_engine(15, 105, 80, rpm=0), "rpm: 0 is not a shaft speed"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, gamma=1), "gamma: 1 is not a ratio of"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, recess=2, recess_area=-1),
     "recess_area: -1 is not an area"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, recess_area=10), "recess_area goes with"),
    (lambda: rotary_ratio.study(15, 105, 80, recess_area=10), "recess_area goes with"),
])
def test_values_it_cannot_take_are_refused_in_the_companions_words(call, words):
    with pytest.raises(ValueError, match=words):
        call()


def test_the_curve_carries_the_seal_with_an_rpm_and_the_recess_walls():
    bare = rotary_ratio.volume_curve(15, 105, 80, angle_step=10)
    assert bare.seal_speed is None
    walls = rotary_ratio.volume_curve(15, 105, 80, recess=3, recess_area=1500, angle_step=15,
                                      rpm=7000)
    without = rotary_ratio.volume_curve(15, 105, 80, recess=3, angle_step=15)
    assert (walls.surface - without.surface) == pytest.approx(1500, rel=1e-12)
    assert walls.seal_speed.shape == walls.volume.shape
    # Torque is the volume's slope: the peak of sqrt(3) e R W sin(2 theta / 3), 21.82 N m per bar.
    assert max(walls.torque_per_bar) == pytest.approx(21.8238, abs=1e-4)
