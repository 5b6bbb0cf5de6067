from types import SimpleNamespace
from typing import Optional, Union

import numpy
import numpy.typing

__version__: str

ArrayLike = Union[float, numpy.typing.ArrayLike]

def sweep(e: float, R: float, W: float, steps: int = ...) -> SimpleNamespace: ...
def exact_limit(e: float, R: float, W: float) -> SimpleNamespace: ...
def real_engine(e: float, R: float, W: float, seal_offset: float = ..., clearance: float = ...,
                recess: float = ..., target_ratio: Optional[float] = ...,
                rotors: int = ...) -> SimpleNamespace: ...
def volume_curve(e: float, R: float, W: float, seal_offset: float = ..., clearance: float = ...,
                 recess: float = ..., angle_step: float = ...) -> SimpleNamespace: ...
def study(e: ArrayLike, R: ArrayLike, W: ArrayLike, steps: ArrayLike = ..., method: str = ...,
          seal_offset: Optional[ArrayLike] = ..., clearance: Optional[ArrayLike] = ...,
          recess: Optional[ArrayLike] = ...) -> dict[str, numpy.ndarray]: ...
