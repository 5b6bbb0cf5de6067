// The engine as solids from Python: the mass properties, and the STEP and STL files asked for.
#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

#include "design.h"

namespace rotary::python {

// The design's solids, measured, with its files written all or none; a design its rules refuse
// raises DesignRefused, a file that cannot be written OSError.
pybind11::dict solidsFor(study::Design design, const std::optional<std::string>& step,
                         bool stepParts, const std::optional<std::string>& stl);

}  // namespace rotary::python
