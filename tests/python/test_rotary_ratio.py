"""The Python module against the companion, as a notebook uses it: the same figures to the last
bit, numpy's broadcasting, NaN and the message where an engine has none, the companion's
messages as ValueError, the GIL released while a study runs, and Ctrl-C stopping it."""
import csv
import io
import json
import os
import signal
import subprocess
import sys
import threading
import time

import numpy
import pytest

import rotary_ratio

TOOL = os.environ["ROTARY_RATIO"]


def companion(*args):
    done = subprocess.run([TOOL, *args], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


ENGINES = [(15, 105, 80, 100), (15, 105, 80, 1000), (10, 100, 60, 100), (7.5, 53, 40, 200),
           (20, 105, 80, 52), (0.5, 12.25, 3, 400)]


@pytest.mark.parametrize("e,R,W,N", ENGINES)
def test_sweep_is_the_companions(e, R, W, N):
    found = rotary_ratio.sweep(e, R, W, steps=N)
    status, out, _ = companion("--eccentricity", str(e), "--rotor-radius", str(R),
                               "--chamber-width", str(W), "--steps", str(N), "--profiles", "-")
    assert status == 0
    lines = out.splitlines()
    figures = next(line for line in lines if line.startswith("# chamber capacity"))
    assert figures == (f"# chamber capacity {found.chamber_capacity:g}, dead volume "
                       f"{found.dead_volume:g}, compression ratio {found.compression_ratio:g}")
    rows = list(csv.DictReader(line for line in lines if not line.startswith("#")))
    assert len(rows) == 801 == len(found.profiles.envelope)
    for name in ("s", "envelope", "tdcline", "bdcline"):
        # 17 digits read back as the very doubles: bit for bit.
        assert numpy.array_equal(getattr(found.profiles, name),
                                 numpy.array([float(row[name]) for row in rows])), name


@pytest.mark.parametrize("e,R,W,N", ENGINES)
def test_exact_and_real_engine_and_curve_are_the_companions(e, R, W, N):
    exact = rotary_ratio.exact_limit(e, R, W)
    status, out, _ = companion("--eccentricity", str(e), "--rotor-radius", str(R),
                               "--chamber-width", str(W), "--format", "json",
                               "--seal-offset", "1", "--clearance", "0.05", "--recess", "2")
    row = json.loads(out)[0]
    assert exact.chamber_capacity == pytest.approx(row["exact_chamber_capacity"], rel=1e-8)
    assert exact.compression_ratio == pytest.approx(row["exact_compression_ratio"], rel=1e-8)
    real = rotary_ratio.real_engine(e, R, W, seal_offset=1, clearance=0.05, recess=2)
    assert real.dead_volume == pytest.approx(row["real_dead_volume"], rel=1e-8)
    assert real.compression_ratio == pytest.approx(row["real_compression_ratio"], rel=1e-8)
    # The curve's rows have 17 digits: bit for bit.
    curve = rotary_ratio.volume_curve(e, R, W, seal_offset=1, clearance=0.05, recess=2,
                                      angle_step=5)
    status, out, _ = companion("--eccentricity", str(e), "--rotor-radius", str(R),
                               "--chamber-width", str(W), "--seal-offset", "1", "--clearance",
                               "0.05", "--recess", "2", "--volume-curve", "-", "--angle-step", "5")
    rows = list(csv.DictReader(line for line in out.splitlines() if not line.startswith("#")))
    # Named as the companion's columns, every one of them.
    assert list(rows[0]) == [name for name in curve.__dataclass_fields__
                             if getattr(curve, name) is not None]
    for column in rows[0]:
        written = [float(r[column]) for r in rows]
        if column == "rotor_angle_deg":  # a third of the shaft's, written to 15 digits
            assert numpy.allclose(curve.rotor_angle_deg, written, rtol=1e-14, atol=0), column
        else:
            assert numpy.array_equal(getattr(curve, column), written), column
    assert curve.volume[0] == real.dead_volume


def test_study_broadcasts_as_numpy_does():
    e = numpy.array([10.0, 15.0, 20.0])[:, None]
    found = rotary_ratio.study(e, 105, [80, 90], method="exact")
    assert found["exact_compression_ratio"].shape == (3, 2)
    assert found["message"].shape == (3, 2)
    assert found["steps"].shape == (3, 2)
    for i, ecc in enumerate((10, 15, 20)):
        for j, W in enumerate((80, 90)):
            one = rotary_ratio.exact_limit(ecc, 105, W)
            assert found["exact_chamber_capacity"][i, j] == one.chamber_capacity
            assert found["eccentricity"][i, j] == ecc and found["chamber_width"][i, j] == W
    real = rotary_ratio.study(15, 105, 80, seal_offset=numpy.arange(4.0), clearance=0.1)
    assert real["real_dead_volume"].shape == (4,)
    assert numpy.all(numpy.diff(real["real_chamber_capacity"]) > 0)
    assert rotary_ratio.study(15, 105, 80)["exact_compression_ratio"].shape == ()


def test_study_gives_nan_and_the_message_where_an_engine_has_no_figures():
    found = rotary_ratio.study([0, 15, 35, 15], 105, 80, steps=100, method="sweep",
                               seal_offset=[0, 0, 0, 200])
    assert numpy.isnan(found["compression_ratio"][0])
    assert "circle" in found["message"][0]
    assert found["compression_ratio"][1] == 18.47 and found["message"][1] == ""
    assert numpy.isnan(found["exact_compression_ratio"][2])
    assert numpy.isnan(found["real_compression_ratio"][3])
    assert "must stay below 120" in found["message"][3]


@pytest.mark.parametrize("call,words", [
    (lambda: rotary_ratio.exact_limit(-5, 105, 80), 'eccentricity: "-5" is negative'),
    (lambda: rotary_ratio.exact_limit(35, 105, 80), "No exact figures: with a rotor radius"),
    (lambda: rotary_ratio.sweep(0, 105, 80), "No compression ratio"),
    (lambda: rotary_ratio.sweep(15, 105, 80, steps=10), "step count: 10 is not between 50"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, seal_offset=130), "must stay below 120"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, clearance=80), "leaves no rotor flank"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, target_ratio=30), "ratio 30 is above the limit"),
    (lambda: rotary_ratio.study(15, 105, 80, method="closed"), 'method: "closed"'),
    (lambda: rotary_ratio.volume_curve(15, 105, 80, angle_step=0), "angle step: 0"),
])
def test_bad_input_raises_the_companions_message(call, words):
    with pytest.raises(ValueError, match=words):
        call()


def test_version_is_the_programs():
    assert companion("--version")[1].strip() == f"rotary-ratio {rotary_ratio.__version__}"


def test_a_study_leaves_python_free_to_run():
    # Another thread notes the time as often as it can while a study of about a second runs.
    times = []
    done = threading.Event()

    def note_the_time():
        while not done.is_set():
            times.append(time.monotonic())
            time.sleep(0.001)

    thread = threading.Thread(target=note_the_time)
    thread.start()
    started = time.monotonic()
    rotary_ratio.study(numpy.linspace(5, 34, 1000), 105, 80, steps=1000, method="sweep")
    ended = time.monotonic()
    done.set()
    thread.join()
    assert ended - started > 0.5, "the study was too short to tell"
    # Had the study held the GIL, the other thread would have noted nothing in the middle of it.
    middle = [t for t in times if started + 0.2 < t < ended - 0.2]
    assert len(middle) > (ended - started - 0.4) * 100



def test_a_study_takes_each_engine_as_numpy_takes_each_element():
    # One bad value is that engine's NaN and message, never the whole study's error.
    e = numpy.array([15, numpy.nan, numpy.inf, -5, 15, 15, 15], dtype=object)
    e[4] = None
    found = rotary_ratio.study(e.astype(float), 105, 80, method="sweep",
                               steps=[100, 100, 100, 100, 100, 100.7, 1e12])
    assert found["compression_ratio"][0] == 18.47 and found["message"][0] == ""
    for i, words in ((1, "eccentricity: NaN is not a number"),
                     (2, "eccentricity: Infinity is not a number"),
                     (3, 'eccentricity: "-5" is negative'),
                     (4, "eccentricity: NaN is not a number"),
                     (5, "step count: 100.7 is not a whole number between 50 and 20000"),
                     (6, "step count: 1000000000000 is not a whole number")):
        assert numpy.isnan(found["compression_ratio"][i]), i
        assert numpy.isnan(found["exact_compression_ratio"][i]), i
        assert words in found["message"][i], (i, found["message"][i])
    # None among the values of a list is NaN too, as numpy makes it.
    assert "NaN is not a number" in rotary_ratio.study([15, None], 105, 80)["message"][1]
    # What no element can take is still an error.
    with pytest.raises(TypeError, match="e: 'abc'"):
        rotary_ratio.study("abc", 105, 80)
    with pytest.raises(ValueError, match='method: "closed"'):
        rotary_ratio.study(15, 105, 80, method="closed")


@pytest.mark.parametrize("call,words", [
    (lambda: rotary_ratio.real_engine(15, 105, 80, rotors=0), "rotors: 0 is not a whole number"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, rotors=-2), "rotors: -2 is not a whole number"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, rotors=2.7), "rotors: 2.7 is not a whole"),
    (lambda: rotary_ratio.study(15, 105, 80, rotors=2.7), "rotors: 2.7 is not a whole"),
    (lambda: rotary_ratio.sweep(15, 105, 80, steps=100.7), "step count: 100.7 is not a whole"),
    (lambda: rotary_ratio.sweep(15, 105, 80, steps=float("nan")), "step count: NaN is not"),
    (lambda: rotary_ratio.sweep(15, 105, 80, steps=1e12), "step count: 1000000000000 is not"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, target_ratio=0), "0 is not a ratio above 1"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, target_ratio=-3), "-3 is not a ratio above 1"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, target_ratio=1), "1 is not a ratio above 1"),
    (lambda: rotary_ratio.real_engine(15, 105, 80, target_ratio=float("nan")),
     "NaN is not a ratio above 1"),
    (lambda: rotary_ratio.study(15, 105, 80, gear_module=0), "gear module: 0 is not a length"),
])
def test_values_the_companion_refuses_are_refused(call, words):
    with pytest.raises(ValueError, match=words):
        call()


def test_a_study_has_the_companions_columns_and_figures():
    args = ["--eccentricity", "10:20:5", "--seal-offset", "2", "--target-ratio", "9.4",
            "--rotors", "2", "--gear-module", "2.5", "--method", "exact", "--format", "csv"]
    status, out, _ = companion(*args)
    rows = list(csv.DictReader(io.StringIO(out)))
    found = rotary_ratio.study([10, 15, 20], 105, 80, seal_offset=2, target_ratio=9.4, rotors=2,
                               gear_module=2.5)
    for name in rows[0]:
        assert name in found or name == "length_unit", name
    for i, row in enumerate(rows):
        for name, value in row.items():
            if name in ("note", "message") or value == "":
                continue
            assert found[name][i] == pytest.approx(float(value), rel=1e-8), (i, name)
        assert found["note"][i].replace("\n", " ") == row["note"], i
    # No step count in an exact row, as the companion leaves it empty; any steps= is left alone.
    assert numpy.all(numpy.isnan(found["steps"]))
    assert rotary_ratio.study(15, 105, 80, steps=10)["message"][()] == ""
    # The gear past the flank is noted where the companion notes it.
    noted = rotary_ratio.study(25, 105, 80)
    assert "internal gear does not fit" in noted["note"][()]
    assert noted["displacement"] == pytest.approx(1091.19201, rel=1e-8)


def test_results_read_in_one_line():
    assert repr(rotary_ratio.exact_limit(15, 105, 80)) == (
        "ExactLimit(chamber_capacity=654.715205, dead_volume=37.8761046, "
        "compression_ratio=18.2857059)")
    for result in (rotary_ratio.sweep(15, 105, 80), rotary_ratio.volume_curve(15, 105, 80),
                   rotary_ratio.real_engine(15, 105, 80, seal_offset=2, target_ratio=9.4)):
        assert "\n" not in repr(result) and len(repr(result)) < 400, repr(result)[:200]
    # numpy's own numbers are numbers.
    assert rotary_ratio.exact_limit(numpy.float32(15), numpy.int64(105),
                                    numpy.float64(80)).chamber_capacity > 654


@pytest.mark.parametrize("call", [
    "rotary_ratio.study(numpy.linspace(5, 34, 20000), 105, 80, steps=20000, method='sweep')",
    "rotary_ratio.volume_curve(15, 105, 80, angle_step=0.0005 + 0.0005)",
    "rotary_ratio.study(numpy.linspace(5, 34, 3_000_000), 105, 80)",
])
def test_ctrl_c_stops_every_long_call(call):
    # It must stop; the second it takes on an idle machine is the benchmark's to measure.
    script = ("import numpy, rotary_ratio, sys, time\n"
              "print('started', flush=True)\n"
              "try:\n"
              f"    {call}\n"
              "    print('finished', flush=True)\n"
              "except KeyboardInterrupt:\n"
              "    print('interrupted', flush=True)\n")
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True,
                             env=dict(os.environ))
    try:
        assert child.stdout.readline().strip() == "started"
        time.sleep(0.5)
        sent = time.monotonic()
        child.send_signal(signal.SIGINT)
        out, _ = child.communicate(timeout=30)
        took = time.monotonic() - sent
    finally:
        child.kill()
        child.wait()
    assert "interrupted" in out, out
    assert took < 10, f"{took:.2f} s after Ctrl-C"


def test_the_type_hints_agree_with_a_script_that_uses_them(tmp_path):
    mypy = "/usr/bin/mypy"
    if not os.path.exists(mypy):
        pytest.skip("Debian's mypy is not installed")
    script = tmp_path / "uses.py"
    script.write_text(
        "import numpy\nimport rotary_ratio\n"
        "x: float = rotary_ratio.exact_limit(numpy.float32(15), 105, 80).chamber_capacity\n"
        "c = rotary_ratio.volume_curve(15, 105, 80).seal_lean_deg\n"
        "t = rotary_ratio.study(numpy.linspace(5, 30, 4), 105, 80, method='sweep', rotors=2)\n"
        "r: float = rotary_ratio.real_engine(15, 105, 80, target_ratio=9.4).displacement\n"
        "outline = [(-45, 82), (-75, 70), (-72, 58), (-40, 70)]\n"
        "p = rotary_ratio.ports(15, 105, 80, intake=outline, peripheral_exhaust=(42.5, 54.4, 30))\n"
        "o: float = rotary_ratio.ports(15, 105, 80, intake=[outline, outline]).overlap_deg\n"
        "s = rotary_ratio.study([14, 15], 105, 80, intake=outline)['port1_opens_deg']\n")
    wrong = tmp_path / "wrong.py"
    wrong.write_text("import rotary_ratio\nrotary_ratio.study(15, 105, 80, method='closed')\n"
                     "rotary_ratio.exact_limit(15, 105, 80).volume\n")
    env = dict(os.environ, MYPYPATH=os.environ["PYTHONPATH"])
    # Strict, on the script and on the stub itself.
    stub = os.path.join(os.environ["PYTHONPATH"], "rotary_ratio", "__init__.pyi")
    for checked in (script, stub):
        ran = subprocess.run([mypy, "--strict", "--no-incremental", "--cache-dir=/dev/null",
                              str(checked)], capture_output=True, text=True, env=env)
        assert ran.returncode == 0, ran.stdout + ran.stderr
    # What the stub lets through, the functions take.
    exec(script.read_text(), {})
    ran = subprocess.run([mypy, "--no-incremental", "--cache-dir=/dev/null", str(wrong)],
                         capture_output=True, text=True, env=env)
    assert ran.returncode == 1 and "closed" in ran.stdout and "volume" in ran.stdout, ran.stdout


@pytest.mark.parametrize("given", [dict(seal_offset=2), dict(clearance=0.1), dict(recess=3),
                                   dict(target_ratio=9.4)])
def test_any_real_engine_argument_makes_a_real_engine_study(given):
    found = rotary_ratio.study(15, 105, 80, **given)
    one = rotary_ratio.real_engine(15, 105, 80, **given)
    for name in ("chamber_capacity", "dead_volume", "compression_ratio"):
        assert found["real_" + name] == pytest.approx(getattr(one, name), rel=1e-12), name
    assert {"seal_offset", "clearance", "recess"} <= set(found)


def test_a_gear_module_that_cuts_no_whole_teeth_refuses_that_engine_in_the_companions_words():
    # One rule in every face: the companion refuses the module, the window shows it in red,
    # real_engine() raises, and a study gives that engine the message and no figures.
    found = rotary_ratio.study([15, 15.0000001], 105, 80, gear_module=2.5)
    assert list(found["rotor_gear_teeth"][:1]) == [36] and numpy.isnan(found["rotor_gear_teeth"][1])
    assert numpy.isnan(found["exact_compression_ratio"][1])
    words = "gives eccentricity 15.0000001 gears of 36.00000024 and 24.00000016 teeth"
    assert words in found["message"][1], found["message"][1]
    with pytest.raises(rotary_ratio.DesignError, match=words):
        rotary_ratio.real_engine(15.0000001, 105, 80, gear_module=2.5)
    status, _, err = companion("--eccentricity", "15.0000001", "--gear-module", "2.5")
    assert status == 2 and words in err, err
