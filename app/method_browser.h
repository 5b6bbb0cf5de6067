// The method's description as Help shows it: its Markdown with the figures beside it, each
// figure no wider than the window, so that none is read through a scroll bar.
#pragma once

#include <QTextBrowser>

namespace rotary::app {

class MethodBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  explicit MethodBrowser(QWidget* parent = nullptr);
  // The Markdown, its figures named relative to `folder`.
  void showMarkdown(const QString& markdown, const QString& folder);
  // The widths the figures are drawn at, in the order they come.
  QList<double> imageWidths() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Each figure at its own width, or the text's where that is narrower, its height in proportion.
  void fitImages();
};

}  // namespace rotary::app
