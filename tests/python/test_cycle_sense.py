"""The working cycle makes sense on an engine like the production one: side ports drawn on the
port-edge templates for its timing (intake 3 ATDC to 60 ABDC, exhaust 40 BBDC to 3 BTDC), each as
large as the side housing allows between those edges, compression ratio 10, 654 cm^3 a chamber,
two rotors, 8500 rpm. The production engine of these dimensions makes about 10 bar BMEP there
(184 kW); a single-zone model's indicated mean effective pressure must lie within 8 to 16 bar.
Not an exactness check: a sense check, its figure in docs/method.md."""
import numpy
import pytest
from shapely.geometry import Polygon
from shapely.ops import unary_union

import rotary_ratio

E, R, W = 15.0, 105.0, 80.0
INTAKE = (543.0, 870.0)   # 3 ATDC, 60 ABDC: top dead centre at 540, bottom at 810
EXHAUST = (230.0, 537.0)  # 40 BBDC, 3 BTDC: bottom dead centre at 270, top at 540


def bore(samples=4096):
    a = numpy.linspace(0, 2 * numpy.pi, samples, endpoint=False)
    return numpy.column_stack((E * numpy.cos(3 * a) + R * numpy.cos(a),
                               E * numpy.sin(3 * a) + R * numpy.sin(a)))


BORE = bore()


def footprint(angle):
    """The chamber on the side housing at a shaft angle: its flank, the template's line, closed
    by the bore between its apexes, on the side away from the rotor (the smaller of the two)."""
    flank = rotary_ratio.port_edge(E, R, W, angle)[::8]
    a, b = (int(numpy.argmin(numpy.hypot(*(BORE - point).T))) for point in (flank[0], flank[-1]))
    n = len(BORE)
    # From the flank's end back to its start along the bore, one way round and the other.
    ways = (numpy.arange(b, b + (a - b) % n + 1) % n, numpy.arange(b, b - (b - a) % n - 1, -1) % n)
    return min((Polygon(numpy.vstack((flank, BORE[way]))).buffer(0) for way in ways),
               key=lambda p: p.area)


def port_between(opens, closes, step=0.5):
    """What the chamber uncovers between the two angles and never outside them: every point of
    it opens after `opens` and closes before `closes`. Half a millimetre in from that, for the
    flank's travel between the angles sampled."""
    inside = numpy.arange(opens, closes + step / 2, step)
    outside = [a for a in numpy.arange(0, 1080, step) if not opens - step < a < closes + step]
    within = unary_union([footprint(a) for a in inside])
    beyond = unary_union([footprint(a) for a in outside])
    port = within.difference(beyond).buffer(-0.05)
    if port.geom_type == "MultiPolygon":
        port = max(port.geoms, key=lambda p: p.area)
    return numpy.asarray(port.exterior.coords)


@pytest.fixture(scope="module")
def ports():
    return port_between(*INTAKE), port_between(*EXHAUST)


def test_the_ports_drawn_on_the_templates_keep_the_production_timing(ports):
    intake, exhaust = ports
    timing = rotary_ratio.ports(E, R, W, intake=intake, exhaust=exhaust, angle_step=0.5)
    for port, (opens, closes) in zip(timing.ports, (INTAKE, EXHAUST)):
        assert port["openings"] == 1
        assert port["opens_deg"] == pytest.approx(opens, abs=2)
        assert port["closes_deg"] == pytest.approx(closes, abs=2)


def test_the_production_like_engine_makes_a_sensible_mean_effective_pressure(ports):
    intake, exhaust = ports
    made = rotary_ratio.cycle(E, R, W, rpm=8500, target_ratio=10, rotors=2, intake=intake,
                              exhaust=exhaust)
    print(f"\nproduction-like engine at 8500 rpm: IMEP {made.imep_net:.2f} bar net, "
          f"{made.imep_gross:.2f} gross, PMEP {made.pmep:.3f}, indicated power "
          f"{made.indicated_power:.1f} kW, volumetric efficiency {made.volumetric_efficiency:.3f}, "
          f"ports {Polygon(intake).area:.0f} and {Polygon(exhaust).area:.0f} mm^2")
    assert 8 <= made.imep_net <= 16, made
