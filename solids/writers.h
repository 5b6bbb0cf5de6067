// The parts as files: STEP (AP214) through OpenCASCADE's XDE writer, every part named and
// coloured, and binary STL through its mesher; each file's bytes, for the one file writer to put
// on disk whole or not at all.
#pragma once

#include <string>
#include <vector>

#include "parts.h"

namespace rotary::solids {

struct NamedPart {
  const char* name;
  const TopoDS_Shape* shape;
};

// `unit` as --units names it; the geometry is in that unit already.
std::string stepOf(const std::vector<NamedPart>& parts, const std::string& unit);
std::string stlOf(const TopoDS_Shape& shape, double chord);

}  // namespace rotary::solids
