// A chart's scene into the bytes of an SVG or PNG file.
#pragma once

#include <QGraphicsScene>
#include <QRectF>
#include <QString>
#include <string>

#include "file_name.h"

namespace rotary::drawing {

using formats::ImageFormat;

// SVG at the scene's size, or PNG at twice it; false with `error` set when it cannot be drawn.
bool renderScene(ImageFormat format, QGraphicsScene& scene, const QRectF& area,
                 const QString& title, std::string& content, std::string& error);

}  // namespace rotary::drawing
