#include "figure.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <vector>

#include "figures.h"
#include "headless_qt.h"
#include "number_text.h"
#include "outline.h"
#include "real_outline.h"

namespace rotary::drawing {
namespace {

constexpr double kMarginMm = 10;
constexpr double kLegendFontMm = 3.5;
constexpr double kLineMm = 0.35;
constexpr double kVectorPixelsPerMm = 10;  // 254 dpi for SVG and PDF
constexpr int kPngWidth = 1600;
constexpr int kHousingPoints = 1440;

struct Scene {
  double scale = 1;  // millimetres on paper to one unit of length: 1 but for the largest and
                     // the smallest engines
  Polyline housing, rotor;
  std::vector<Polyline> tdc, bdc;  // pieces: a sample the sweep missed leaves a gap
  Polyline trochoid, rotorLimit;   // of a real engine, where they differ from the two above
  double e = 0;
  QRectF bounds;  // in model units, y up
  QStringList legend;
  // The legend's letters grow with a drawing too wide to read them beside it at their least.
  double legendFontMm = kLegendFontMm;
};

// A drawing this many legend letters wide or more gets larger letters, so that the legend reads
// wherever the drawing does: the defaults keep 3.5 mm, a 4.8 m page gets 48 mm.
constexpr double kDrawingInLegendLetters = 100;

QRectF boundsOf(const std::initializer_list<const Polyline*> lines) {
  double left = INFINITY, right = -INFINITY, low = INFINITY, high = -INFINITY;
  for (const Polyline* line : lines) {
    for (const PlanePoint& p : *line) {
      left = std::min(left, p.x), right = std::max(right, p.x);
      low = std::min(low, -p.y), high = std::max(high, -p.y);
    }
  }
  return QRectF(QPointF(left, low), QPointF(right, high));
}

void fitToPage(Scene& scene, const FigureUnit& unit);
QString dimensionsLine(const QString& line, const FigureUnit& unit);

// The profile in pieces between the samples the sweep missed, which keep their start value: no
// spike to a value the housing never had.
std::vector<Polyline> piecesOf(const Geometry& g, const Profile& profile, double start,
                               int& missed) {
  std::vector<Polyline> pieces(1);
  for (int i = 0; i <= kLastSample; ++i) {
    if (profile[i] == start) {
      ++missed;
      if (!pieces.back().empty()) pieces.emplace_back();
      continue;
    }
    pieces.back().push_back({g.sample(i), profile[i]});
  }
  if (pieces.back().empty()) pieces.pop_back();
  return pieces;
}

// The notes in the words the text and the tables give them, each from a line of its own and
// wrapped between words, so that a long one does not widen the page past the drawing.
void addNotes(Scene& scene, const std::string& notes) {
  constexpr int kLongestLine = 100;
  if (notes.empty()) return;
  for (const QString& note : QString::fromStdString(notes).split('\n')) {
    QString line;
    for (const QString& word : note.split(' ')) {
      if (!line.isEmpty() && line.size() + 1 + word.size() > kLongestLine) {
        scene.legend << line;
        line.clear();
      }
      line += (line.isEmpty() ? "" : " ") + word;
    }
    scene.legend << line;
  }
}

Scene sceneOf(const HeadlessResult& result, const FigureUnit& unit) {
  const Geometry& g = result.geometry;
  Scene s;
  s.housing = housingCurve(g, 0, kHousingPoints);
  // The rotor bridges a missed sample of its flank with a straight chord.
  Profiles bridged = result.profiles;
  bridged.envelope = bridgedProfile(result.profiles.envelope, envelopeStart(g));
  s.rotor = rotorOutline(g, bridged);
  int missed = 0;  // drawn as gaps; the notes say where they matter
  s.tdc = piecesOf(g, result.profiles.tdcline, kTdclineStart, missed);
  s.bdc = piecesOf(g, result.profiles.bdcline, bdclineStart(g), missed);
  s.e = g.e;
  s.bounds = boundsOf({&s.housing, &s.rotor});
  for (const auto* pieces : {&s.tdc, &s.bdc}) {
    for (const Polyline& piece : *pieces) s.bounds |= boundsOf({&piece});
  }
  // The rotor's gear reaches 3e around the centre.
  s.bounds |= QRectF(-3 * g.e, -3 * g.e, 6 * g.e, 6 * g.e);
  const auto n = [](double value) { return QString::fromStdString(formatNumber(value)); };
  s.legend << dimensionsLine(QString("eccentricity %1, rotor radius %2, chamber width %3, steps %4")
                                 .arg(n(g.e), n(g.R), n(g.W), QString::number(g.N)),
                             unit);
  if (result.figures) {
    s.legend << QString("chamber capacity %1, dead volume %2, compression ratio %3")
                    .arg(n(result.figures->capacity), n(result.figures->deadVolume),
                         n(result.figures->ratio));
  }
  s.legend << "housing at top dead centre (black), largest rotor (teal), chamber profiles at "
              "top (red) and bottom (green) dead centre, gears (blue)";
  addNotes(s, result.note);
  fitToPage(s, unit);
  return s;
}

// The real engine as its DXF has it, moved into the rotor's frame of the construction figure.
Scene sceneOf(const RealFigure& real) {
  const double e = real.eccentricity;
  const RealOutlines o =
      realOutlines(e, real.rotorRadius, real.engine, drawingChordError(real.rotorRadius));
  const auto toRotorFrame = [e](const Polyline& line) {
    Polyline out;
    for (const PlanePoint& p : line) out.push_back({p.x, p.y + e});
    return out;
  };
  Scene s;
  s.housing = toRotorFrame(o.bore);
  s.rotor = toRotorFrame(o.rotor);
  if (real.engine.sealOffset > 0) s.trochoid = toRotorFrame(o.trochoid);
  if (real.engine.clearance > 0) s.rotorLimit = toRotorFrame(o.rotorLimit);
  s.e = e;
  s.bounds = boundsOf({&s.housing, &s.rotor});
  s.bounds |= QRectF(-3 * e, -3 * e, 6 * e, 6 * e);
  const auto n = [](double value) { return QString::fromStdString(formatNumber(value)); };
  const auto six = [](double value) { return QString::fromStdString(significantDigits(value, 6)); };
  s.legend << dimensionsLine(QString("eccentricity %1, rotor radius %2, chamber width %3")
                                 .arg(n(e), n(real.rotorRadius), n(real.chamberWidth)),
                             real.unit);
  s.legend << QString("apex-seal offset A %1, clearance C %2, recess V %3")
                  .arg(n(real.engine.sealOffset), n(real.engine.clearance), n(real.engine.recess));
  s.legend << QString("chamber capacity %1, dead volume %2 (with the recess), compression ratio %3")
                  .arg(six(real.figures.capacity), six(real.figures.deadVolume),
                       six(real.figures.ratio));
  s.legend
      << "bore (black), trochoid (grey), rotor (teal), largest rotor (thin teal), gears (blue)";
  addNotes(s, real.note);
  fitToPage(s, real.unit);
  return s;
}

QPolygonF polygon(const Polyline& line, bool closed) {
  QPolygonF out;
  for (const PlanePoint& p : line) out << QPointF(p.x, -p.y);
  if (closed && !line.empty()) out << out.front();
  return out;
}

// The page in millimetres: the drawing at true scale with its margins, the legend above it.
struct Page {
  double widthMm, heightMm, legendMm;
};

// The largest drawing a page takes: PDF pages end at 200 inches.
constexpr double kLargestDrawingMm = 4800;
// Below this a drawing at true scale is too small to read: the housing of a model engine.
constexpr double kSmallestDrawingMm = 50;
// Where an enlarged drawing lands: about the width of a page.
constexpr double kEnlargedDrawingMm = 200;

// The nearest of 1, 2, 5, 10, 20, ... at or below `value`, and at or above it.
double roundScaleBelow(double value) {
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  for (const double nice : {5.0, 2.0, 1.0}) {
    if (nice * decade <= value) return nice * decade;
  }
  return decade;
}
double roundScaleAbove(double value) {
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  for (const double nice : {1.0, 2.0, 5.0, 10.0}) {
    if (nice * decade >= value) return nice * decade;
  }
  return 10 * decade;
}

// An engine too large for any page, or too small to read at true scale, is drawn at a round
// scale, a millimetre to the unit otherwise, and the legend names the scale that gives on paper
// ("scale 1 : 20", "scale 1000 : 1"; "scale 1 : 10" for centimetres).
void fitToPage(Scene& scene, const FigureUnit& unit) {
  const double largest = std::max(scene.bounds.width(), scene.bounds.height());
  if (largest > kLargestDrawingMm) {
    scene.scale = 1 / roundScaleAbove(largest / kLargestDrawingMm);
  } else if (largest > 0 && largest < kSmallestDrawingMm) {
    scene.scale = roundScaleBelow(kEnlargedDrawingMm / largest);
  }
  const double onPaper = scene.scale / unit.millimetres;
  const auto n = [](double value) { return QString::fromStdString(formatNumber(value)); };
  if (onPaper < 1) scene.legend << QString("scale 1 : %1").arg(n(1 / onPaper));
  if (onPaper > 1) scene.legend << QString("scale %1 : 1").arg(n(onPaper));
  const double drawnMm = std::max(scene.bounds.width(), scene.bounds.height()) * scene.scale;
  scene.legendFontMm = std::max(kLegendFontMm, drawnMm / kDrawingInLegendLetters);
}

// The dimensions' line of the legend, naming a unit other than millimetres.
QString dimensionsLine(const QString& line, const FigureUnit& unit) {
  return unit.name == "mm" ? line : line + QString(" (%1)").arg(QString::fromStdString(unit.name));
}

// The legend's width in millimetres, as Liberation Sans sets it: the page is never narrower.
double legendWidthMm(const QStringList& legend, double fontMm) {
  constexpr int kMeasuredPixels = 100;
  QFont font("Liberation Sans");
  font.setPixelSize(kMeasuredPixels);
  const QFontMetricsF metrics(font);
  double widest = 0;
  for (const QString& line : legend) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest * fontMm / kMeasuredPixels;
}

Page pageFor(const Scene& scene) {
  const double fontMm = scene.legendFontMm;
  const double legendMm = (scene.legend.size() + 0.8) * fontMm * 1.5;
  return {std::max(scene.bounds.width() * scene.scale, legendWidthMm(scene.legend, fontMm) + 2) +
              2 * kMarginMm,
          scene.bounds.height() * scene.scale + 2 * kMarginMm + legendMm, legendMm};
}

void paint(QPainter& painter, const Scene& scene, const Page& page, double pixelsPerMm) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(0, 0, page.widthMm * pixelsPerMm, page.heightMm * pixelsPerMm),
                   Qt::white);

  // The legend, in device pixels.
  QFont font("Liberation Sans");
  font.setPixelSize(std::max(1, qRound(scene.legendFontMm * pixelsPerMm)));
  painter.setFont(font);
  painter.setPen(Qt::black);
  double y = kMarginMm;
  for (const QString& line : scene.legend) {
    y += scene.legendFontMm * 1.5;
    painter.drawText(QPointF(kMarginMm * pixelsPerMm, y * pixelsPerMm), line);
  }

  // The drawing: model units are millimetres; y up.
  const double drawingWidth = page.widthMm - 2 * kMarginMm;
  const double left = kMarginMm + (drawingWidth - scene.bounds.width() * scene.scale) / 2;
  const double top = page.legendMm + kMarginMm;
  painter.save();
  painter.scale(pixelsPerMm, pixelsPerMm);
  painter.translate(left, top);
  painter.scale(scene.scale, scene.scale);
  painter.translate(-scene.bounds.left(), -scene.bounds.top());
  // Lines thicken with the legend's letters, so that a large page shows them as the letters.
  const double thicker = scene.legendFontMm / kLegendFontMm;
  const auto pen = [&](QColor colour, double widthMm) {
    QPen p(colour, widthMm * thicker / scene.scale);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    painter.setPen(p);
    painter.setBrush(Qt::NoBrush);
  };
  pen(QColor(0, 0, 255), kLineMm / 2);
  const double e = scene.e;
  painter.drawEllipse(QPointF(0, 0), 3 * e, 3 * e);   // the rotor's internal gear
  painter.drawEllipse(QPointF(0, -e), 2 * e, 2 * e);  // the housing's fixed gear
  const double mark = std::max(e / 8, 0.5 / scene.scale);
  for (const QPointF centre : {QPointF(0, 0), QPointF(0, -e)}) {
    painter.drawLine(centre - QPointF(mark, 0), centre + QPointF(mark, 0));
    painter.drawLine(centre - QPointF(0, mark), centre + QPointF(0, mark));
  }
  pen(QColor(150, 150, 150), kLineMm / 2);
  if (!scene.trochoid.empty()) painter.drawPolyline(polygon(scene.trochoid, true));
  pen(QColor(0, 160, 160), kLineMm / 3);
  if (!scene.rotorLimit.empty()) painter.drawPolyline(polygon(scene.rotorLimit, true));
  pen(QColor(0, 160, 160), kLineMm);
  painter.drawPolyline(polygon(scene.rotor, true));
  pen(Qt::black, kLineMm);
  painter.drawPolyline(polygon(scene.housing, true));
  // The profiles over the housing, which they follow: the top-dead-centre one lies on it.
  pen(QColor(0, 150, 0), kLineMm / 2);
  for (const Polyline& piece : scene.bdc) painter.drawPolyline(polygon(piece, false));
  pen(QColor(220, 0, 0), kLineMm * 0.6);
  for (const Polyline& piece : scene.tdc) painter.drawPolyline(polygon(piece, false));
  painter.restore();
}

// SVG and PDF: ten device pixels to the millimetre.
bool paintVector(QPaintDevice& device, const Scene& scene, const Page& page) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  paint(painter, scene, page, kVectorPixelsPerMm);
  return painter.end();
}

}  // namespace

namespace {

bool drawScene(ImageFormat format, const Scene& scene, std::string& content, std::string& error);

}  // namespace

bool drawFigure(ImageFormat format, const HeadlessResult& result, const FigureUnit& unit,
                std::string& content, std::string& error) {
  ensureHeadlessQt();
  return drawScene(format, sceneOf(result, unit), content, error);
}

bool drawFigure(ImageFormat format, const RealFigure& real, std::string& content,
                std::string& error) {
  ensureHeadlessQt();
  return drawScene(format, sceneOf(real), content, error);
}

namespace {

// Drawn into memory: the one file writer puts it on the disk.
bool drawScene(ImageFormat format, const Scene& scene, std::string& content, std::string& error) {
  const Page page = pageFor(scene);
  QBuffer file;
  file.open(QIODevice::WriteOnly);
  const auto done = [&] {
    content = file.data().toStdString();
    return true;
  };
  switch (format) {
    case ImageFormat::kSvg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
      const QSize size(qCeil(page.widthMm * kVectorPixelsPerMm),
                       qCeil(page.heightMm * kVectorPixelsPerMm));
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setResolution(qRound(25.4 * kVectorPixelsPerMm));
      svg.setTitle("Rotary engine construction");
      if (paintVector(svg, scene, page)) return done();
      break;
    }
    case ImageFormat::kPdf: {
      QPdfWriter pdf(&file);
      pdf.setResolution(qRound(25.4 * kVectorPixelsPerMm));
      pdf.setPageSize(QPageSize(QSizeF(page.widthMm, page.heightMm), QPageSize::Millimeter));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle("Rotary engine construction");
      if (paintVector(pdf, scene, page)) return done();
      break;
    }
    case ImageFormat::kPng: {
      const double pixelsPerMm = kPngWidth / page.widthMm;
      QImage image(kPngWidth, qCeil(page.heightMm * pixelsPerMm), QImage::Format_RGB32);
      image.fill(Qt::white);  // to the last row, which the page's height may end inside
      QPainter painter(&image);
      paint(painter, scene, page, pixelsPerMm);
      painter.end();
      if (image.save(&file, "PNG")) return done();
      break;
    }
  }
  error = "cannot be drawn";
  return false;
}

}  // namespace

}  // namespace rotary::drawing
