// A drawing module of another version: its entry declines this program, as a stale module left
// by an older installation would.
#include <cstring>

extern "C" const void* rotary_ratio_drawing(const char* version) {
  return std::strcmp(version, "0.0.0") == 0 ? version : nullptr;
}
