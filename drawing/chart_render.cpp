#include "chart_render.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace rotary::drawing {
namespace {

// Qt's SVG writer opens a group for every change of the painter's state, also where nothing is
// drawn in it; a chart's empty groups are two thirds of its bytes.
std::string withoutEmptyGroups(const std::string& svg) {
  std::string kept;
  kept.reserve(svg.size());
  std::size_t at = 0;
  while (at < svg.size()) {
    const std::size_t open = svg.find("<g ", at);
    if (open == std::string::npos) break;
    const std::size_t end = svg.find('>', open);
    if (end == std::string::npos) break;
    std::size_t next = svg.find_first_not_of(" \t\r\n", end + 1);
    const bool empty = next != std::string::npos && svg.compare(next, 4, "</g>") == 0;
    if (!empty) {
      kept.append(svg, at, end + 1 - at);
      at = end + 1;
      continue;
    }
    kept.append(svg, at, open - at);
    at = svg.find_first_not_of(" \t\r\n", next + 4);
    if (at == std::string::npos) at = svg.size();
  }
  kept.append(svg, at, std::string::npos);
  return kept;
}

}  // namespace

bool renderScene(ImageFormat format, QGraphicsScene& scene, const QRectF& area,
                 const QString& title, std::string& content, std::string& error) {
  QBuffer file;
  file.open(QIODevice::WriteOnly);
  const auto done = [&] {
    content = file.data().toStdString();
    return true;
  };
  if (format == ImageFormat::kSvg) {
    const auto done = [&] {
      content = withoutEmptyGroups(file.data().toStdString());
      return true;
    };
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(area.size().toSize());
    svg.setViewBox(area);
    svg.setTitle(title);
    QPainter painter;
    if (painter.begin(&svg)) {
      painter.fillRect(area, Qt::white);
      scene.render(&painter, area, area);
      if (painter.end()) return done();
    }
  } else {
    QImage image(area.size().toSize() * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(image.rect()), area);
    painter.end();
    if (image.save(&file, "PNG")) return done();
  }
  error = "cannot be drawn";
  return false;
}

}  // namespace rotary::drawing
