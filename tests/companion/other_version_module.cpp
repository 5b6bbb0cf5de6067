// A drawing module of another version: its entry declines this program, as a stale module left
// by an older installation would.
namespace rotary::drawing {
struct Drawing;
}

extern "C" const rotary::drawing::Drawing* rotary_ratio_drawing(const char* version) {
  static_cast<void>(version);
  return nullptr;
}
