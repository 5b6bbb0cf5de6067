// The working cycle from Python: the model's figures and its last cycle as numpy arrays.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include "design.h"

namespace rotary::python {

// The design's working cycle; a design its rules refuse raises DesignRefused, a cycle without
// figures ValueError with why.
pybind11::dict cycleFor(const study::Design& design);

// The design's working cycle at each of `speeds`, on every core without the GIL: each figure as
// an array, NaN where a speed has none, and its reason in "message".
pybind11::dict cycleSweepFor(const study::Design& design, const std::vector<double>& speeds);

}  // namespace rotary::python
