#include "chart_render.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace rotary::exporting {

bool renderScene(ImageFormat format, QGraphicsScene& scene, const QRectF& area,
                 const QString& title, std::string& content, std::string& error) {
  QBuffer file;
  file.open(QIODevice::WriteOnly);
  const auto done = [&] {
    content = file.data().toStdString();
    return true;
  };
  if (format == ImageFormat::kSvg) {
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

}  // namespace rotary::exporting
