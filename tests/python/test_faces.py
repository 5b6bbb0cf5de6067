"""One design, two faces: the Python module and the companion give the same figures for the same
engine, with its target ratio, its ports and its seal, and the same engine in another unit gives
the same physical figures once converted by hand."""
import csv
import io
import json
import os
import subprocess

import pytest

import rotary_ratio

TOOL = os.environ["ROTARY_RATIO"]
WAIST = [(-2, 86), (2, 86), (2, 89.5), (-2, 89.5)]  # opens twice a cycle at the defaults
CENTRE = [(-1, -1), (1, -1), (1, 1), (-1, 1)]       # the rotor covers it all the time


def companion_json(*args):
    done = subprocess.run([TOOL, *args, "--format", "json"], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout)[0]


def port_file(tmp_path, name, points):
    path = tmp_path / name
    path.write_text("x,y\n" + "".join(f"{x},{y}\n" for x, y in points))
    return str(path)


# The real engine's figures: (Python's keyword arguments, the companion's options).
REAL = [
    ({"seal_offset": 2, "clearance": 0.1, "target_ratio": 10, "rpm": 7000},
     ["--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "10", "--rpm", "7000"]),
    ({"seal_offset": 2, "recess": 1.5, "rpm": 9000, "gamma": 1.3},
     ["--seal-offset", "2", "--recess", "1.5", "--rpm", "9000", "--gamma", "1.3"]),
    ({"clearance": 0.2, "target_ratio": 8.5, "rotors": 2},
     ["--clearance", "0.2", "--target-ratio", "8.5", "--rotors", "2"]),
]


@pytest.mark.parametrize("keywords,options", REAL)
def test_the_real_engine_is_the_companions(keywords, options):
    found = rotary_ratio.real_engine(15, 105, 80, **keywords)
    row = companion_json(*options)
    for name in ("chamber_capacity", "dead_volume", "compression_ratio"):
        assert getattr(found, name) == pytest.approx(row["real_" + name], rel=1e-8), name
    for name in ("displacement", "surface_to_volume_tdc", "otto_efficiency", "least_seal_speed",
                 "mean_seal_speed", "largest_seal_speed", "target_recess"):
        if row.get(name) is None:
            continue
        assert getattr(found, name) == pytest.approx(row[name], rel=1e-8), name
    if "target_ratio" in keywords:
        # The target's engine throughout: its ratio and the ideal cycle at that ratio.
        assert found.compression_ratio == pytest.approx(keywords["target_ratio"], rel=1e-12)
        assert row["recess"] == pytest.approx(found.target_recess, rel=1e-12)
        gamma = keywords.get("gamma", 1.4)
        assert found.otto_efficiency == pytest.approx(
            1 - keywords["target_ratio"] ** (1 - gamma), rel=1e-12)


def test_ports_are_the_companions_with_every_opening(tmp_path):
    waist, centre = port_file(tmp_path, "waist.csv", WAIST), port_file(tmp_path, "centre.csv", CENTRE)
    found = rotary_ratio.ports(15, 105, 80, intake=[WAIST, CENTRE],
                               peripheral_exhaust=(42.5, 54.4, 30))
    row = companion_json("--intake-port", waist, "--intake-port", centre,
                         "--peripheral-exhaust", "42.5,54.4,30")
    assert len(found.ports) == len(row["ports"]) == 3
    for mine, theirs in zip(found.ports, row["ports"]):
        assert mine["openings"] == theirs["openings"] == len(theirs["each_opening"])
        for a, b in zip(mine["each_opening"], theirs["each_opening"]):
            for name in ("opens_deg", "closes_deg", "open_deg"):
                assert a[name] == pytest.approx(b[name], rel=1e-8, abs=1e-6), name
        assert mine["angle_area"] == pytest.approx(theirs["angle_area"], rel=1e-8)
    assert found.ports[0]["openings"] == 2
    assert sum(o["open_deg"] for o in found.ports[0]["each_opening"]) == pytest.approx(310.1, abs=0.05)
    # Never open: no events, and no effective ratio taken from it.
    assert found.ports[1]["openings"] == 0 and found.ports[1]["opens_deg"] is None
    assert found.overlap_deg == pytest.approx(row["overlap_deg"], rel=1e-8)
    assert found.effective_compression_ratio == pytest.approx(row["effective_compression_ratio"],
                                                              rel=1e-8)


@pytest.mark.parametrize("unit,millimetres", [("cm", 10), ("m", 1000), ("in", 25.4)])
def test_the_same_engine_in_another_unit_converts_by_hand(unit, millimetres):
    """Volumes by the cube, areas by the square, speeds not at all."""
    def engine(scale):
        return ["--eccentricity", repr(15 / scale), "--rotor-radius", repr(105 / scale),
                "--chamber-width", repr(80 / scale), "--seal-offset", repr(2 / scale),
                "--clearance", repr(0.1 / scale), "--rpm", "7000",
                "--peripheral-intake", f"150,175,{30 / scale!r}"]
    mm = companion_json(*engine(1))
    other = ["--units", unit, *engine(millimetres)]
    found = companion_json(*other)
    # mm give cm^3; the other units their own cube.
    cubic_cm = {"cm": 1, "m": 1e6, "in": 16.387064}[unit]
    assert found["real_chamber_capacity"] * cubic_cm == pytest.approx(mm["real_chamber_capacity"],
                                                                       rel=1e-8)
    assert found["ports"][0]["largest_area"] * millimetres ** 2 == pytest.approx(
        mm["ports"][0]["largest_area"], rel=1e-8)
    assert found["mean_seal_speed"] == pytest.approx(mm["mean_seal_speed"], rel=1e-8)
    assert found["surface_to_volume_tdc"] / millimetres == pytest.approx(
        mm["surface_to_volume_tdc"], rel=1e-8)


def test_a_study_of_ports_is_the_companions(tmp_path):
    waist = port_file(tmp_path, "waist.csv", WAIST)
    # Outside the bore of the smaller engine, as its row says.
    far = port_file(tmp_path, "far.csv", [(95, -5), (105, -5), (105, 5), (95, 5)])
    done = subprocess.run([TOOL, "--rotor-radius", "80:120:40", "--intake-port", waist,
                           "--intake-port", far, "--peripheral-exhaust", "42.5,54.4,30",
                           "--method", "exact", "--format", "csv"], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    rows = list(csv.DictReader(io.StringIO(done.stdout)))
    found = rotary_ratio.study(15, [80, 120], 80, intake=[waist, far],
                               peripheral_exhaust=(42.5, 54.4, 30))
    for i, row in enumerate(rows):
        for name, value in row.items():
            if name == "note":
                assert found["note"][i].replace("\n", " ") == value, i
            elif value and name in found and isinstance(found[name][i], str):
                assert found[name][i] == value, name
            elif value:
                assert found[name][i] == pytest.approx(float(value), rel=1e-8), (i, name)
    assert "lies wholly outside the bore" in found["note"][0]
    assert list(found["port2_openings"]) == [0, 1]


@pytest.mark.parametrize("unit,millimetres", [("cm", 10), ("m", 1000), ("in", 25.4)])
def test_every_call_takes_the_unit_as_the_companion_does(unit, millimetres):
    """volume_curve(), ports() and real_engine() in another unit: the companion's figures in that
    unit, and the millimetre engine's once converted by hand."""
    e, R, W, A = 15 / millimetres, 105 / millimetres, 80 / millimetres, 2 / millimetres
    cubic_cm = {"cm": 1, "m": 1e6, "in": 16.387064}[unit]
    curve = rotary_ratio.volume_curve(e, R, W, seal_offset=A, rpm=7000, units=unit)
    mm_curve = rotary_ratio.volume_curve(15, 105, 80, seal_offset=2, rpm=7000)
    assert curve.volume * cubic_cm == pytest.approx(mm_curve.volume, rel=1e-9)
    assert curve.surface * millimetres ** 2 == pytest.approx(mm_curve.surface, rel=1e-9)
    assert curve.seal_speed == pytest.approx(mm_curve.seal_speed, rel=1e-12)
    assert curve.torque_per_bar == pytest.approx(mm_curve.torque_per_bar, rel=1e-9, abs=1e-9)
    window = (150, 175, 30 / millimetres)
    found = rotary_ratio.ports(e, R, W, peripheral_intake=window, seal_offset=A, units=unit)
    mm_ports = rotary_ratio.ports(15, 105, 80, peripheral_intake=(150, 175, 30), seal_offset=2)
    assert found.ports[0]["largest_area"] * millimetres ** 2 == pytest.approx(
        mm_ports.ports[0]["largest_area"], rel=1e-9)
    assert found.volume * cubic_cm == pytest.approx(mm_ports.volume, rel=1e-9)
    row = companion_json("--units", unit, "--eccentricity", repr(e), "--rotor-radius", repr(R),
                         "--chamber-width", repr(W), "--seal-offset", repr(A),
                         "--peripheral-intake", ",".join(repr(v) for v in window))
    assert found.ports[0]["largest_area"] == pytest.approx(row["ports"][0]["largest_area"],
                                                           rel=1e-8)
    one = rotary_ratio.real_engine(e, R, W, seal_offset=A, units=unit)
    assert one.chamber_capacity == pytest.approx(row["real_chamber_capacity"], rel=1e-8)
    with pytest.raises(rotary_ratio.DesignError, match='units: ft is not mm, cm, m or in'):
        rotary_ratio.real_engine(15, 105, 80, units="ft")
