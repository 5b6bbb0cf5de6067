from dataclasses import dataclass
import os
from typing import Literal, Optional, Union

import numpy
import numpy.typing

__version__: str

# A number as the functions take it: a Python or numpy float or integer.
Number = Union[float, int, numpy.floating, numpy.integer]
ArrayLike = Union[Number, numpy.typing.ArrayLike]

@dataclass(frozen=True)
class Profiles:
    s: numpy.ndarray
    envelope: numpy.ndarray
    tdcline: numpy.ndarray
    bdcline: numpy.ndarray

@dataclass(frozen=True)
class Sweep:
    chamber_capacity: float
    dead_volume: float
    compression_ratio: float
    notes: str
    profiles: Profiles

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
    surface_to_volume_tdc: float
    otto_efficiency: float
    target_recess: Optional[float] = ...
    least_seal_speed: Optional[float] = ...
    mean_seal_speed: Optional[float] = ...
    largest_seal_speed: Optional[float] = ...
    least_seal_inertia_per_gram: Optional[float] = ...
    largest_seal_inertia_per_gram: Optional[float] = ...

@dataclass(frozen=True)
class VolumeCurve:
    shaft_angle_deg: numpy.ndarray
    rotor_angle_deg: numpy.ndarray
    volume: numpy.ndarray
    dvolume_dtheta: numpy.ndarray
    seal_lean_deg: numpy.ndarray
    surface: numpy.ndarray
    surface_to_volume: numpy.ndarray
    torque_per_bar: numpy.ndarray
    seal_speed: Optional[numpy.ndarray] = ...
    seal_inertia_per_gram: Optional[numpy.ndarray] = ...

def sweep(e: Number, R: Number, W: Number, steps: Number = ...) -> Sweep: ...
def exact_limit(e: Number, R: Number, W: Number) -> ExactLimit: ...
def real_engine(e: Number, R: Number, W: Number, seal_offset: Number = ...,
                clearance: Number = ..., recess: Number = ...,
                target_ratio: Optional[Number] = ..., rotors: Number = ...,
                rpm: Optional[Number] = ..., gamma: Number = ...,
                recess_area: Optional[Number] = ...) -> RealEngine: ...
def volume_curve(e: Number, R: Number, W: Number, seal_offset: Number = ...,
                 clearance: Number = ..., recess: Number = ...,
                 angle_step: Number = ..., rpm: Optional[Number] = ...,
                 recess_area: Optional[Number] = ...) -> VolumeCurve: ...
@dataclass(frozen=True)
class Ports:
    ports: list[dict[str, Union[str, float]]]
    overlap_deg: float
    effective_compression_ratio: Optional[float]
    effective_expansion_ratio: Optional[float]
    rotation: str
    shaft_angle_deg: numpy.ndarray
    volume: numpy.ndarray
    open_area: numpy.ndarray

PortOutline = Union[str, os.PathLike[str], numpy.typing.ArrayLike]
def ports(e: Number, R: Number, W: Number,
          intake: Optional[Union[PortOutline, list[PortOutline]]] = ...,
          exhaust: Optional[Union[PortOutline, list[PortOutline]]] = ...,
          peripheral_intake: Optional[numpy.typing.ArrayLike] = ...,
          peripheral_exhaust: Optional[numpy.typing.ArrayLike] = ...,
          seal_offset: Number = ..., clearance: Number = ..., recess: Number = ...,
          angle_step: Number = ...) -> Ports: ...
def port_edge(e: Number, R: Number, W: Number, angle: Number, seal_offset: Number = ...,
              clearance: Number = ...) -> numpy.ndarray: ...
def study(e: ArrayLike, R: ArrayLike, W: ArrayLike, steps: ArrayLike = ...,
          method: Literal["exact", "sweep"] = ..., seal_offset: Optional[ArrayLike] = ...,
          clearance: Optional[ArrayLike] = ..., recess: Optional[ArrayLike] = ...,
          target_ratio: Optional[ArrayLike] = ..., rotors: Number = ...,
          gear_module: Optional[Number] = ..., rpm: Optional[Number] = ...,
          gamma: Number = ...,
          recess_area: Optional[Number] = ...) -> dict[str, numpy.ndarray]: ...
