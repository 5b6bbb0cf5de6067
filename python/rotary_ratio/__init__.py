"""The compression-ratio limit of a rotary engine with a three-flank rotor in a two-lobe
epitrochoidal housing, computed by the same engine as rotary-ratio and the window.

Lengths are in the user's unit; millimetres give volumes in cubic centimetres (area x width /
1000). Every function raises ValueError with the companion's message where an engine has no
figures, but study(), which gives NaN and the message in that engine's place.
"""
from types import SimpleNamespace

import numpy

from . import _rotary_ratio

__version__ = _rotary_ratio.__version__
__all__ = ["sweep", "exact_limit", "real_engine", "volume_curve", "study", "__version__"]


def sweep(e, R, W, steps=100):
    """The window's sweep at a step count: chamber_capacity, dead_volume and compression_ratio as
    the window shows them, notes, and profiles.s, .envelope, .tdcline, .bdcline (801 samples)."""
    found = _rotary_ratio.sweep(float(e), float(R), float(W), int(steps))
    profiles = SimpleNamespace(**{name: found.pop(name) for name in ("s", "envelope", "tdcline",
                                                                     "bdcline")})
    return SimpleNamespace(profiles=profiles, **found)


def exact_limit(e, R, W):
    """The shape's own figures, free of the step count: chamber_capacity, dead_volume,
    compression_ratio."""
    return SimpleNamespace(**_rotary_ratio.exact_limit(float(e), float(R), float(W)))


def real_engine(e, R, W, seal_offset=0.0, clearance=0.0, recess=0.0, target_ratio=None,
                rotors=1):
    """The engine as machined: its figures, the recess for target_ratio (target_recess), and the
    designer's figures (displacement of `rotors` rotors, largest_seal_lean_deg, housing axes)."""
    target = None if target_ratio is None else float(target_ratio)
    return SimpleNamespace(**_rotary_ratio.real_engine(
        float(e), float(R), float(W), float(seal_offset), float(clearance), float(recess), target,
        int(rotors)))


def volume_curve(e, R, W, seal_offset=0.0, clearance=0.0, recess=0.0, angle_step=1.0):
    """One chamber over its four strokes, 0 to 1080 degrees of the eccentric shaft: numpy arrays
    shaft_angle, rotor_angle, volume, dvolume_dtheta (per degree) and seal_lean (degrees)."""
    return SimpleNamespace(**_rotary_ratio.volume_curve(
        float(e), float(R), float(W), float(seal_offset), float(clearance), float(recess),
        float(angle_step)))


def study(e, R, W, steps=100, method="exact", seal_offset=None, clearance=None, recess=None):
    """Many engines at once, on every core: the arguments broadcast against each other as numpy
    broadcasts, and the result is a dict of arrays of that shape, named as the companion's CSV
    columns (NaN where an engine has no figure; 'message' and 'note' hold strings). Ctrl-C stops
    it within a second."""
    real = any(value is not None for value in (seal_offset, clearance, recess))
    inputs = numpy.broadcast_arrays(*(numpy.asarray(value, dtype=float) for value in (
        e, R, W, steps, 0.0 if seal_offset is None else seal_offset,
        0.0 if clearance is None else clearance, 0.0 if recess is None else recess)))
    shape = inputs[0].shape
    flat = [numpy.ascontiguousarray(value.ravel()) for value in inputs]
    found = _rotary_ratio.study(flat[0], flat[1], flat[2], flat[3], method, flat[4], flat[5],
                                flat[6], real)
    table = {"eccentricity": numpy.array(inputs[0]), "rotor_radius": numpy.array(inputs[1]),
             "chamber_width": numpy.array(inputs[2]), "steps": inputs[3].astype(int)}
    if real:
        table.update(seal_offset=numpy.array(inputs[4]), clearance=numpy.array(inputs[5]),
                     recess=numpy.array(inputs[6]))
    for name, values in found.items():
        column = numpy.array(values, dtype=object if name in ("note", "message") else float)
        table[name] = column.reshape(shape)
    return table
