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
