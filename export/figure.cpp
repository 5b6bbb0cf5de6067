#include "figure.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "file_name.h"
#include "headless_qt.h"
#include "number_text.h"
#include "outline.h"
#include "real_outline.h"

namespace rotary::exporting {
namespace {

constexpr double kMarginMm = 10;
constexpr double kLegendFontMm = 3.5;
constexpr double kLineMm = 0.35;
constexpr double kVectorPixelsPerMm = 10;  // 254 dpi for SVG and PDF
constexpr int kPngWidth = 1600;
constexpr int kHousingPoints = 1440;

struct Scene {
  Polyline housing, rotor, tdc, bdc;
  Polyline trochoid, rotorLimit;  // of a real engine, where they differ from the two above
  double e = 0;
  QRectF bounds;  // in model units, y up
  QStringList legend;
};

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

Scene sceneOf(const HeadlessResult& result) {
  const Geometry& g = result.geometry;
  Scene s;
  s.housing = housingCurve(g, 0, kHousingPoints);
  s.rotor = rotorOutline(g, result.profiles);
  s.tdc = profileLine(g, result.profiles.tdcline);
  s.bdc = profileLine(g, result.profiles.bdcline);
  s.e = g.e;
  s.bounds = boundsOf({&s.housing, &s.rotor, &s.tdc, &s.bdc});
  // The rotor's gear reaches 3e around the centre.
  s.bounds |= QRectF(-3 * g.e, -3 * g.e, 6 * g.e, 6 * g.e);
  const auto n = [](double value) { return QString::fromStdString(formatNumber(value)); };
  s.legend << QString("eccentricity %1, rotor radius %2, chamber width %3, steps %4")
                  .arg(n(g.e), n(g.R), n(g.W), QString::number(g.N));
  if (result.figures) {
    s.legend << QString("chamber capacity %1, dead volume %2, compression ratio %3")
                    .arg(n(result.figures->capacity), n(result.figures->deadVolume),
                         n(result.figures->ratio));
  }
  s.legend << "housing at top dead centre (black), largest rotor (teal), chamber profiles at "
              "top (red) and bottom (green) dead centre, gears (blue)";
  return s;
}

// The real engine as its DXF has it, moved into the rotor's frame of the construction figure.
Scene sceneOf(const RealFigure& real) {
  const double e = real.eccentricity;
  const RealOutlines o = realOutlines(e, real.rotorRadius, real.engine, 0.002);
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
  s.legend << QString("eccentricity %1, rotor radius %2, chamber width %3")
                  .arg(n(e), n(real.rotorRadius), n(real.chamberWidth));
  s.legend << QString("apex-seal offset A %1, clearance C %2, recess V %3")
                  .arg(n(real.engine.sealOffset), n(real.engine.clearance), n(real.engine.recess));
  s.legend << QString("chamber capacity %1, dead volume %2 (with the recess), compression ratio %3")
                  .arg(six(real.figures.capacity), six(real.figures.deadVolume),
                       six(real.figures.ratio));
  s.legend
      << "bore (black), trochoid (grey), rotor (teal), largest rotor (thin teal), gears (blue)";
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

Page pageFor(const Scene& scene) {
  const double legendMm = (scene.legend.size() + 0.8) * kLegendFontMm * 1.5;
  const double legendWidthMm = 150;
  return {std::max(scene.bounds.width() + 2 * kMarginMm, legendWidthMm + 2 * kMarginMm),
          scene.bounds.height() + 2 * kMarginMm + legendMm, legendMm};
}

void paint(QPainter& painter, const Scene& scene, const Page& page, double pixelsPerMm) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(0, 0, page.widthMm * pixelsPerMm, page.heightMm * pixelsPerMm),
                   Qt::white);

  // The legend, in device pixels.
  QFont font("Liberation Sans");
  font.setPixelSize(std::max(1, qRound(kLegendFontMm * pixelsPerMm)));
  painter.setFont(font);
  painter.setPen(Qt::black);
  double y = kMarginMm;
  for (const QString& line : scene.legend) {
    y += kLegendFontMm * 1.5;
    painter.drawText(QPointF(kMarginMm * pixelsPerMm, y * pixelsPerMm), line);
  }

  // The drawing: model units are millimetres; y up.
  const double drawingWidth = page.widthMm - 2 * kMarginMm;
  const double left = kMarginMm + (drawingWidth - scene.bounds.width()) / 2;
  const double top = page.legendMm + kMarginMm;
  painter.save();
  painter.scale(pixelsPerMm, pixelsPerMm);
  painter.translate(left - scene.bounds.left(), top - scene.bounds.top());
  const auto pen = [&](QColor colour, double widthMm) {
    QPen p(colour, widthMm);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    painter.setPen(p);
    painter.setBrush(Qt::NoBrush);
  };
  pen(QColor(0, 0, 255), kLineMm / 2);
  const double e = scene.e;
  painter.drawEllipse(QPointF(0, 0), 3 * e, 3 * e);   // the rotor's internal gear
  painter.drawEllipse(QPointF(0, -e), 2 * e, 2 * e);  // the housing's fixed gear
  const double mark = std::max(e / 8, 0.5);
  for (const QPointF centre : {QPointF(0, 0), QPointF(0, -e)}) {
    painter.drawLine(centre - QPointF(mark, 0), centre + QPointF(mark, 0));
    painter.drawLine(centre - QPointF(0, mark), centre + QPointF(0, mark));
  }
  pen(QColor(200, 0, 0), kLineMm / 2);
  painter.drawPolyline(polygon(scene.tdc, false));
  pen(QColor(0, 150, 0), kLineMm / 2);
  painter.drawPolyline(polygon(scene.bdc, false));
  pen(QColor(150, 150, 150), kLineMm / 2);
  if (!scene.trochoid.empty()) painter.drawPolyline(polygon(scene.trochoid, true));
  pen(QColor(0, 160, 160), kLineMm / 3);
  if (!scene.rotorLimit.empty()) painter.drawPolyline(polygon(scene.rotorLimit, true));
  pen(QColor(0, 160, 160), kLineMm);
  painter.drawPolyline(polygon(scene.rotor, true));
  pen(Qt::black, kLineMm);
  painter.drawPolyline(polygon(scene.housing, true));
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

bool imageFormatOf(const std::string& path, std::initializer_list<ImageFormat> allowed,
                   ImageFormat& format) {
  const std::string extension = lowerExtension(path);
  const std::pair<const char*, ImageFormat> known[] = {
      {"svg", ImageFormat::kSvg}, {"pdf", ImageFormat::kPdf}, {"png", ImageFormat::kPng}};
  for (const auto& [name, kind] : known) {
    if (extension == name && std::find(allowed.begin(), allowed.end(), kind) != allowed.end()) {
      format = kind;
      return true;
    }
  }
  return false;
}

namespace {

bool drawScene(ImageFormat format, const Scene& scene, std::string& content, std::string& error);

}  // namespace

bool drawFigure(ImageFormat format, const HeadlessResult& result, std::string& content,
                std::string& error) {
  ensureHeadlessQt();
  return drawScene(format, sceneOf(result), content, error);
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

}  // namespace rotary::exporting
