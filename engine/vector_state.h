// Some libraries return with the upper halves of the AVX registers still in use (Qt's painting
// and its start-up do, on this project's Intel machines). Until they are cleared, every SSE
// instruction of the computation pays for it: sine and cosine run ten times slower after the
// window has painted, and threads started then inherit the state. Clearing it is one
// instruction, and changes no result.
#pragma once

namespace rotary {

// Clears the upper vector state where the processor has one; does nothing elsewhere.
void clearUpperVectorState();

}  // namespace rotary
