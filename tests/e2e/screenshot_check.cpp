// Looks at a screenshot of the running window as a person would: the teal rotor and the blue
// housing gear are drawn, the results boxes hold text, and no label text is cut at its edge.
// Usage: screenshot_check SHOT.png WINDOW_X WINDOW_Y; exit status 0 when all is there.
// With --text-in X Y W H after them: whether grey text (as the message area's status lines are
// drawn, unlike the black and coloured lines of the drawing) stands in that part of the window;
// with --blue-in, dark blue text (the caution that the figures are of another engine).
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr QRgb kBackground = 0xFFE0E0E0;

int count(const QImage& image, const QRect& area, QRgb colour) {
  int found = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) found += image.pixel(x, y) == colour;
  }
  return found;
}

bool darkPixelIn(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) return true;
    }
  }
  return false;
}

}  // namespace

// Anti-aliased dark grey text: equal red, green and blue, neither black nor background.
int greyTextPixels(const QImage& image, const QRect& area) {
  int found = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      found += qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) >= 0x20 && qRed(p) <= 0xC8;
    }
  }
  return found;
}

// Dark blue text, as the message area's caution that the figures are of another engine.
int blueTextPixels(const QImage& image, const QRect& area) {
  int found = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      found += qBlue(p) > qRed(p) + 40 && qBlue(p) > qGreen(p) + 40;
    }
  }
  return found;
}

int main(int argc, char** argv) {
  if (argc == 9 && (std::string(argv[4]) == "--text-in" || std::string(argv[4]) == "--blue-in")) {
    const QImage image = QImage(argv[1]).convertToFormat(QImage::Format_RGB32);
    const QRect area(std::atoi(argv[2]) + std::atoi(argv[5]),
                     std::atoi(argv[3]) + std::atoi(argv[6]), std::atoi(argv[7]),
                     std::atoi(argv[8]));
    const int found = std::string(argv[4]) == "--text-in" ? greyTextPixels(image, area)
                                                          : blueTextPixels(image, area);
    std::printf("%d grey text pixels\n", found);
    return found >= 10 ? 0 : 1;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: screenshot_check SHOT.png WINDOW_X WINDOW_Y\n");
    return 2;
  }
  const QImage shot(argv[1]);
  if (shot.isNull()) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  const QPoint origin(std::atoi(argv[2]), std::atoi(argv[3]));
  const QImage image = shot.convertToFormat(QImage::Format_RGB32);
  const auto at = [&](int x, int y, int w, int h) {
    return QRect(origin + QPoint(x, y), QSize(w, h));
  };

  bool ok = true;
  const auto expect = [&ok](bool condition, const char* what) {
    if (!condition) std::printf("not yet: %s\n", what);
    ok = ok && condition;
  };
  const QRect drawing = at(0, 0, 690, 728);
  expect(count(image, drawing, qRgb(0, 192, 192)) > 1000, "the teal rotor");
  expect(count(image, drawing, qRgb(0, 0, 255)) > 300, "the blue housing gear");
  // The three results and the three inputs hold text.
  for (int row = 0; row < 6; ++row) {
    expect(darkPixelIn(image, at(836, 16 + 48 * row + 5, 57, 15)), "text in every box");
  }
  // Right-aligned labels: text cut by its label would reach the label's left edge.
  for (int row = 0; row < 6; ++row) {
    const QRect leftEdge = at(696, 16 + 48 * row, 2, 25);
    expect(count(image, leftEdge, kBackground) == leftEdge.width() * leftEdge.height(),
           "no label cut at its left edge");
    expect(darkPixelIn(image, at(698, 16 + 48 * row, 127, 25)), "every label shows its text");
  }
  // The letters of "step" one below the other beside the scroll bar.
  int lines = 0;
  bool inLetter = false;
  for (int y = 408; y < 408 + 97; ++y) {
    const bool dark = darkPixelIn(image, at(864, y, 9, 1));
    if (dark && !inLetter) ++lines;
    inLetter = dark;
  }
  expect(lines == 4, "s, t, e and p on four lines");
  return ok ? 0 : 1;
}
