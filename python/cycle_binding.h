// The working cycle from Python: the model's figures and its last cycle as numpy arrays.
#pragma once

#include <pybind11/pybind11.h>

#include "design.h"

namespace rotary::python {

// The design's working cycle; a design its rules refuse raises DesignRefused, a cycle without
// figures ValueError with why.
pybind11::dict cycleFor(const study::Design& design);

}  // namespace rotary::python
