#include "cycle_chart_parts.h"

#include <QLegend>

#include "number_text.h"

namespace rotary::drawing {

QChart* newCycleChart(bool realEngine, double eccentricity, double rotorRadius, double chamberWidth,
                      const std::string& what) {
  auto* chart = new QChart;
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setTitle(QString::fromStdString(std::string(realEngine ? "Real engine" : "Exact shape") +
                                         ", e = " + formatNumber(eccentricity) +
                                         ", R = " + formatNumber(rotorRadius) +
                                         ", W = " + formatNumber(chamberWidth) + ": " + what));
  chart->legend()->setAlignment(Qt::AlignBottom);
  return chart;
}

QValueAxis* newShaftAxis() {
  auto* shaft = new QValueAxis;
  shaft->setTitleText("eccentric shaft angle, degrees from top dead centre of compression");
  shaft->setRange(0, 1080);
  shaft->setTickCount(13);
  shaft->setLabelFormat("%.0f");
  return shaft;
}

QPen wholeLinePen(const QColor& colour, double width) {
  QPen pen(colour, width);
  pen.setDashPattern({1e6, 1});
  return pen;
}

}  // namespace rotary::drawing
