// The working cycle from Python: the model's figures and its last cycle as numpy arrays.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include "design.h"

namespace rotary::python {

// The design's working cycle; a design its rules refuse raises DesignRefused, a cycle without
// figures ValueError with why.
pybind11::dict cycleFor(const study::Design& design);

// Each design's working cycle, on every core without the GIL: their lengths and speeds, and each
// figure, as arrays, NaN where a design has none and its reason in "message".
pybind11::dict cycleSweepFor(const std::vector<study::Design>& designs);

}  // namespace rotary::python
