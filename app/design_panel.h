// The design panel beside the client area: the real engine's seal offset, clearance, recess and
// target ratio for the engine whose figures the window shows, and the real engine's figures as
// the user types, with its chamber's walls, the ideal cycle and, at a shaft speed, its seal's. They
// are computed off the event loop, so that a slow case never holds up the window, and shown when
// they come.
#pragma once

#include <QComboBox>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "cycle_chart.h"
#include "cycle_model_page.h"
#include "design_outcome.h"
#include "engine_view.h"
#include "length_unit.h"
#include "results_table.h"
#include "solid_settings.h"

namespace rotary::app {

class DesignPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DesignPanel(QWidget* parent = nullptr);

  QLineEdit* input(study::Field field) const;
  // Whether a seal offset, clearance, recess or target ratio is typed: the real engine is asked
  // for.
  bool realGiven() const;
  // The window's design: the engine the cycle read (its lengths and step count) with what the
  // panel holds, as typed: the unit, the real engine, rotors, gear module, shaft speed and ports.
  study::Design design(const study::Design& engine) const;
  // The panel's design of the engine it works on.
  study::Design design() const;
  // The first rule the panel's design breaks, in the window's words; none when it breaks none.
  std::optional<study::Refusal> refusal() const;

  // The engine the panel works on: the dimensions a cycle read and gave figures for.
  void setEngine(const study::Design& engine);
  // Says in the caption that the values typed in the window are not the engine's.
  void setStale(bool stale);
  const std::optional<study::Design>& engine() const { return engine_; }

  // The real engine of the engine and values shown, once computed; none while it is being
  // computed, before any engine, or with no values given.
  const std::optional<study::DesignOutcome>& outcome() const { return outcome_; }
  // Whether figures are on their way: the values typed settling, the engine or its working cycle
  // being computed.
  bool computing() const { return computing_ || settlePending_ || model_->computing(); }

  // What the panel says: the caption, each figure's value and the refusal in red.
  QString caption() const { return caption_->text(); }
  QString figure(int row) const { return figures_.at(row)->text(); }
  QString refusalShown() const { return refusal_->text(); }
  // The designer's figures of the engine shown, for the rotors and gear module given: K, the
  // displacement, the largest seal lean, the bore's axes, the gears, the exact limit; the real
  // engine's where the panel has one.
  QSpinBox* rotors() const { return rotors_; }
  QLineEdit* gearModule() const { return module_; }
  QString designerFigure(int row) const { return designer_.at(row)->text(); }
  // The unit of the lengths typed: the figures', the drawing's and the saves'.
  QComboBox* unitBox() const { return unit_; }
  QLineEdit* peripheralPort(PortRole role) const {
    return peripheral_[role == PortRole::kIntake ? 0 : 1];
  }
  // The recess as a pocket in each flank (LENGTH,WIDTH,LEAD) and the apex seals' slots
  // (WIDTH,DEPTH), as the companion's options take them.
  QLineEdit* recessPocket() const { return shape_[0]; }
  QLineEdit* apexSlot() const { return shape_[1]; }
  // The solids' mass properties, as Export Solids measured them for the design shown; they go
  // as soon as a value or the engine changes.
  void setSolidFigures(const study::SolidFigures& figures);
  QString solidFigures() const { return solidFigures_->text(); }
  const study::LengthUnit& unit() const;
  QString designerNote() const { return designerNote_->text(); }
  // The chamber over its cycle, on the panel's second page.
  CycleChart* cycleChart() const { return cycle_; }
  // The working cycle's model of the design, on the panel's last page.
  CycleModelPage* cycleModel() const { return model_; }
  // The engine drawn, on the panel's first page.
  EngineView* engineView() const { return engineView_; }
  // Side ports loaded from DXF or CSV files, timed for the engine shown (its real engine where
  // values are given) and drawn on it; the reason in the companion's words where a file is no
  // port, none added then.
  QString addPorts(PortRole role, const QStringList& paths);
  void clearPorts();
  // The ports opened from files, then those typed in the bore; why a typed one is none, where
  // one is not.
  std::vector<PortDefinition> ports(std::string* refusal = nullptr) const;
  // Why the gear module typed cannot be taken; empty when it can, or none is typed.
  std::string gearModuleRefusal() const;
  // The timing table, as the companion's text gives it; empty without ports.
  QString portTiming() const { return portTiming_->text(); }

 signals:
  // The outcome came, or went as a value or the engine changed.
  void outcomeChanged();
  // Another unit of length was chosen: the window's volumes follow it.
  void unitChanged();

 private:
  void recompute();
  // A value typed: computed at once, or with the keys that follow it once they pause.
  void typed();
  // The outcome's figures and words; a `final` one is the panel's outcome, which the saves and the
  // designer's figures take, an early one only shows its figures while the curve comes.
  void showOutcome(const study::DesignOutcome& outcome, bool final = true);
  void clearFigures();
  void updateDesigner();
  // The bare engine's outlines, for the drawing while no real engine is typed.
  std::optional<RealOutlines> bareOutlines() const;
  QString inUnits(const char* name) const;
  // The labels and accessible names in the unit chosen.
  void nameInUnits();

  std::array<QLineEdit*, 6> inputs_{};
  std::array<QLabel*, 6> inputLabels_{};
  QLabel* caption_ = nullptr;
  std::array<QLabel*, 9> figures_{};
  std::array<QLabel*, 9> figureLabels_{};
  QLabel* hint_ = nullptr;  // while no value is given
  QLabel* refusal_ = nullptr;
  struct Computed {
    long request;
    study::DesignOutcome outcome;
    std::vector<CyclePoint> curve;  // of the real engine, where it has figures
    std::optional<RealOutlines> outlines;
    std::optional<EngineTiming> timing;  // with ports, of the engine the figures describe
    std::vector<EngineView::PortShown> shown;
  };
  std::vector<PortDefinition> ports_;
  QLabel* portTiming_ = nullptr;
  EngineView* engineView_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QSpinBox* rotors_ = nullptr;
  QLineEdit* module_ = nullptr;
  std::array<QLabel*, 7> designer_{};
  std::array<QLabel*, 7> designerLabels_{};
  QLabel* moduleLabel_ = nullptr;
  // A window in the bore each, typed FROM,TO,WIDTH as the companion's options take it.
  std::array<QLineEdit*, 2> peripheral_{};
  std::array<QLabel*, 2> peripheralLabels_{};
  std::array<QLineEdit*, 2> shape_{};
  std::array<QLabel*, 2> shapeLabels_{};
  QLabel* solidFigures_ = nullptr;
  QComboBox* unit_ = nullptr;
  QLabel* designerNote_ = nullptr;
  CycleChart* cycle_ = nullptr;
  CycleModelPage* model_ = nullptr;
  QFutureWatcher<Computed> watcher_;
  // The real engine's figures alone, ahead of its curve and drawing: the request they answer.
  QFutureWatcher<std::pair<long, study::DesignOutcome>> figuresWatcher_;
  std::optional<study::Design> engine_;
  std::optional<study::DesignOutcome> outcome_;
  // Which request the outcome on its way belongs to: a newer one makes it stale.
  long request_ = 0;
  bool computing_ = false;
  // A key computes at once and starts it; the keys that follow while it runs restart it, and are
  // computed together when it ends: a key shows at once, and a run of them costs two
  // computations, not one each.
  QTimer settle_;
  bool settlePending_ = false;
  QString engineCaption_;
};

}  // namespace rotary::app
