"""The solids from Python against the companion's for the same designs: the same figures, the
same STL bytes, every file or none, and the companion's refusals in Python's words."""
import json
import os
import pathlib
import subprocess

import pytest

import rotary_ratio

TOOL = os.environ["ROTARY_RATIO"]

FIGURES = ("rotor_volume", "rotor_mass", "rotor_centre_offset", "rotor_moment_of_inertia",
           "counterweight", "housing_cavity_volume", "curve_deviation", "rotor_eccentric_load",
           "recess_depth")

# Each design as the companion's options and as solids()'s arguments.
DESIGNS = [
    (["--seal-offset", "2", "--clearance", "0.1"], dict(seal_offset=2, clearance=0.1)),
    (["--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "9.4", "--recess-pocket",
      "60,30,5", "--apex-slot", "2,8", "--rpm", "6000", "--rotors", "2"],
     dict(seal_offset=2, clearance=0.1, target_ratio=9.4, recess_pocket=(60, 30, 5),
          apex_slot=(2, 8), rpm=6000, rotors=2)),
    (["--eccentricity", "1.5", "--rotor-radius", "10.5", "--chamber-width", "8", "--units", "cm",
      "--seal-offset", "0.2", "--recess", "20", "--recess-pocket", "6,3,0", "--shaft-angle",
      "100", "--peripheral-exhaust", "250,290,3", "--density", "2.7"],
     dict(e=1.5, R=10.5, W=8, units="cm", seal_offset=0.2, recess=20,
          recess_pocket=(6, 3, 0), shaft_angle=100, peripheral_exhaust=(250, 290, 3),
          density=2.7)),
]


def companion(folder, *args):
    done = subprocess.run([TOOL, *args, "--format", "json"], cwd=folder, capture_output=True,
                          text=True)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout)[0]


@pytest.mark.parametrize("options,arguments", DESIGNS)
def test_solids_equal_the_companions(tmp_path, options, arguments):
    row = companion(tmp_path, *options, "--stl", "tool.stl")
    lengths = dict(e=15, R=105, W=80)
    lengths.update({k: arguments.pop(k) for k in ("e", "R", "W") if k in arguments})
    made = rotary_ratio.solids(lengths["e"], lengths["R"], lengths["W"],
                               stl=tmp_path / "python.stl", **arguments)
    for name in FIGURES:
        given = getattr(made, name)
        if row.get(name) is None:
            assert given is None, name
        else:
            # The companion prints nine significant digits of the same number.
            assert float(f"{given:.9g}") == row[name], name
    for part in ("rotor", "rotor_housing", "side_housing_front", "side_housing_rear"):
        ours = (tmp_path / f"python-{part}.stl").read_bytes()
        assert ours == (tmp_path / f"tool-{part}.stl").read_bytes(), part
    assert len(made.files) == 4
    assert made.part_volumes["ROTOR"] == pytest.approx(made.rotor_volume, rel=1e-12)


def test_a_file_that_cannot_be_written_leaves_none(tmp_path):
    (tmp_path / "taken").mkdir()
    with pytest.raises(OSError, match="names a folder"):
        # The last part's name is a folder: no file of the four may stay.
        (tmp_path / "taken-rotor.stl").mkdir()
        rotary_ratio.solids(15, 105, 80, step=tmp_path / "taken.step", stl=tmp_path / "taken.stl")
    assert sorted(p.name for p in tmp_path.iterdir()) == ["taken", "taken-rotor.stl"]


@pytest.mark.parametrize("arguments,words", [
    (dict(seal_offset=2, recess=15, recess_pocket=(20, 20, 0)),
     "recess_pocket: (20, 20, 0) is 40.62.. deep, deeper than the rotor at its bore"),
    (dict(seal_offset=2, recess=15, recess_pocket=(20, 90, 0)),
     "recess_pocket: (20, 90, 0) is wider than the rotor"),
    (dict(seal_offset=2, recess_pocket=(20, 20, 0)),
     "recess_pocket goes with recess or target ratio"),
    (dict(apex_slot=(2, 70)), "apex_slot: (2, 70) reaches the rotor's bore"),
    (dict(rotor_bore=100), "rotor_bore: 100 reaches the rotor's flank"),
])
def test_refusals_name_the_value_and_write_nothing(tmp_path, arguments, words):
    with pytest.raises(rotary_ratio.DesignError, match=words.replace("(", r"\(").replace(")", r"\)")):
        rotary_ratio.solids(15, 105, 80, step=tmp_path / "engine.step", **arguments)
    assert not list(tmp_path.iterdir())


def test_real_engine_gives_the_pockets_depth_as_the_companion():
    with_pocket = rotary_ratio.real_engine(15, 105, 80, seal_offset=2, clearance=0.1,
                                           target_ratio=9.4, recess_pocket=(60, 30, 5))
    row = companion(".", "--seal-offset", "2", "--clearance", "0.1", "--target-ratio", "9.4",
                    "--recess-pocket", "60,30,5")
    assert float(f"{with_pocket.recess_depth:.9g}") == row["recess_depth"]
    assert float(f"{with_pocket.surface_to_volume_tdc:.9g}") == row["surface_to_volume_tdc"]
    assert rotary_ratio.real_engine(15, 105, 80, seal_offset=2).recess_depth is None
