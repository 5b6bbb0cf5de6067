"""The ports in Python: the companion's timing and port curve to the digit, the port edge's round
trip from arrays, and the companion's refusals as ValueError."""
import csv
import json
import os
import subprocess
import tempfile

import numpy
import pytest

import rotary_ratio

TOOL = os.environ["ROTARY_RATIO"]
DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs")
INTAKE = os.path.join(DOCS, "side-intake.csv")


def companion(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, check=True).stdout


def test_ports_are_the_companions():
    engine = ["--seal-offset", "2", "--clearance", "0.1"]
    ports = ["--intake-port", INTAKE, "--peripheral-exhaust", "42.5,54.4,30"]
    said = json.loads(companion(*engine, *ports, "--format", "json"))[0]
    found = rotary_ratio.ports(15, 105, 80, intake=INTAKE, peripheral_exhaust=(42.5, 54.4, 30),
                               seal_offset=2, clearance=0.1, angle_step=5)
    assert [port["kind"] for port in found.ports] == ["side", "peripheral"]
    for ours, theirs in zip(found.ports, said["ports"]):
        for key in ("opens_deg", "closes_deg", "open_deg", "largest_area", "angle_area"):
            assert ours[key] == pytest.approx(theirs[key], rel=1e-8), key
    for key in ("overlap_deg", "effective_compression_ratio", "effective_expansion_ratio"):
        assert getattr(found, key) == pytest.approx(said[key], rel=1e-8), key
    assert found.rotation == "counterclockwise"
    rows = list(csv.DictReader(line for line in companion(
        *engine, *ports, "--port-curve", "-", "--angle-step", "5").splitlines()
        if not line.startswith("#")))
    assert found.open_area.shape == (2, len(rows))
    for n, row in enumerate(rows):
        assert found.shaft_angle_deg[n] == float(row["shaft_angle_deg"])
        assert found.volume[n] == float(row["volume"])
        for port in range(2):
            assert found.open_area[port, n] == float(row[f"port{port + 1}_open_area"])


# Away from the dead centres, where the flank stands nearly still across itself.
@pytest.mark.parametrize("angle", [200.0, 620.0])
def test_a_port_on_the_edge_opens_or_closes_at_its_angle(angle):
    edge = rotary_ratio.port_edge(15, 105, 80, angle, seal_offset=2, clearance=0.1)
    piece = edge[len(edge) // 2 - 100:len(edge) // 2 + 100]
    phi = numpy.radians(angle)
    centre = numpy.array([15 * numpy.sin(phi), -15 * numpy.cos(phi)])
    towards = (centre - piece) / numpy.linalg.norm(centre - piece, axis=1)[:, None]
    outline = numpy.vstack([piece, (piece + 4 * towards)[::-1]])
    role = "intake" if angle > 540 else "exhaust"
    found = rotary_ratio.ports(15, 105, 80, seal_offset=2, clearance=0.1, **{role: outline})
    port = found.ports[0]
    assert min(abs(port["opens_deg"] - angle), abs(port["closes_deg"] - angle)) < 1e-6


def test_refusals_are_the_companions_words():
    crossing = [(-95, -10), (-70, -10), (-92, 12), (-65, 10)]
    with pytest.raises(ValueError, match="crosses itself"):
        rotary_ratio.ports(15, 105, 80, intake=numpy.array(crossing))
    with pytest.raises(ValueError, match="lies wholly outside the bore"):
        rotary_ratio.ports(15, 105, 80, exhaust=numpy.array([(300, 0), (310, 0), (310, 10)]))
    with pytest.raises(ValueError, match="has no width above 0"):
        rotary_ratio.ports(15, 105, 80, peripheral_intake=(150, 175, 0))
    with pytest.raises(ValueError, match="No such file or directory"):
        rotary_ratio.ports(15, 105, 80, intake=os.path.join(tempfile.gettempdir(), "none.csv"))
    with pytest.raises(ValueError, match="no port given"):
        rotary_ratio.ports(15, 105, 80)
    with pytest.raises(ValueError, match="not a shaft angle from 0 to 1080"):
        rotary_ratio.port_edge(15, 105, 80, 1200)
