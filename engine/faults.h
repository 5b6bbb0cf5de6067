// The ways a cycle can stop short of its results. They unwind the phases to the cycle, which
// turns them into a message or into its return.
#pragma once

namespace rotary {

// The window says the program is ending.
struct Ending {};

// A division by zero, an invalid operation or an overflow happened since the last check.
struct ArithmeticFault {};

// A coordinate or radius lies beyond what a drawing call can take.
struct DrawingRangeFault {};

}  // namespace rotary

namespace rotary {

// The chamber at top dead centre has no volume, so there is no ratio; when the bottom dead
// centre chamber has none either, the ratio is 0 / 0.
struct NoChamberFault {
  bool bottomEmptyToo = false;
};

// The volumes came out as no engine has them: a capacity or dead volume of zero or less, or a
// ratio not above 1.
struct NoResultFault {};

// The lengths are so small that the chamber volumes fall below the ordinary doubles.
struct LengthsTooSmallFault {};

}  // namespace rotary
