// The drawing surface: user coordinates, colours, and erasing by drawing over.
#include <gtest/gtest.h>

#include <QApplication>
#include <cmath>

#include "form.h"
#include "window_adapter.h"

namespace rotary::app {
namespace {

constexpr double kPixelsPerTwipAt96 = 96.0 / 1440;

class Surface : public ::testing::Test {
 protected:
  Surface() { adapter.clear(); }

  QColor pixel(double x, double y) {
    const QPointF p = form.surface()->toPixels(x, y);
    return form.surface()->image().pixelColor(int(p.x()), int(p.y()));
  }
  int pixelsNotBackground() {
    const QImage& image = form.surface()->image();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != 0xFFE0E0E0u;
    }
    return count;
  }

  Form1 form{kPixelsPerTwipAt96};
  WindowAdapter adapter{form};
};

TEST_F(Surface, MapsUserUnitsOntoPixels) {
  const DrawingSurface& surface = *form.surface();
  EXPECT_EQ(surface.toPixels(-130, -140), QPointF(0, 0));
  EXPECT_NEAR(surface.toPixels(0, 0).x(), 395.416, 0.001);
  EXPECT_NEAR(surface.toPixels(0, 0).y(), 412.221, 0.001);
  EXPECT_NEAR(surface.toPixels(167.206, 107.246).x(), 904, 0.01);
  EXPECT_NEAR(surface.toPixels(167.206, 107.246).y(), 728, 0.01);
  EXPECT_NEAR(surface.radiusToPixels(30), 30 * 45.62492 / 15, 1e-9);
}

TEST_F(Surface, DrawsInThePackedColours) {
  adapter.line(-50, 0, 50, 0, 0xC0C000);
  EXPECT_EQ(pixel(0, 0), QColor(0, 192, 192));
  adapter.point(20, 20, 255);
  EXPECT_EQ(pixel(20, 20), QColor(255, 0, 0));
  adapter.setForeColor(0);
  adapter.line(-50, 30, 50, 30, std::nullopt);
  EXPECT_EQ(pixel(0, 30), QColor(0, 0, 0));
  // The engine's marks, rotor and gear, packed 0x00BBGGRR.
  const std::pair<unsigned, QColor> packed[] = {{255, QColor(255, 0, 0)},
                                                {0xC000, QColor(0, 192, 0)},
                                                {0xC0C000, QColor(0, 192, 192)},
                                                {0xFF0000, QColor(0, 0, 255)}};
  double y = -60;
  for (const auto& [colour, seen] : packed) {
    adapter.point(-40, y += 10, colour);
    EXPECT_EQ(pixel(-40, y), seen) << std::hex << colour;
  }
}

TEST_F(Surface, DrawingOverInTheBackgroundLeavesNoTrace) {
  adapter.setPenWidth(1);
  adapter.line(-100, -80, 73.3f, 41.7f, 0xC0C000);
  adapter.circle(3, 7, 45, 0xFF0000);
  EXPECT_GT(pixelsNotBackground(), 100);
  adapter.line(-100, -80, 73.3f, 41.7f, 0xE0E0E0);
  adapter.circle(3, 7, 45, 0xE0E0E0);
  EXPECT_EQ(pixelsNotBackground(), 0);
}

TEST_F(Surface, APointIsASquareAsWideAsThePen) {
  adapter.setPenWidth(5);
  adapter.point(0, 0, 0xC0C000);
  EXPECT_EQ(pixelsNotBackground(), 25);
  adapter.setPenWidth(1);
  adapter.clear();
  adapter.point(0, 0, 0xC0C000);
  EXPECT_EQ(pixelsNotBackground(), 1);
}

TEST_F(Surface, DrawingBeyondTheEdgeIsClippedAway) {
  adapter.line(-1e6f, -1e6f, 1e6f, -1e6f, 0);
  adapter.circle(0, 0, 1e5f, 0);
  EXPECT_EQ(pixelsNotBackground(), 0);
}

// Coordinates far beyond the painter's integer range: what crosses the surface is drawn where it
// crosses, the rest is left out before any conversion.
TEST_F(Surface, FarCoordinatesDrawOnlyWhatCrossesTheSurface) {
  adapter.setPenWidth(5);
  adapter.point(1e12f, 0, 0xC0C000);
  adapter.point(0, -3e38f, 0xC0C000);
  adapter.setPenWidth(1);
  adapter.circle(0, 0, 1e30f, 0xC0C000);  // around the whole surface
  adapter.circle(1e20f, 1e20f, 5, 0xC0C000);
  EXPECT_EQ(pixelsNotBackground(), 0);

  adapter.line(-1e30f, 10, 1e30f, 10, 0xC0C000);
  EXPECT_EQ(pixel(0, 10), QColor(0, 192, 192));
  EXPECT_EQ(pixelsNotBackground(), form.surface()->image().width());
  // A huge circle through the origin, its centre far to the right: its arc down the surface.
  adapter.circle(1e9f, 0, 1e9f, 0xFF0000);
  EXPECT_EQ(pixel(0, 0), QColor(0, 0, 255));
  EXPECT_EQ(pixel(0, 40), QColor(0, 0, 255));
  EXPECT_EQ(pixel(0, -40), QColor(0, 0, 255));
  EXPECT_EQ(pixel(5, 40), QColor(224, 224, 224));
}

// Circles too large for the painter to place to a pixel, from 1e5 pixels up, are drawn as their
// true arc across the surface: one pixel wide, where the circle lies, in every row.
TEST_F(Surface, LargeCirclesLieOnTheirTrueArc) {
  adapter.setPenWidth(1);
  const QImage* image = nullptr;
  for (const double radius : {4e4, 4e5, 4e6, 4e7, 2.5e8}) {
    adapter.clear();
    // The centre to the right, so that the arc bends through (0, 0) and back to the right.
    adapter.circle(static_cast<float>(radius), 0, static_cast<float>(radius), 0xFF0000);
    image = &form.surface()->image();
    const DrawingSurface& surface = *form.surface();
    const QPointF centre = surface.toPixels(radius, 0);
    const double r = surface.radiusToPixels(radius);
    int drawn = 0, wrong = 0;
    for (int row = 0; row < image->height(); ++row) {
      const double dy = row + 0.5 - centre.y();
      const double x = centre.x() - std::sqrt(r * r - dy * dy);
      for (int column = 0; column < image->width(); ++column) {
        if (image->pixel(column, row) == 0xFFE0E0E0u) continue;
        ++drawn;
        if (std::abs(column + 0.5 - x) > 1.5) ++wrong;
      }
    }
    EXPECT_GE(drawn, image->height()) << "radius " << radius;
    EXPECT_EQ(wrong, 0) << "radius " << radius;
  }
}

TEST_F(Surface, KeepsThePictureWhenTheWindowGrows) {
  form.show();
  adapter.line(-50, 0, 50, 0, 0xC0C000);
  form.resize(1200, 900);
  QApplication::processEvents();
  EXPECT_EQ(form.surface()->size(), QSize(1200, 900 - form.menus().bar->height()));
  EXPECT_EQ(pixel(0, 0), QColor(0, 192, 192));
  EXPECT_NEAR(form.surface()->toPixels(0, 0).x(), 395.416, 0.001);  // the same scale
  adapter.line(200, 150, 250, 150, 0xC0C000);  // beyond the first size, now on the surface
  EXPECT_EQ(pixel(220, 150), QColor(0, 192, 192));
}

}  // namespace
}  // namespace rotary::app
