#!/usr/bin/python3
"""How long the Python module takes: a study of 100,000 engines with the exact method from numpy
arrays on every core, and one exact_limit call against the same computation without Python (the
engine's own benchmark, exactLimitAtK/7000, measures that). Usage: python_bench.py [SITE]"""
import sys
import timeit

if len(sys.argv) > 1:
    sys.path.insert(0, sys.argv[1])
import numpy
import rotary_ratio


def best(statement, number, repeat=5):
    return min(timeit.repeat(statement, number=number, repeat=repeat, globals=globals())) / number


eccentricities = numpy.linspace(5, 34, 100_000)
study = best(lambda: rotary_ratio.study(eccentricities, 105, 80, method="exact"), 1, 3)
print(f"study of 100,000 engines, exact, both cores: {study:.3f} s")
call = best(lambda: rotary_ratio.exact_limit(15, 105, 80), 20_000)
raw = best(lambda: rotary_ratio._rotary_ratio.exact_limit(15.0, 105.0, 80.0), 20_000)
print(f"exact_limit(15, 105, 80): {call * 1e6:.2f} us a call ({raw * 1e6:.2f} us without the "
      f"package's own Python)")

# One ports() call with a peripheral port, and 10,000 of them (goals: under 2 ms, under 20 s).
ports = best(lambda: rotary_ratio.ports(15, 105, 80, peripheral_exhaust=(42.5, 54.4, 30)), 500)
print(f"ports() with one peripheral port: {ports * 1e3:.2f} ms a call, "
      f"{ports * 1e4:.1f} s for 10,000")

# A million engines: the time, and the memory at its peak against the result arrays it returns
# (goals: under 8 s, under three times the arrays), each in a process of its own.

import signal
import subprocess
import time

MILLION = """
import resource, sys, time, numpy
sys.path[:0] = SITE
import rotary_ratio
e = numpy.linspace(5, 34, 1_000_000)
before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
started = time.monotonic()
found = rotary_ratio.study(e, 105, 80, method="exact")
took = time.monotonic() - started
grown = (resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - before) * 1024
arrays = sum(column.nbytes for column in found.values())
print(f"study of 1,000,000 engines, exact, both cores: {took:.2f} s; memory grown by "
      f"{grown / 2**20:.0f} MiB for {arrays / 2**20:.0f} MiB of results ({grown / arrays:.1f} times)")
"""
site = repr(sys.path[:1] if len(sys.argv) > 1 else [])
subprocess.run([sys.executable, "-c", MILLION.replace("SITE", site)], check=True)

# Ctrl-C: from the signal to KeyboardInterrupt in the caller (goal: within a second).
INTERRUPTED = """
import sys, time, numpy
sys.path[:0] = SITE
import rotary_ratio
print("started", flush=True)
try:
    CALL
except KeyboardInterrupt:
    print(time.monotonic(), flush=True)
"""
for call in ("rotary_ratio.study(numpy.linspace(5, 34, 20000), 105, 80, steps=20000, "
             "method='sweep')",
             "rotary_ratio.study(numpy.linspace(5, 34, 5_000_000), 105, 80)",
             "rotary_ratio.volume_curve(15, 105, 80, angle_step=0.001)"):
    child = subprocess.Popen([sys.executable, "-c",
                              INTERRUPTED.replace("SITE", site).replace("CALL", call)],
                             stdout=subprocess.PIPE, text=True)
    child.stdout.readline()
    time.sleep(1.0)
    sent = time.monotonic()
    child.send_signal(signal.SIGINT)
    out, _ = child.communicate(timeout=60)
    print(f"Ctrl-C during {call[:60]}...: {float(out) - sent:.2f} s")
