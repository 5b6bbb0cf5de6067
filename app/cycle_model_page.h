// The design panel's Cycle-model page: the working cycle's settings as the companion's options
// take them, and at the cycle speed typed the model's figures and its pressure against volume.
// The model runs off the event loop; the keys typed while it runs are taken together when it
// ends, and a run for values no longer typed is dropped.
#pragma once

#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <optional>

#include "design.h"
#include "working_cycle.h"

class QChartView;

namespace rotary::app {

class CycleModelPage : public QWidget {
  Q_OBJECT

 public:
  explicit CycleModelPage(QWidget* parent = nullptr);

  // The box of a working-cycle setting (study::Field::kCycle to kCycleGamma); null for another.
  QLineEdit* input(study::Field field) const;
  // The settings typed, into the design; those left empty take their defaults.
  void fillDesign(study::Design& design) const;
  // The lengths' unit, for the seal gap's label.
  void setLengthUnit(const QString& unit);

  // Runs the model for the design, or says why it cannot; `realEngine` where the design's real
  // values were typed, as the chart's title names it.
  void compute(const study::Design& design);

  // The model of the design last given, once run; none while it runs, or without a cycle speed.
  struct Modelled {
    cycle::ModelledDesign model;
    bool realEngine = false;
  };
  const std::optional<Modelled>& modelled() const { return modelled_; }
  // Whether the design last given asks for the model and it has not come yet.
  bool computing() const { return running_ || pending_.has_value(); }

  // What the page says: the model and its settings or why there are no figures, and each figure.
  QString caption() const { return caption_->text(); }
  QString figure(int row) const { return figures_.at(row)->text(); }
  static constexpr int kFigureCount = 14;
  QChartView* chartView() const { return chartView_; }

 signals:
  // A setting typed: the panel's design changed.
  void edited();
  // The model's figures came, or went as the design changed.
  void modelledChanged();

 private:
  void start(long request, const study::Design& design);
  void show(const Modelled& modelled);
  void clearShown();

  std::array<QLineEdit*, 12> inputs_{};
  std::array<QLabel*, 12> labels_{};
  QLabel* caption_ = nullptr;
  std::array<QLabel*, kFigureCount> figures_{};
  QChartView* chartView_ = nullptr;
  struct Run {
    long request;
    Modelled modelled;
  };
  QFutureWatcher<Run> watcher_;
  std::optional<Modelled> modelled_;
  long request_ = 0;
  bool running_ = false;
  // The design typed while a run was under way, with its request: run when that one ends.
  std::optional<std::pair<long, study::Design>> pending_;
};

}  // namespace rotary::app
