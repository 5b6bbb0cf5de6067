"""The compression-ratio limit of a rotary engine with a three-flank rotor in a two-lobe
epitrochoidal housing, computed by the same engine as rotary-ratio and the window.

Lengths are in the user's unit; millimetres give volumes in cubic centimetres (area x width /
1000). Every function raises ValueError with the companion's message where an engine has no
figures, but study(), which gives NaN and the message in that engine's place. A value that
breaks one of the design's rules (the companion's and the window's too) raises DesignError, a
ValueError, in the same words.
"""
from dataclasses import dataclass
import numbers
import os
from typing import Optional

import numpy

from . import _rotary_ratio

__version__ = _rotary_ratio.__version__
DesignError = _rotary_ratio.DesignError
__all__ = ["sweep", "exact_limit", "real_engine", "volume_curve", "study", "ports", "port_edge",
           "solids", "cycle", "Cycle", "Sweep", "Profiles", "ExactLimit", "RealEngine", "VolumeCurve", "Ports",
           "Solids", "DesignError", "__version__"]


def _short(value):
    """A field as one line of a repr: a number to nine digits, an array by its length."""
    if isinstance(value, numpy.ndarray):
        return f"<{value.size} values>"
    if isinstance(value, float):
        return f"{value:.9g}"
    return repr(value)


class _OneLine:
    def __repr__(self):
        # A figure not asked for (None) is left out.
        fields = ", ".join(f"{name}={_short(getattr(self, name))}"
                           for name in self.__dataclass_fields__
                           if getattr(self, name) is not None)
        return f"{type(self).__name__}({fields})"


@dataclass(frozen=True, repr=False)
class Profiles(_OneLine):
    """The 801 samples across the rotor flank after the mirroring, as --profiles writes them."""
    s: numpy.ndarray
    envelope: numpy.ndarray
    tdcline: numpy.ndarray
    bdcline: numpy.ndarray


@dataclass(frozen=True, repr=False)
class Sweep(_OneLine):
    """The window's figures at a step count, as it shows them, its notes and its profiles."""
    chamber_capacity: float
    dead_volume: float
    compression_ratio: float
    notes: str
    profiles: Profiles


@dataclass(frozen=True, repr=False)
class ExactLimit(_OneLine):
    """The shape's own figures, free of the step count."""
    chamber_capacity: float
    dead_volume: float
    compression_ratio: float


@dataclass(frozen=True, repr=False)
class RealEngine(_OneLine):
    """The engine as machined, with the designer's figures; target_recess with a target ratio,
    the seal's speeds (m/s) and inertia (N per gram) with an rpm."""
    chamber_capacity: float
    dead_volume: float
    compression_ratio: float
    rotors: int
    displacement: float
    largest_seal_lean_deg: float
    housing_major_axis: float
    housing_minor_axis: float
    rotor_gear_radius: float
    stationary_gear_radius: float
    surface_to_volume_tdc: float
    otto_efficiency: float
    target_recess: Optional[float] = None
    recess_depth: Optional[float] = None
    rotor_gear_teeth: Optional[int] = None
    stationary_gear_teeth: Optional[int] = None
    least_seal_speed: Optional[float] = None
    mean_seal_speed: Optional[float] = None
    largest_seal_speed: Optional[float] = None
    least_seal_inertia_per_gram: Optional[float] = None
    largest_seal_inertia_per_gram: Optional[float] = None


@dataclass(frozen=True, repr=False)
class VolumeCurve(_OneLine):
    """One chamber over its four strokes, named as the companion's --volume-curve columns."""
    shaft_angle_deg: numpy.ndarray
    rotor_angle_deg: numpy.ndarray
    volume: numpy.ndarray
    dvolume_dtheta: numpy.ndarray
    seal_lean_deg: numpy.ndarray
    surface: numpy.ndarray
    surface_to_volume: numpy.ndarray
    torque_per_bar: numpy.ndarray
    seal_speed: Optional[numpy.ndarray] = None
    seal_inertia_per_gram: Optional[numpy.ndarray] = None


def _number(name, value):
    """A number argument as a float; what is no number is refused by name, as a TypeError."""
    if isinstance(value, (bool, numpy.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name}: {value!r} is not a number")
    return float(value)


def sweep(e, R, W, steps=100):
    """The window's sweep at a step count: chamber_capacity, dead_volume and compression_ratio as
    the window shows them, notes, and profiles.s, .envelope, .tdcline, .bdcline (801 samples)."""
    found = _rotary_ratio.sweep(_number("e", e), _number("R", R), _number("W", W),
                                _number("steps", steps))
    profiles = Profiles(**{name: found.pop(name) for name in ("s", "envelope", "tdcline",
                                                              "bdcline")})
    return Sweep(profiles=profiles, **found)


def exact_limit(e, R, W):
    """The shape's own figures, free of the step count: chamber_capacity, dead_volume,
    compression_ratio."""
    return ExactLimit(**_rotary_ratio.exact_limit(_number("e", e), _number("R", R),
                                                  _number("W", W)))


def _optional(name, value):
    return None if value is None else _number(name, value)


def _units(units):
    if units is None:
        return ""
    if not isinstance(units, str):
        raise TypeError(f"units: {units!r} is not mm, cm, m or in")
    return units


def real_engine(e, R, W, seal_offset=0.0, clearance=0.0, recess=0.0, target_ratio=None,
                rotors=1, gear_module=None, rpm=None, gamma=1.4, recess_area=None, units=None,
                recess_pocket=None):
    """The engine as machined: its figures, the recess for target_ratio (target_recess), the
    designer's figures (displacement of `rotors` rotors, largest_seal_lean_deg, housing axes,
    the phasing gears' pitch radii, and with gear_module their teeth), with the lengths in
    `units` as --units names them (mm, cm, m or in; None for the window's millimetres),
    surface_to_volume_tdc (per mm, the recess's walls as recess_area gives them, mm^2),
    otto_efficiency at gamma, and at rpm the apex seal's least, mean and largest speed (m/s)
    and inertia (N per gram of seal). recess_pocket=(length, width, lead) gives the recess a
    pocket's shape: its depth (recess_depth) holds the recess or the target's, and its walls
    count in surface_to_volume_tdc."""
    return RealEngine(**_rotary_ratio.real_engine(
        _number("e", e), _number("R", R), _number("W", W), _number("seal_offset", seal_offset),
        _number("clearance", clearance), _number("recess", recess),
        _optional("target_ratio", target_ratio), _number("rotors", rotors),
        _optional("gear_module", gear_module), _optional("rpm", rpm), _number("gamma", gamma),
        _optional("recess_area", recess_area), _units(units),
        _together("recess_pocket", recess_pocket, 3)))


def volume_curve(e, R, W, seal_offset=0.0, clearance=0.0, recess=0.0, angle_step=1.0, rpm=None,
                 recess_area=None, units=None):
    """One chamber over its four strokes, 0 to 1080 degrees of the eccentric shaft: numpy arrays
    shaft_angle_deg, rotor_angle_deg, volume, dvolume_dtheta (per degree), seal_lean_deg,
    surface (unit^2), surface_to_volume (per unit), torque_per_bar (N m), and at rpm seal_speed
    (m/s) and seal_inertia_per_gram (N), the lengths in `units` as --units names them.
    Ctrl-C stops it within a second."""
    return VolumeCurve(**_rotary_ratio.volume_curve(
        _number("e", e), _number("R", R), _number("W", W), _number("seal_offset", seal_offset),
        _number("clearance", clearance), _number("recess", recess),
        _number("angle_step", angle_step), _optional("rpm", rpm),
        _optional("recess_area", recess_area), _units(units)))


@dataclass(frozen=True, repr=False)
class Ports(_OneLine):
    """The ports' timing in shaft degrees from top dead centre of compression, the rotor turning
    counterclockwise in the DXF's frame: a dict a port (role, kind, source, openings, opens_deg,
    closes_deg, open_deg of its first opening or None where it never opens, largest_area,
    angle_area, and each_opening: a dict of opens_deg, closes_deg and open_deg for every time it
    opens), the engine's overlap and effective ratios, and each port's open area (a row a port) at
    every angle_step beside the volume."""
    ports: list
    overlap_deg: float
    effective_compression_ratio: Optional[float]
    effective_expansion_ratio: Optional[float]
    rotation: str
    shaft_angle_deg: numpy.ndarray
    volume: numpy.ndarray
    open_area: numpy.ndarray


def _is_one_outline(given):
    """Whether an argument is one outline of x, y points (an array, or a list of pairs), not a
    list of outlines."""
    try:
        points = numpy.asarray(given, dtype=float)
    except (TypeError, ValueError):
        return False
    return points.ndim == 2 and points.shape[1] == 2


def _side_ports(role, given):
    """Side ports as (role, source, file, points): a file name, or an array of x, y points."""
    if given is None:
        return []
    if isinstance(given, (str, os.PathLike)) or _is_one_outline(given):
        given = [given]
    ports = []
    for n, port in enumerate(given):
        if isinstance(port, (str, os.PathLike)):
            ports.append((role, os.fspath(port), os.fspath(port), []))
            continue
        points = _floats(role, port)
        if points.ndim != 2 or points.shape[1] != 2:
            raise ValueError(f"{role}: port {n + 1} is not an array of x, y points")
        ports.append((role, f"{role} {n + 1}", None, [tuple(p) for p in points.tolist()]))
    return ports


def _windows(role, given):
    """Peripheral ports as (role, source, from, to, width): one triple or a list of them."""
    if given is None:
        return []
    windows = _floats(f"peripheral_{role}", given)
    if windows.ndim == 1:
        windows = windows[None, :]
    if windows.ndim != 2 or windows.shape[1] != 3:
        raise ValueError(f"peripheral_{role}: not (from, to, width) in degrees, degrees and a length")
    return [(role, f"{a:g},{b:g},{c:g}", a, b, c) for a, b, c in windows.tolist()]


def ports(e, R, W, intake=None, exhaust=None, peripheral_intake=None, peripheral_exhaust=None,
          seal_offset=0.0, clearance=0.0, recess=0.0, angle_step=1.0, units=None):
    """The ports' timing and breathing: intake and exhaust side ports as arrays of x, y points or
    file names (DXF or CSV), one or a list; peripheral ones as (from, to, width), polar angles of
    the bore in degrees counterclockwise and a width, one or a list. The companion's messages as
    ValueError. Ctrl-C stops it within a second."""
    sides = _side_ports("intake", intake) + _side_ports("exhaust", exhaust)
    windows = _windows("intake", peripheral_intake) + _windows("exhaust", peripheral_exhaust)
    return Ports(**_rotary_ratio.ports(
        _number("e", e), _number("R", R), _number("W", W), _number("seal_offset", seal_offset),
        _number("clearance", clearance), _number("recess", recess),
        _number("angle_step", angle_step), sides, windows, _units(units)))


def port_edge(e, R, W, angle, seal_offset=0.0, clearance=0.0):
    """The chamber's flank on the side housing at a shaft angle, as an array of x, y points: a
    side port whose edge follows it opens, or closes, at that angle."""
    return _rotary_ratio.port_edge(_number("e", e), _number("R", R), _number("W", W),
                                   _number("angle", angle), _number("seal_offset", seal_offset),
                                   _number("clearance", clearance))


def _floats(name, value):
    """An array-like argument as floats, None elements as NaN; what holds no numbers is refused."""
    try:
        return numpy.asarray(value, dtype=float)
    except (TypeError, ValueError):
        raise TypeError(f"{name}: {value!r} holds what is no number") from None


def study(e, R, W, steps=100, method="exact", seal_offset=None, clearance=None, recess=None,
          target_ratio=None, rotors=1, gear_module=None, rpm=None, gamma=1.4, recess_area=None,
          intake=None, exhaust=None, peripheral_intake=None, peripheral_exhaust=None, units=None):
    """Many engines at once, on every core: the arguments broadcast against each other as numpy
    broadcasts, and the result is a dict of arrays of that shape, named as the companion's CSV
    columns. An engine whose values it cannot take (NaN, a negative length, a step count that is
    not whole) gets NaN figures and the reason in 'message', as one without figures does; 'note'
    and 'message' hold strings. rpm, gamma and recess_area (one value each) give the chamber's
    and the seal's columns as real_engine() names them. The ports, given as ports() takes them,
    time every engine: the companion's port columns, with the note saying which port never opens,
    reaches beyond the bore or opens more than once. Ctrl-C stops it within a second."""
    if method not in ("exact", "sweep"):
        raise ValueError(f'method: "{method}" is not sweep or exact')
    real = any(value is not None for value in (seal_offset, clearance, recess, target_ratio))
    given = [e, R, W, steps, 0.0 if seal_offset is None else seal_offset,
             0.0 if clearance is None else clearance, 0.0 if recess is None else recess,
             1e300 if target_ratio is None else target_ratio]
    names = ["e", "R", "W", "steps", "seal_offset", "clearance", "recess", "target_ratio"]
    sides = _side_ports("intake", intake) + _side_ports("exhaust", exhaust)
    windows = _windows("intake", peripheral_intake) + _windows("exhaust", peripheral_exhaust)
    inputs = numpy.broadcast_arrays(*(_floats(name, value) for name, value in zip(names, given)))
    shape = inputs[0].shape
    flat = [numpy.ascontiguousarray(value.ravel()) for value in inputs]
    found = _rotary_ratio.study(
        flat[0], flat[1], flat[2], flat[3], method, flat[4], flat[5],
        flat[6] if recess is not None else None, real,
        flat[7] if target_ratio is not None else None, _number("rotors", rotors),
        None if gear_module is None else _number("gear_module", gear_module),
        _optional("rpm", rpm), _number("gamma", gamma), _optional("recess_area", recess_area),
        sides, windows, _units(units))
    table = {"eccentricity": flat[0], "rotor_radius": flat[1], "chamber_width": flat[2],
             # The exact figures take no step count: empty, as in the companion's CSV.
             "steps": flat[3] if method == "sweep" else numpy.full(flat[3].shape, numpy.nan)}
    if real:
        table.update(seal_offset=flat[4], clearance=flat[5], recess=flat[6])
    if target_ratio is not None:
        table["target_ratio"] = flat[7]
    table["rotors"] = numpy.full(flat[0].shape, int(_number("rotors", rotors)))
    if gear_module is not None:
        table["gear_module"] = numpy.full(flat[0].shape, _number("gear_module", gear_module))
    for n, (role, source, *_) in enumerate(sides + windows, start=1):
        kind = "side" if n <= len(sides) else "peripheral"
        for field, value in (("role", role), ("kind", kind), ("source", source)):
            table[f"port{n}_{field}"] = numpy.full(flat[0].shape, value, dtype=object)
    table.update(found)
    if sides or windows:
        table["rotation"] = numpy.full(flat[0].shape, "counterclockwise", dtype=object)
    if target_ratio is not None:
        # The target's recess stands in place of the recess given, as in every figure.
        reached = numpy.isfinite(table["target_recess"])
        table["recess"] = numpy.where(reached, table["target_recess"], table["recess"])
    return {name: column.reshape(shape) for name, column in table.items()}


@dataclass(frozen=True, repr=False)
class Solids(_OneLine):
    """The engine as solids, measured: the rotor's volume (unit^3), mass (kg), centre of mass's
    offset from its centre (unit), moment of inertia about its axis (kg m^2), its load on the
    eccentric at rpm (N, None without one), the counterweight that balances it (kg m, mass x
    radius), the bore's cavity (unit^3), the fitted curves' largest distance from the exact ones
    (unit), the pocket's depth (None without one), each part's volume by name, and the files
    written."""
    rotor_volume: float
    rotor_mass: float
    rotor_centre_offset: float
    rotor_moment_of_inertia: float
    counterweight: float
    housing_cavity_volume: float
    curve_deviation: float
    part_volumes: dict
    files: list
    rotor_eccentric_load: Optional[float] = None
    recess_depth: Optional[float] = None


def _together(name, value, count):
    """(length, width, lead) or (width, depth) as floats; None for none."""
    if value is None:
        return None
    values = _floats(name, value)
    if values.shape != (count,):
        raise ValueError(f"{name}: {value!r} is not {count} numbers")
    return values.tolist()


def solids(e, R, W, seal_offset=0.0, clearance=0.0, recess=0.0, target_ratio=None,
           recess_pocket=None, apex_slot=None, housing_wall=None, side_plate=None,
           side_clearance=None, rotor_bore=None, density=None, chord=None, tolerance=None,
           shaft_angle=None, rotors=1, gear_module=None, rpm=None, intake=None, exhaust=None,
           peripheral_intake=None, peripheral_exhaust=None, units=None, step=None,
           step_parts=False, stl=None):
    """The engine as solids a shop can cut, as the companion's --step and --stl make them: the
    rotor housing with the peripheral ports through its wall, the side housings with the side
    ports through the front one, and the rotor at its clearance with its bore, apex slots
    (apex_slot=(width, depth)) and the recess as a pocket in each flank
    (recess_pocket=(length, width, lead), its depth holding recess or the target's), at
    shaft_angle degrees. Writes the STEP assembly to `step` (one file a part with step_parts)
    and an STL file a part to `stl`, all or none, and gives their mass properties. The settings
    left None take the companion's defaults."""
    sides = _side_ports("intake", intake) + _side_ports("exhaust", exhaust)
    windows = _windows("intake", peripheral_intake) + _windows("exhaust", peripheral_exhaust)
    return Solids(**_rotary_ratio.solids(
        _number("e", e), _number("R", R), _number("W", W), _number("seal_offset", seal_offset),
        _number("clearance", clearance), _number("recess", recess),
        _optional("target_ratio", target_ratio), _together("recess_pocket", recess_pocket, 3),
        _together("apex_slot", apex_slot, 2), _optional("housing_wall", housing_wall),
        _optional("side_plate", side_plate), _optional("side_clearance", side_clearance),
        _optional("rotor_bore", rotor_bore), _optional("density", density),
        _optional("chord", chord), _optional("tolerance", tolerance),
        _optional("shaft_angle", shaft_angle), _number("rotors", rotors),
        _optional("gear_module", gear_module), _optional("rpm", rpm), sides, windows,
        _units(units), None if step is None else os.fspath(step), bool(step_parts),
        None if stl is None else os.fspath(stl)))


@dataclass(frozen=True, repr=False)
class Cycle(_OneLine):
    """The working cycle of one chamber as a single-zone model (cycle_model names its settings),
    its figures named as the companion's columns, and its last cycle at each degree of the
    shaft: volume (the figures' unit), pressure (bar), temperature (K) and the mass through the
    ports (kg per degree)."""
    imep_net: float
    imep_gross: float
    pmep: float
    trapped_mass: float
    volumetric_efficiency: float
    residual_fraction: float
    indicated_work: float
    indicated_efficiency: float
    indicated_power: float
    indicated_torque: float
    peak_pressure: float
    peak_pressure_deg: float
    heat_lost: float
    mass_leaked: float
    cycles_to_converge: int
    cycle_model: str
    shaft_angle_deg: numpy.ndarray
    volume: numpy.ndarray
    pressure: numpy.ndarray
    temperature: numpy.ndarray
    mass_in_per_deg: numpy.ndarray
    mass_out_per_deg: numpy.ndarray


def cycle(e, R, W, rpm, seal_offset=0.0, clearance=0.0, recess=0.0, target_ratio=None,
          rotors=1, units=None, intake=None, exhaust=None, peripheral_intake=None,
          peripheral_exhaust=None, discharge=None, intake_plenum=None, exhaust_plenum=None,
          spark=None, burn=None, wiebe=None, afr=None, seal_gap=None, wall_temperature=None,
          heat_transfer=None, gamma=None):
    """The working cycle as the companion's --cycle runs it: a single-zone model of one chamber
    over its 1080 degrees at rpm, run until it repeats, with the ports given as ports() takes
    them (none: a closed chamber, one compression and one expansion of the intake's charge).
    Its settings as the companion's options, each None for its default: the plenums as
    (bar, K), wiebe as (a, m), gamma for constant specific heats. With e, R, W or rpm arrays
    (broadcast together), a study: with rpm alone an array, the power curve. It is a dict of
    arrays of their shape (e, R, W, rpm and one figure each, the curves left out), NaN where an
    engine has none and its reason in 'message', every engine on every core."""
    sides = _side_ports("intake", intake) + _side_ports("exhaust", exhaust)
    windows = _windows("intake", peripheral_intake) + _windows("exhaust", peripheral_exhaust)
    given = {"e": e, "R": R, "W": W, "rpm": rpm}
    arrays = {name: _floats(name, value) for name, value in given.items()}
    many = any(array.ndim > 0 for array in arrays.values())
    if many:
        try:
            broadcast = numpy.broadcast_arrays(*arrays.values())
        except ValueError:
            raise ValueError("e, R, W and rpm: arrays of shapes " +
                             ", ".join(str(a.shape) for a in arrays.values()) +
                             " do not broadcast together") from None
        shape = broadcast[0].shape
        columns = [array.ravel().tolist() for array in broadcast]
    else:
        columns = [[_number(name, value)] for name, value in given.items()]
    found = _rotary_ratio.cycle(
        *columns, many,
        _number("seal_offset", seal_offset), _number("clearance", clearance),
        _number("recess", recess), _optional("target_ratio", target_ratio),
        _number("rotors", rotors), _units(units), sides, windows,
        _optional("discharge", discharge), _together("intake_plenum", intake_plenum, 2),
        _together("exhaust_plenum", exhaust_plenum, 2), _optional("spark", spark),
        _optional("burn", burn), _together("wiebe", wiebe, 2), _optional("afr", afr),
        _optional("seal_gap", seal_gap), _optional("wall_temperature", wall_temperature),
        _optional("heat_transfer", heat_transfer), _optional("gamma", gamma))
    if many:
        return {name: (numpy.asarray(column, dtype=object if name == "message" else float)
                       .reshape(shape)) for name, column in found.items()}
    return Cycle(**found)
