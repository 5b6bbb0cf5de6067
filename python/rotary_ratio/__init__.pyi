from dataclasses import dataclass
import os
from typing import Any, Literal, Optional, Sequence, Union, overload

import numpy
import numpy.typing

__version__: str

# A number as the functions take it: a Python or numpy float or integer.
Number = Union[float, int, numpy.floating, numpy.integer]
ArrayLike = Union[Number, numpy.typing.ArrayLike]
# The arrays the functions give: floats, and in a study's 'note' and 'message' strings.
Floats = numpy.typing.NDArray[numpy.float64]
Column = numpy.typing.NDArray[Any]

@dataclass(frozen=True)
class Profiles:
    s: Floats
    envelope: Floats
    tdcline: Floats
    bdcline: Floats

@dataclass(frozen=True)
class Sweep:
    chamber_capacity: float
    dead_volume: float
    compression_ratio: float
    notes: str
    profiles: Profiles

# A value that breaks one of the design's rules, in the words the companion and the window use.
class DesignError(ValueError): ...

# The unit of the lengths, as --units names it.
Units = Literal["mm", "cm", "m", "in"]

@dataclass(frozen=True)
class ExactLimit:
    chamber_capacity: float
    dead_volume: float
    compression_ratio: float

@dataclass(frozen=True)
class RealEngine:
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
    target_recess: Optional[float] = ...
    recess_depth: Optional[float] = ...
    rotor_gear_teeth: Optional[int] = ...
    stationary_gear_teeth: Optional[int] = ...
    least_seal_speed: Optional[float] = ...
    mean_seal_speed: Optional[float] = ...
    largest_seal_speed: Optional[float] = ...
    least_seal_inertia_per_gram: Optional[float] = ...
    largest_seal_inertia_per_gram: Optional[float] = ...

@dataclass(frozen=True)
class VolumeCurve:
    shaft_angle_deg: Floats
    rotor_angle_deg: Floats
    volume: Floats
    dvolume_dtheta: Floats
    seal_lean_deg: Floats
    surface: Floats
    surface_to_volume: Floats
    torque_per_bar: Floats
    seal_speed: Optional[Floats] = ...
    seal_inertia_per_gram: Optional[Floats] = ...

def sweep(e: Number, R: Number, W: Number, steps: Number = ...) -> Sweep: ...
def exact_limit(e: Number, R: Number, W: Number) -> ExactLimit: ...
def real_engine(e: Number, R: Number, W: Number, seal_offset: Number = ...,
                clearance: Number = ..., recess: Number = ...,
                target_ratio: Optional[Number] = ..., rotors: Number = ...,
                gear_module: Optional[Number] = ..., rpm: Optional[Number] = ...,
                gamma: Number = ..., recess_area: Optional[Number] = ...,
                units: Optional[Units] = ...,
                recess_pocket: Optional[tuple[Number, Number, Number]] = ...) -> RealEngine: ...
def volume_curve(e: Number, R: Number, W: Number, seal_offset: Number = ...,
                 clearance: Number = ..., recess: Number = ...,
                 angle_step: Number = ..., rpm: Optional[Number] = ...,
                 recess_area: Optional[Number] = ...,
                 units: Optional[Units] = ...) -> VolumeCurve: ...
# A port's timing: role, kind and source as strings, openings a whole number, the first
# opening's events (None where it never opens), its areas, and each_opening, every opening's.
PortTiming = dict[str, Any]

@dataclass(frozen=True)
class Ports:
    ports: list[PortTiming]
    overlap_deg: float
    effective_compression_ratio: Optional[float]
    effective_expansion_ratio: Optional[float]
    rotation: str
    shaft_angle_deg: Floats
    volume: Floats
    open_area: Floats

# A side port: a DXF or CSV file, or one outline of x, y points (an array, or a sequence of
# pairs); several as a list of them.
Point = tuple[Number, Number]
PortOutline = Union[str, os.PathLike[str], Floats, Sequence[Point]]
SidePorts = Union[PortOutline, Sequence[PortOutline]]
# A peripheral port: (from, to, width), or several of them.
Windows = Union[tuple[Number, Number, Number], Sequence[tuple[Number, Number, Number]], Floats]

def ports(e: Number, R: Number, W: Number,
          intake: Optional[SidePorts] = ...,
          exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          seal_offset: Number = ..., clearance: Number = ..., recess: Number = ...,
          angle_step: Number = ..., units: Optional[Units] = ...) -> Ports: ...
def port_edge(e: Number, R: Number, W: Number, angle: Number, seal_offset: Number = ...,
              clearance: Number = ...) -> Floats: ...
def study(e: ArrayLike, R: ArrayLike, W: ArrayLike, steps: ArrayLike = ...,
          method: Literal["exact", "sweep"] = ..., seal_offset: Optional[ArrayLike] = ...,
          clearance: Optional[ArrayLike] = ..., recess: Optional[ArrayLike] = ...,
          target_ratio: Optional[ArrayLike] = ..., rotors: Number = ...,
          gear_module: Optional[Number] = ..., rpm: Optional[Number] = ...,
          gamma: Number = ..., recess_area: Optional[Number] = ...,
          intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          units: Optional[Units] = ...) -> dict[str, Column]: ...

@dataclass(frozen=True)
class Solids:
    rotor_volume: float
    rotor_mass: float
    rotor_centre_offset: float
    rotor_moment_of_inertia: float
    counterweight: float
    housing_cavity_volume: float
    curve_deviation: float
    part_volumes: dict[str, float]
    files: list[str]
    rotor_eccentric_load: Optional[float] = ...
    recess_depth: Optional[float] = ...

def solids(e: Number, R: Number, W: Number, seal_offset: Number = ...,
           clearance: Number = ..., recess: Number = ...,
           target_ratio: Optional[Number] = ...,
           recess_pocket: Optional[tuple[Number, Number, Number]] = ...,
           apex_slot: Optional[tuple[Number, Number]] = ...,
           housing_wall: Optional[Number] = ..., side_plate: Optional[Number] = ...,
           side_clearance: Optional[Number] = ..., rotor_bore: Optional[Number] = ...,
           density: Optional[Number] = ..., chord: Optional[Number] = ...,
           tolerance: Optional[Number] = ..., shaft_angle: Optional[Number] = ...,
           rotors: Number = ..., gear_module: Optional[Number] = ...,
           rpm: Optional[Number] = ...,
           intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
           peripheral_intake: Optional[Windows] = ...,
           peripheral_exhaust: Optional[Windows] = ...,
           units: Optional[Units] = ...,
           step: Optional[Union[str, os.PathLike[str]]] = ...,
           step_parts: bool = ...,
           stl: Optional[Union[str, os.PathLike[str]]] = ...) -> Solids: ...

@dataclass(frozen=True)
class Cycle:
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
    shaft_angle_deg: Floats
    volume: Floats
    pressure: Floats
    temperature: Floats
    mass_in_per_deg: Floats
    mass_out_per_deg: Floats

@overload
def cycle(e: Number, R: Number, W: Number, rpm: Number, seal_offset: Number = ...,
          clearance: Number = ..., recess: Number = ...,
          target_ratio: Optional[Number] = ..., rotors: Number = ...,
          units: Optional[Units] = ...,
          intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          discharge: Optional[Number] = ...,
          intake_plenum: Optional[tuple[Number, Number]] = ...,
          exhaust_plenum: Optional[tuple[Number, Number]] = ...,
          spark: Optional[Number] = ..., burn: Optional[Number] = ...,
          wiebe: Optional[tuple[Number, Number]] = ..., afr: Optional[Number] = ...,
          seal_gap: Optional[Number] = ..., wall_temperature: Optional[Number] = ...,
          heat_transfer: Optional[Number] = ...,
          gamma: Optional[Number] = ...) -> Cycle: ...
@overload
def cycle(e: Union[Number, Floats], R: Union[Number, Floats], W: Union[Number, Floats],
          rpm: Floats, seal_offset: Number = ...,
          clearance: Number = ..., recess: Number = ...,
          target_ratio: Optional[Number] = ..., rotors: Number = ...,
          units: Optional[Units] = ...,
          intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          discharge: Optional[Number] = ...,
          intake_plenum: Optional[tuple[Number, Number]] = ...,
          exhaust_plenum: Optional[tuple[Number, Number]] = ...,
          spark: Optional[Number] = ..., burn: Optional[Number] = ...,
          wiebe: Optional[tuple[Number, Number]] = ..., afr: Optional[Number] = ...,
          seal_gap: Optional[Number] = ..., wall_temperature: Optional[Number] = ...,
          heat_transfer: Optional[Number] = ...,
          gamma: Optional[Number] = ...) -> dict[str, Column]: ...
@overload
def cycle(e: Floats, R: Union[Number, Floats], W: Union[Number, Floats],
          rpm: Union[Number, Floats], seal_offset: Number = ...,
          clearance: Number = ..., recess: Number = ...,
          target_ratio: Optional[Number] = ..., rotors: Number = ...,
          units: Optional[Units] = ...,
          intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          discharge: Optional[Number] = ...,
          intake_plenum: Optional[tuple[Number, Number]] = ...,
          exhaust_plenum: Optional[tuple[Number, Number]] = ...,
          spark: Optional[Number] = ..., burn: Optional[Number] = ...,
          wiebe: Optional[tuple[Number, Number]] = ..., afr: Optional[Number] = ...,
          seal_gap: Optional[Number] = ..., wall_temperature: Optional[Number] = ...,
          heat_transfer: Optional[Number] = ...,
          gamma: Optional[Number] = ...) -> dict[str, Column]: ...
@overload
def cycle(e: Union[Number, Floats], R: Floats, W: Union[Number, Floats],
          rpm: Union[Number, Floats], seal_offset: Number = ...,
          clearance: Number = ..., recess: Number = ...,
          target_ratio: Optional[Number] = ..., rotors: Number = ...,
          units: Optional[Units] = ...,
          intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          discharge: Optional[Number] = ...,
          intake_plenum: Optional[tuple[Number, Number]] = ...,
          exhaust_plenum: Optional[tuple[Number, Number]] = ...,
          spark: Optional[Number] = ..., burn: Optional[Number] = ...,
          wiebe: Optional[tuple[Number, Number]] = ..., afr: Optional[Number] = ...,
          seal_gap: Optional[Number] = ..., wall_temperature: Optional[Number] = ...,
          heat_transfer: Optional[Number] = ...,
          gamma: Optional[Number] = ...) -> dict[str, Column]: ...
@overload
def cycle(e: Union[Number, Floats], R: Union[Number, Floats], W: Floats,
          rpm: Union[Number, Floats], seal_offset: Number = ...,
          clearance: Number = ..., recess: Number = ...,
          target_ratio: Optional[Number] = ..., rotors: Number = ...,
          units: Optional[Units] = ...,
          intake: Optional[SidePorts] = ..., exhaust: Optional[SidePorts] = ...,
          peripheral_intake: Optional[Windows] = ...,
          peripheral_exhaust: Optional[Windows] = ...,
          discharge: Optional[Number] = ...,
          intake_plenum: Optional[tuple[Number, Number]] = ...,
          exhaust_plenum: Optional[tuple[Number, Number]] = ...,
          spark: Optional[Number] = ..., burn: Optional[Number] = ...,
          wiebe: Optional[tuple[Number, Number]] = ..., afr: Optional[Number] = ...,
          seal_gap: Optional[Number] = ..., wall_temperature: Optional[Number] = ...,
          heat_transfer: Optional[Number] = ...,
          gamma: Optional[Number] = ...) -> dict[str, Column]: ...
