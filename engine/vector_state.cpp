#include "vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace rotary {

#if defined(__x86_64__) || defined(__i386__)
namespace {

__attribute__((target("avx"))) void zeroUpper() {
  _mm256_zeroupper();
}

// Asked once: a processor without AVX has no upper state, and would not know the instruction.
const bool kHasAvx = __builtin_cpu_supports("avx");

}  // namespace

void clearUpperVectorState() {
  if (kHasAvx) zeroUpper();
}
#else
void clearUpperVectorState() {}
#endif

}  // namespace rotary
