"""The working cycle from Python: the Otto limit where the model's answer is known exactly, an
integration of our own with scipy from the equations in docs/method.md, the companion's figures
for the same design, and the companion's refusals in Python's words."""
import json
import math
import os
import subprocess

import numpy
import pytest
from scipy.integrate import solve_ivp
from scipy.interpolate import CubicSpline

import rotary_ratio

TOOL = os.environ["ROTARY_RATIO"]
DOCS = os.path.join(os.path.dirname(__file__), "..", "..", "docs")


def test_the_closed_chamber_gives_the_otto_efficiency_at_the_engines_ratio():
    r = rotary_ratio.exact_limit(15, 105, 80).compression_ratio
    for gamma in (1.4, 1.3):
        made = rotary_ratio.cycle(15, 105, 80, rpm=3000, gamma=gamma, heat_transfer=0, burn=0,
                                  seal_gap=0)
        assert made.indicated_efficiency == pytest.approx(1 - r ** (1 - gamma), abs=1e-6)
        assert "single-zone model" in made.cycle_model
    # What the closed chamber traps: the intake plenum's charge, p V / R T, in its volume at
    # bottom dead centre, the capacity and the dead volume (cm^3 to m^3).
    limit = rotary_ratio.exact_limit(15, 105, 80)
    air = 8.314462618 / (0.79 * 0.0280134 + 0.21 * 0.0319988)
    volume = (limit.chamber_capacity + limit.dead_volume) * 1e-6
    assert made.trapped_mass == pytest.approx(101300 * volume / (air * 298), rel=1e-9)


@pytest.mark.parametrize("fired", [False, True])
def test_an_integration_of_our_own_gives_the_same_pressure(fired):
    """Motored (compared until the spark, 179 degrees after top dead centre) and fired, constant
    gamma, no loss: dp/dtheta = ((gamma - 1) dQ/dtheta - gamma p dV/dtheta) / V, with the
    tool's V from its volume curve and the Wiebe function of docs/method.md."""
    gamma, rpm, lhv, afr = 1.35, 3000, 43.5e6, 14.7
    arguments = dict(rpm=rpm, gamma=gamma, heat_transfer=0, seal_gap=0, afr=afr, burn=60.0,
                     spark=25.0 if fired else -179.0)
    made = rotary_ratio.cycle(15, 105, 80, **arguments)
    curve = rotary_ratio.volume_curve(15, 105, 80)
    # Unwrapped over the closed cycle, 810 to 1350, volumes in m^3.
    angles = numpy.arange(0, 2161)
    volumes = numpy.interp(angles % 1080, curve.shaft_angle_deg, curve.volume) * 1e-6
    V = CubicSpline(angles, volumes)
    dV = V.derivative()
    R = 8.314462618 / (0.79 * 0.0280134 + 0.21 * 0.0319988)
    p0, T0 = 101300.0, 298.0
    m = p0 * V(810) / (R * T0)
    fuel = m / (1 + afr)
    start = 1080 - arguments["spark"]
    a, mw = 5.0, 2.0

    def heat_rate(theta):
        if theta <= start:
            return 0.0
        s = (theta - start) / arguments["burn"]
        return fuel * lhv * a * (mw + 1) / arguments["burn"] * s ** mw * math.exp(-a * s ** (mw + 1))

    def rate(theta, p):
        return [((gamma - 1) * heat_rate(theta) - gamma * p[0] * dV(theta)) / V(theta)]

    last = 1350 if fired else int(start)
    compared = numpy.arange(810, last + 1)
    ours = solve_ivp(rate, (810, last), [p0], t_eval=compared, rtol=1e-11, atol=1e-6,
                     method="DOP853", max_step=0.5)
    theirs = numpy.interp(compared % 1080, made.shaft_angle_deg, made.pressure * 1e5)
    assert numpy.max(numpy.abs(ours.y[0] / theirs - 1)) < 1e-4


def companion(*args):
    done = subprocess.run([TOOL, *args, "--format", "json"], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout)[0]


def test_the_figures_equal_the_companions():
    intake = os.path.join(DOCS, "side-intake.csv")
    row = companion("--seal-offset", "2", "--clearance", "0.1", "--intake-port", intake,
                    "--peripheral-exhaust", "42.5,54.4,30", "--cycle", "6000", "--spark", "20",
                    "--rotors", "2")
    made = rotary_ratio.cycle(15, 105, 80, rpm=6000, seal_offset=2, clearance=0.1,
                              intake=intake, peripheral_exhaust=(42.5, 54.4, 30), spark=20,
                              rotors=2)
    for name in ("imep_net", "imep_gross", "pmep", "volumetric_efficiency", "residual_fraction",
                 "indicated_work", "indicated_efficiency", "indicated_power", "indicated_torque",
                 "peak_pressure", "peak_pressure_deg", "heat_lost", "cycles_to_converge"):
        assert float(f"{getattr(made, name):.9g}") == row[name], name
    assert made.cycle_model == row["cycle_model"]
    assert len(made.pressure) == 1081


@pytest.mark.parametrize("arguments,words", [
    (dict(afr=5), "afr: 5 is not an air-fuel ratio that burns"),
    (dict(discharge=1.5), "discharge: 1.5 is not a discharge coefficient"),
    (dict(rpm=-3000), "rpm: -3000 is not a shaft speed above 0"),
    (dict(peripheral_exhaust=(42.5, 54.4, 30)), "rpm needs an intake port and an exhaust port"),
])
def test_refusals_name_the_value(arguments, words):
    given = dict(rpm=3000)
    given.update(arguments)
    with pytest.raises(rotary_ratio.DesignError, match=words):
        rotary_ratio.cycle(15, 105, 80, **given)


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True)


def test_the_companion_sweeps_speeds_and_refuses_what_cannot_run(tmp_path):
    intake = os.path.join(DOCS, "side-intake.csv")
    ports = ["--seal-offset", "2", "--clearance", "0.1", "--intake-port", intake,
             "--peripheral-exhaust", "42.5,54.4,30"]
    done = run(*ports, "--cycle", "2000:4000:1000", "--format", "json")
    assert done.returncode == 0, done.stderr
    rows = json.loads(done.stdout)
    assert [row["cycle_model"].split(" rpm")[0][-4:] for row in rows] == ["2000", "3000", "4000"]
    assert all(row["imep_net"] > 0 for row in rows)
    # The curve: a line naming the model, a header and a row a degree.
    curve = tmp_path / "cycle.csv"
    assert run(*ports, "--cycle", "3000", "--cycle-curve", str(curve)).returncode == 0
    lines = curve.read_text().splitlines()
    assert lines[0].startswith("# single-zone model at 3000 rpm")
    assert lines[1].startswith("shaft_angle_deg,volume,pressure_bar")
    assert len(lines) == 2 + 1081
    for args, words in [
        (["--cycle", "3000", "--afr", "5"], "--afr: \"5\" is not an air-fuel ratio that burns"),
        (["--cycle", "3000", "--peripheral-exhaust", "42.5,54.4,30"], "needs an intake port"),
        (["--spark", "20"], "--spark goes with --cycle"),
        (["--cycle", "-1"], "--cycle: \"-1\" is not a shaft speed above 0"),
        (["--cycle", "3000", "--seal-gap", "0.01"], "--seal-gap: \"0.01\" leaks to the chambers"),
        (["--cycle", "3000", "--cycle-curve", str(tmp_path / "no.csv"), "--afr", "40"],
         "--afr: \"40\" is not an air-fuel ratio"),
    ]:
        refused = run(*args)
        assert refused.returncode == 2 and words in refused.stderr, (args, refused.stderr)
    assert not (tmp_path / "no.csv").exists()


def test_the_charts_name_the_model(tmp_path):
    intake = os.path.join(DOCS, "side-intake.csv")
    ports = ["--seal-offset", "2", "--clearance", "0.1", "--intake-port", intake,
             "--peripheral-exhaust", "42.5,54.4,30"]
    for speeds, name in (("6000", "pv.svg"), ("2000:6000:2000", "power.svg")):
        chart = tmp_path / name
        done = run(*ports, "--cycle", speeds, "--chart", str(chart))
        assert done.returncode == 0, done.stderr
        text = chart.read_text()
        assert "single-zone model" in text and "A model:" in text, name
    png = tmp_path / "pv.png"
    assert run(*ports, "--cycle", "6000", "--chart", str(png)).returncode == 0
    assert png.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_an_array_of_speeds_gives_the_power_curve_as_each_speed_alone():
    intake = os.path.join(DOCS, "side-intake.csv")
    ports = dict(seal_offset=2, clearance=0.1, intake=intake, peripheral_exhaust=(42.5, 54.4, 30))
    speeds = numpy.array([[2000.0, 6000.0], [9000.0, -5.0]])
    curve = rotary_ratio.cycle(15, 105, 80, rpm=speeds, **ports)
    assert curve["indicated_power"].shape == (2, 2)
    for index in ((0, 0), (0, 1), (1, 0)):
        alone = rotary_ratio.cycle(15, 105, 80, rpm=speeds[index], **ports)
        assert curve["indicated_power"][index] == alone.indicated_power
        assert curve["imep_net"][index] == alone.imep_net
        assert curve["message"][index] is None
    assert math.isnan(curve["imep_net"][1, 1])
    assert "rpm: -5 is not a shaft speed above 0" in curve["message"][1, 1]


def test_arrays_of_lengths_and_speeds_broadcast_into_a_study_as_the_companions():
    """e and rpm as arrays of shapes (3,) and (2, 1): a (2, 3) study of closed chambers, each
    engine what cycle() gives it alone and what the companion's study of the same engines gives
    (to the digits its CSV prints)."""
    settings = dict(gamma=1.35, heat_transfer=0, burn=40)
    eccentricities = numpy.array([14.0, 15.0, 16.0])
    speeds = numpy.array([[3000.0], [6000.0]])
    found = rotary_ratio.cycle(eccentricities, 105, 80, rpm=speeds, **settings)
    assert found["imep_net"].shape == (2, 3)
    assert (found["e"] == numpy.broadcast_to(eccentricities, (2, 3))).all()
    assert (found["rpm"] == numpy.broadcast_to(speeds, (2, 3))).all()
    assert (found["W"] == 80).all()
    alone = rotary_ratio.cycle(16, 105, 80, rpm=6000, **settings)
    assert found["imep_net"][1, 2] == alone.imep_net
    assert found["indicated_power"][1, 2] == alone.indicated_power
    done = run("--eccentricity", "14:16:1", "--cycle", "3000", "--cycle-gamma", "1.35",
               "--heat-transfer", "0", "--burn", "40", "--format", "json")
    assert done.returncode == 0, done.stderr
    rows = json.loads(done.stdout)
    assert [row["eccentricity"] for row in rows] == [14, 15, 16]
    for row, imep, power in zip(rows, found["imep_net"][0], found["indicated_power"][0]):
        assert imep == pytest.approx(row["imep_net"], rel=1e-8)
        assert power == pytest.approx(row["indicated_power"], rel=1e-8)
    # A larger eccentricity on the same rotor: a smaller K, a lower ratio, and less of the fuel's
    # heat made work, as the Otto cycle's efficiency falls with the ratio.
    ratios = [rotary_ratio.exact_limit(e, 105, 80).compression_ratio for e in eccentricities]
    assert numpy.all(numpy.diff(ratios) < 0)
    assert numpy.all(numpy.diff(found["indicated_efficiency"], axis=1) < 0)
    with pytest.raises(ValueError, match="do not broadcast together"):
        rotary_ratio.cycle(eccentricities, numpy.array([100.0, 105.0]), 80, rpm=3000)


def test_a_study_across_a_windows_edge_gives_each_window_its_own_cycle():
    """The exhaust's leading edge moved from 36 to 48 degrees of the bore: a row a window, each
    the figures Python's cycle() and ports() give that window alone; the later the edge, the
    later the exhaust opens and the more the chamber pumps."""
    intake = os.path.join(DOCS, "side-intake.csv")
    done = run("--seal-offset", "2", "--clearance", "0.1", "--intake-port", intake,
               "--peripheral-exhaust", "36:48:4,54.4,30", "--cycle", "6000", "--format", "json")
    assert done.returncode == 0, done.stderr
    rows = json.loads(done.stdout)
    exhausts = [row["ports"][1] for row in rows]
    assert [port["source"] for port in exhausts] == [f"{a},54.4,30" for a in (36, 40, 44, 48)]
    for edge, row in zip((36, 40, 44, 48), rows):
        window = (edge, 54.4, 30)
        alone = rotary_ratio.cycle(15, 105, 80, rpm=6000, seal_offset=2, clearance=0.1,
                                   intake=intake, peripheral_exhaust=window)
        assert alone.imep_net == pytest.approx(row["imep_net"], rel=1e-8)
        assert alone.pmep == pytest.approx(row["pmep"], rel=1e-8)
        timing = rotary_ratio.ports(15, 105, 80, seal_offset=2, clearance=0.1, intake=intake,
                                    peripheral_exhaust=window)
        assert timing.ports[1]["opens_deg"] == pytest.approx(row["ports"][1]["opens_deg"],
                                                             rel=1e-8)
    assert numpy.all(numpy.diff([port["opens_deg"] for port in exhausts]) > 0)
    assert rows[-1]["pmep"] > rows[0]["pmep"]
    refused = run("--peripheral-exhaust", "36:48:x,54.4,30", "--intake-port", intake,
                  "--cycle", "6000")
    assert refused.returncode == 2 and refused.stdout == ""
    assert "--peripheral-exhaust: \"36:48:x\"" in refused.stderr, refused.stderr
    # No chart has a window's edge for its axis: refused, rather than a chart of nothing.
    refused = run("--peripheral-exhaust", "36:48:4,54.4,30", "--intake-port", intake,
                  "--chart", "edges.svg")
    assert refused.returncode == 2 and "not across a window's edges" in refused.stderr
