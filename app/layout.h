// Where everything of the main window stands, in twips (1/1440 of a logical inch), and the user
// coordinate system of the drawing surface.
#pragma once

#include <array>

namespace rotary::app {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 13560;
inline constexpr int kClientHeightTwips = 10920;

// The 164-character caption: the four phrases spread across the title bar.
inline constexpr const char* kCaption =
    "                  Quorin-Rotary       Compression-Ratio-Limit                            "
    "Mouse click to suspend                              ESC to Quit            ";

inline constexpr unsigned kBackground = 0xE0E0E0;

enum class Kind { kTextBox, kLabel, kButton, kScrollBar };

struct ControlLayout {
  const char* name;
  Kind kind;
  const char* text;
  int left, top, width, height;  // twips
};

// In focus order; labels take no focus.
inline constexpr std::array<ControlLayout, 15> kControls = {{
    {"Text1", Kind::kTextBox, " ", 12480, 240, 975, 375},
    {"Text2", Kind::kTextBox, "", 12480, 960, 975, 375},
    {"Text3", Kind::kTextBox, "", 12480, 1680, 975, 375},
    {"Text4", Kind::kTextBox, "", 12480, 2400, 975, 375},
    {"Text5", Kind::kTextBox, "", 12480, 3120, 975, 375},
    {"Text6", Kind::kTextBox, "", 12480, 3840, 975, 375},
    {"Label1", Kind::kLabel, "eccentricity", 10440, 240, 1935, 375},
    {"Label2", Kind::kLabel, "rotor radius", 10440, 960, 1935, 375},
    {"Label3", Kind::kLabel, "chamber width", 10440, 1680, 1935, 375},
    {"Label4", Kind::kLabel, "% completed", 10440, 3840, 1935, 375},
    {"Label5", Kind::kLabel, "dead volume", 10440, 3120, 1935, 375},
    {"Label6", Kind::kLabel, "chamber capacity", 10440, 2400, 1935, 375},
    {"Command1", Kind::kButton, "recalculate", 12480, 4560, 975, 615},
    {"VScroll1", Kind::kScrollBar, "", 13200, 5640, 255, 2415},
    {"Label7", Kind::kLabel, "s t e p ", 12960, 6120, 135, 1455},
}};

// The message area: the right-hand column below the scroll bar.
inline constexpr ControlLayout kMessageArea = {"Message", Kind::kLabel, "",  10440,
                                               8160,      3015,         2640};

// The design panel to the right of the client area: 400 pixels at 96 dpi, room for its chart.
inline constexpr int kSidePanelWidthTwips = 6000;
inline constexpr int kSidePanelLeastTwips = 5100;  // 340 pixels at 96 dpi

inline constexpr int kFewestSteps = 50;
inline constexpr int kMostSteps = 1000;
inline constexpr int kInitialSteps = 100;
inline constexpr int kStepsPerTroughClick = 50;

// User coordinates: x = -130 at the left edge, y = -140 at the top, and the size of one unit.
inline constexpr double kLeftUnits = -130;
inline constexpr double kTopUnits = -140;
inline constexpr double kTwipsPerUnitX = 45.62492;
inline constexpr double kTwipsPerUnitY = 44.16654;

}  // namespace rotary::app
