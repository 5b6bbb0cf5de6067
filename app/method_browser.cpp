#include "method_browser.h"

#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

namespace rotary::app {
namespace {

struct PlacedImage {
  int position, length;
  QTextImageFormat format;
};

// Every image in the document, where it stands: gathered before any is changed, as a change
// remakes the fragments.
QList<PlacedImage> imagesOf(const QTextDocument* document) {
  QList<PlacedImage> images;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextFragment piece = fragment.fragment();
      if (!piece.isValid() || !piece.charFormat().isImageFormat()) continue;
      images.append({piece.position(), piece.length(), piece.charFormat().toImageFormat()});
    }
  }
  return images;
}

}  // namespace

MethodBrowser::MethodBrowser(QWidget* parent) : QTextBrowser(parent) {}

void MethodBrowser::showMarkdown(const QString& markdown, const QString& folder) {
  setSearchPaths({folder});
  setMarkdown(markdown);
  fitImages();
}

QList<double> MethodBrowser::imageWidths() const {
  QList<double> widths;
  for (const PlacedImage& image : imagesOf(document())) widths << image.format.width();
  return widths;
}

void MethodBrowser::resizeEvent(QResizeEvent* event) {
  QTextBrowser::resizeEvent(event);
  fitImages();
}

void MethodBrowser::fitImages() {
  // The text's own width, within the frame, its margins and the scroll bar's room, whether the
  // bar shows or not: a fitted figure must not make the bar come and go.
  const double room = width() - 2 * frameWidth() - 2 * document()->documentMargin() -
                      verticalScrollBar()->sizeHint().width();
  if (room <= 0) return;
  for (PlacedImage placed : imagesOf(document())) {
    QTextImageFormat& format = placed.format;
    const QImage image =
        document()->resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    if (image.isNull() || image.width() <= 0) continue;
    const double width = std::min<double>(image.width(), room);
    if (format.width() == width) continue;
    format.setWidth(width);
    format.setHeight(width * image.height() / image.width());
    QTextCursor cursor(document());
    cursor.setPosition(placed.position);
    cursor.setPosition(placed.position + placed.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
  }
}

}  // namespace rotary::app
