// The real engine drawn in the design panel, fitted to the view at any size: the bore, the seal
// tips' trochoid, the rotor at its clearance and the largest rotor it stands inside, the gears'
// pitch circles, a scale bar in the unit of length and a legend. The outlines are the very ones the
// DXF and the saved figure take; the rotor and its gear turn with the shaft's angle.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "real_outline.h"
#include "side_port.h"

namespace rotary::app {

class EngineView : public QWidget {
  Q_OBJECT

 public:
  explicit EngineView(QWidget* parent = nullptr);

  // A side port drawn over the engine, shaded where it stands open to any of the three
  // chambers as the rotor turns.
  struct PortShown {
    bool intake = true;
    Polyline outline;
    std::shared_ptr<const SideOpening> opening;
  };
  void setPorts(std::vector<PortShown> ports);
  // The legend's names, in its order: the engine's lines, then the ports' and their shading.
  QStringList legendNames() const;
  // The open parts of every port at the shaft's angle now, as they are shaded.
  std::vector<Polyline> openPartsNow() const;

  // The outlines of the engine shown, at top dead centre; none clears the view.
  void setOutlines(std::optional<RealOutlines> outlines);
  const std::optional<RealOutlines>& outlines() const { return outlines_; }

  // The shaft's angle in degrees: the rotor centre circles the crank axis counterclockwise, the
  // rotor turning a third as fast the same way.
  void setShaftAngle(double degrees);
  double shaftAngle() const { return shaftAngle_; }

  // The rotor's outline and its gear's centre where they stand at the shaft's angle, in the
  // engine's lengths; and where a point of the engine lands in the view.
  Polyline rotorNow() const;
  PlanePoint rotorGearCentreNow() const;
  QPointF toView(PlanePoint p) const;
  // The length the scale bar stands for, in the engine's lengths, and the unit it names.
  double scaleBarLength() const { return scaleBar_; }
  void setLengthUnit(const QString& unit);
  const QString& lengthUnit() const { return lengthUnit_; }

  QSize sizeHint() const override { return {380, 380}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  PlanePoint moved(PlanePoint p) const;
  void fit();

  std::optional<RealOutlines> outlines_;
  struct LegendKey {
    QColor colour;
    Qt::PenStyle style;
    QString name;
    bool shaded;  // a filled patch, not a line
  };
  std::vector<LegendKey> legendKeys() const;

  std::vector<PortShown> ports_;
  double shaftAngle_ = 0;
  // Engine to view: x' = origin.x + scale x, y' = origin.y - scale y.
  double scale_ = 1;
  QPointF origin_;
  double scaleBar_ = 0;
  QString lengthUnit_ = "mm";
};

}  // namespace rotary::app
