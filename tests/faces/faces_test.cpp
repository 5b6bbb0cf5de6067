// One table of designs through all three faces: the companion as a script runs it, the Python
// module as a notebook calls it, and the window as a designer types it (its result boxes, its
// panel, Copy and its saved results). Every design gives the same figures everywhere, the same
// bytes in the files, and, in another unit, the figures of the same engine in millimetres
// converted by hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "desk_window.h"
#include "number_text.h"

namespace rotary::app {
namespace {

using study::Field;
using testing::csvCells;
using testing::DeskWindow;
using testing::pasted;
using Json = nlohmann::json;

// Side ports drawn for the defaults (e 15, R 105, W 80) in millimetres; a design in another unit
// has them scaled with its lengths.
struct Outline {
  const char* name;
  std::vector<std::pair<double, double>> points;
};
const Outline kOutlines[] = {
    // Hugging the bore left of the minor axis: opens once.
    {"side", {{-45, 82}, {-75, 70}, {-72, 58}, {-40, 72}}},
    // Near the waist the chamber passes over it twice a cycle.
    {"waist", {{-2, 86}, {2, 86}, {2, 89.5}, {-2, 89.5}}},
    // At the crank axis the rotor covers it the whole cycle.
    {"centre", {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}},
    // Reaches 10 past the bore's minor semi-axis.
    {"beyond", {{-10, 80}, {10, 80}, {10, 100}, {-10, 100}}},
    // Wholly outside the bore: it can never open.
    {"outside", {{-10, 150}, {10, 150}, {10, 170}, {-10, 170}}},
};

struct FaceCase {
  const char* name;
  const char* unit;  // "" for the window's millimetres, which no option names
  const char *e, *R, *W;
  const char *A = "", *C = "", *V = "", *X = "";  // the real engine's; "" for not given
  const char *rpm = "", *gamma = "";
  int rotors = 1;
  const char* module = "";
  const char *peripheralIntake = "", *peripheralExhaust = "";  // FROM,TO,WIDTH in the unit
  const char *intake = "", *exhaust = "";                      // an outline's name
  // The working cycle's speed and settings, each as the window's box takes it; none for no
  // model.
  std::vector<std::pair<Field, const char*>> cycle = {};
};

void PrintTo(const FaceCase& c, std::ostream* os) {
  *os << c.name;
}

double millimetresPer(const std::string& unit) {
  return unit == "cm" ? 10 : unit == "m" ? 1000 : unit == "in" ? 25.4 : 1;
}
// Cubic centimetres in the unit's volume unit: the millimetre engine's volumes are cm^3.
double cubicCentimetresPer(const std::string& unit) {
  return unit == "m" ? 1e6 : unit == "in" ? 16.387064 : 1;
}

std::string scaled(const char* text, double factor) {
  return *text ? significantDigits(std::stod(text) * factor, 17) : "";
}

// The same engine in millimetres: lengths times the millimetres in the unit, volumes in cm^3,
// a window's width scaled and its angles kept.
FaceCase inMillimetres(const FaceCase& c, std::vector<std::string>& texts) {
  const double k = millimetresPer(c.unit), v = cubicCentimetresPer(c.unit);
  texts.clear();
  texts.reserve(16);
  const auto keep = [&texts](std::string text) {
    return texts.emplace_back(std::move(text)).c_str();
  };
  const auto window = [&](const char* text) -> const char* {
    if (!*text) return "";
    const QStringList parts = QString(text).split(',');
    return keep(parts[0].toStdString() + "," + parts[1].toStdString() + "," +
                scaled(parts[2].toStdString().c_str(), k));
  };
  FaceCase mm = c;
  mm.unit = "";
  mm.e = keep(scaled(c.e, k)), mm.R = keep(scaled(c.R, k)), mm.W = keep(scaled(c.W, k));
  mm.A = keep(scaled(c.A, k)), mm.C = keep(scaled(c.C, k)), mm.V = keep(scaled(c.V, v));
  mm.module = keep(scaled(c.module, k));
  mm.peripheralIntake = window(c.peripheralIntake);
  mm.peripheralExhaust = window(c.peripheralExhaust);
  return mm;
}

// Writes the design's side ports into `folder`, scaled to its unit: their file names by role.
std::map<std::string, QString> writeOutlines(const FaceCase& c, const QDir& folder) {
  std::map<std::string, QString> files;
  const double k = millimetresPer(c.unit);
  for (const auto& [role, name] :
       {std::pair{"intake", c.intake}, std::pair{"exhaust", c.exhaust}}) {
    if (!*name) continue;
    for (const Outline& outline : kOutlines) {
      if (outline.name != std::string(name)) continue;
      const QString file = QString("%1-%2.csv").arg(role, name);
      std::ofstream out(folder.filePath(file).toStdString());
      out << "x,y\n";
      for (const auto& [x, y] : outline.points) {
        out << significantDigits(x / k, 17) << ',' << significantDigits(y / k, 17) << '\n';
      }
      files[role] = file;
    }
  }
  return files;
}

QStringList companionOptions(const FaceCase& c, const std::map<std::string, QString>& files) {
  QStringList options{"--eccentricity", c.e, "--rotor-radius", c.R, "--chamber-width", c.W};
  // The ports in the order the window and Python number them: the side ports, then the windows
  // in the bore, intake before exhaust.
  if (files.count("intake")) options << "--intake-port" << files.at("intake");
  if (files.count("exhaust")) options << "--exhaust-port" << files.at("exhaust");
  const std::pair<const char*, const char*> given[] = {
      {"--units", c.unit},
      {"--seal-offset", c.A},
      {"--clearance", c.C},
      {"--recess", c.V},
      {"--target-ratio", c.X},
      {"--rpm", c.rpm},
      {"--gamma", c.gamma},
      {"--gear-module", c.module},
      {"--peripheral-intake", c.peripheralIntake},
      {"--peripheral-exhaust", c.peripheralExhaust}};
  for (const auto& [option, value] : given) {
    if (*value) options << option << value;
  }
  if (c.rotors != 1) options << "--rotors" << QString::number(c.rotors);
  for (const auto& [field, value] : c.cycle) {
    options << QString::fromUtf8(study::ruleOf(field).option) << value;
  }
  return options;
}

// The companion run in `folder`, where the ports' files are, so that it names them as the window
// does; its standard output.
QByteArray companionIn(const QDir& folder, const QStringList& options) {
  QProcess process;
  process.setWorkingDirectory(folder.path());
  process.start(ROTARY_COMPANION, options);
  process.waitForFinished(60000);
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return process.readAllStandardOutput();
}

// Cells as the failure messages print them.
std::map<std::string, std::string> plain(const std::map<QString, QString>& cells) {
  std::map<std::string, std::string> out;
  for (const auto& [name, cell] : cells) out[name.toStdString()] = cell.toStdString();
  return out;
}

// The one row of a CSV as column name to cell.
std::map<QString, QString> csvRow(const QByteArray& csv) {
  const QStringList lines = QString::fromUtf8(csv).split('\n', Qt::SkipEmptyParts);
  std::map<QString, QString> row;
  if (lines.size() != 2) return row;
  const QStringList names = csvCells(lines[0]), cells = csvCells(lines[1]);
  for (int n = 0; n < names.size() && n < cells.size(); ++n) row[names[n]] = cells[n];
  return row;
}

Json pythonFace(const FaceCase& c, const QDir& folder,
                const std::map<std::string, QString>& files) {
  Json design = {{"e", std::stod(c.e)}, {"R", std::stod(c.R)}, {"W", std::stod(c.W)}};
  const std::pair<const char*, const char*> numbers[] = {
      {"seal_offset", c.A}, {"clearance", c.C}, {"recess", c.V},          {"target_ratio", c.X},
      {"rpm", c.rpm},       {"gamma", c.gamma}, {"gear_module", c.module}};
  for (const auto& [name, value] : numbers) {
    if (*value) design[name] = std::stod(value);
  }
  if (*c.unit) design["units"] = c.unit;
  design["rotors"] = c.rotors;
  for (const auto& [name, value] : {std::pair{"peripheral_intake", c.peripheralIntake},
                                    std::pair{"peripheral_exhaust", c.peripheralExhaust}}) {
    if (!*value) continue;
    Json window = Json::array();
    for (const QString& part : QString(value).split(',')) window.push_back(part.toDouble());
    design[name] = Json::array({window});
  }
  // The working cycle by cycle(), each setting by its keyword, a pair as a tuple.
  if (!c.cycle.empty()) {
    Json settings = Json::object();
    for (const auto& [field, value] : c.cycle) {
      const QStringList parts = QString(value).split(',');
      Json number = parts.size() == 1 ? Json(parts[0].toDouble()) : Json::array();
      if (parts.size() > 1) {
        for (const QString& part : parts) number.push_back(part.toDouble());
      }
      settings[std::string(study::ruleOf(field).keyword)] = number;
    }
    design["cycle"] = settings;
  }
  // Named as the companion and the window name them: run where they are.
  for (const auto& [role, file] : files) design[role] = file.toStdString();
  QProcess process;
  process.setWorkingDirectory(folder.path());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PYTHONPATH", ROTARY_PYTHON_PATH);
  process.setProcessEnvironment(environment);
  process.start("/usr/bin/python3", {ROTARY_PYTHON_FACE, QString::fromStdString(design.dump())});
  process.waitForFinished(60000);
  const QByteArray out = process.readAllStandardOutput();
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return Json::parse(out.toStdString(), nullptr, false);
}

// Whether a number given unrounded is the one a cell shows to its digits: within half a unit of
// its last digit.
bool shownAs(double value, const QString& cell) {
  bool number = false;
  const double shown = cell.toDouble(&number);
  if (!number) return false;
  const QString mantissa = cell.section(QRegularExpression("[eE]"), 0, 0).remove('-');
  QString digits = mantissa;
  digits.remove('.');
  while (digits.startsWith('0')) digits.remove(0, 1);
  const int fractional =
      mantissa.contains('.') ? int(mantissa.size() - mantissa.indexOf('.') - 1) : 0;
  const int exponent = cell.contains(QRegularExpression("[eE]"))
                           ? cell.section(QRegularExpression("[eE]"), 1).toInt()
                           : 0;
  const double halfUnit = 0.5 * std::pow(10.0, exponent - fractional);
  return std::abs(value - shown) <= halfUnit * (1 + 1e-9) + 1e-12 * std::abs(shown);
}

// Every other save of the window, and the companion's options that write the same file.
struct Save {
  WindowFile file;
  const char* name;
  QStringList options;  // the file's path follows them
};
const Save kSaves[] = {
    {WindowFile::kFigureSvg, "figure.svg", {"--figure"}},
    {WindowFile::kFigurePdf, "figure.pdf", {"--figure"}},
    {WindowFile::kFigurePng, "figure.png", {"--figure"}},
    {WindowFile::kDxf, "outlines.dxf", {"--dxf"}},
    {WindowFile::kProfiles, "profiles.csv", {"--profiles"}},
    {WindowFile::kVolumeCurve, "curve.csv", {"--volume-curve"}},
    {WindowFile::kCycleChartSvg, "chart.svg", {"--volume-curve", "/dev/null", "--chart"}},
    {WindowFile::kCycleChartPng, "chart.png", {"--volume-curve", "/dev/null", "--chart"}},
};

// The saves of a design: with a working cycle, the model's curve and chart as well.
std::vector<Save> savesOf(const FaceCase& c) {
  std::vector<Save> saves(std::begin(kSaves), std::end(kSaves));
  if (!c.cycle.empty()) {
    saves.push_back({WindowFile::kModelCurve, "model.csv", {"--cycle-curve"}});
    saves.push_back({WindowFile::kModelChartSvg, "model.svg", {"--chart"}});
    saves.push_back({WindowFile::kModelChartPng, "model.png", {"--chart"}});
  }
  return saves;
}

// A PDF's one part that may differ: the second at which it was made.
QByteArray undated(const QByteArray& pdf) {
  static const QRegularExpression date(R"(/CreationDate \(D:\d+Z\))");
  return QString::fromLatin1(pdf).replace(date, "").toLatin1();
}

class Faces : public ::testing::TestWithParam<FaceCase> {};

TEST_P(Faces, GiveOneDesignTheSameFiguresEverywhere) {
  const FaceCase& c = GetParam();
  QTemporaryDir temporary;
  const QDir folder(temporary.path());
  const std::map<std::string, QString> files = writeOutlines(c, folder);
  const QStringList options = companionOptions(c, files);
  const QByteArray csv = companionIn(folder, QStringList(options) << "--format"
                                                                  << "csv");
  const QByteArray json = companionIn(folder, QStringList(options) << "--format"
                                                                   << "json");
  const std::map<QString, QString> row = csvRow(csv);
  ASSERT_FALSE(row.empty()) << csv.toStdString();
  const bool real = *c.A || *c.C || *c.V || *c.X;
  // The text gives the figures to six digits: the real engine's where it has one.
  const QString text = QString::fromUtf8(companionIn(folder, options));
  for (const auto& [line, column] : {std::pair{"chamber capacity: ", "chamber_capacity"},
                                     std::pair{"dead volume: ", "dead_volume"},
                                     std::pair{"compression ratio: ", "compression_ratio"}}) {
    const QString figure = real ? QString::fromStdString(significantDigits(
                                      row.at(QString("real_") + column).toDouble(), 6))
                                : row.at(column);
    EXPECT_TRUE(text.contains("\n" + QString(line) + figure + "\n") ||
                text.startsWith(QString(line) + figure + "\n"))
        << line << figure.toStdString() << " not in\n"
        << text.toStdString();
  }

  // The window, typed as a designer types it.
  DeskWindow window;
  QStringList boxes, panelFigures, modelFigures;
  QString modelCaption;
  std::map<QString, QString> copied;
  QByteArray savedCsv, savedJson;
  enum { kStart, kTyped, kPorts } stage = kStart;
  long framesAt = 0;
  DesignPanel* panel = window.desk.panel();
  const auto settled = [&] {
    const auto& engine = panel->engine();
    return engine && engine->eccentricity.text == c.e && !panel->computing() &&
           window.window.program.cycle().state().figures &&
           !window.window.program.cycle().flags().restartRequested() &&
           window.window.frames() > framesAt + 2;
  };
  ASSERT_TRUE(window.window.runUntil([&] {
    switch (stage) {
      case kStart:
        if (window.window.frames() < 2) return false;
        window.window.form.text(1)->setText(c.e);
        window.window.form.text(2)->setText(c.R);
        window.window.form.text(3)->setText(c.W);
        window.window.clickRecalculate();
        window.window.form.menus().designPanel->setChecked(true);
        panel->unitBox()->setCurrentText(*c.unit ? c.unit : "mm");
        panel->input(Field::kSealOffset)->setText(c.A);
        panel->input(Field::kClearance)->setText(c.C);
        panel->input(Field::kRecess)->setText(c.V);
        panel->input(Field::kTargetRatio)->setText(c.X);
        panel->input(Field::kRpm)->setText(c.rpm);
        panel->input(Field::kGamma)->setText(c.gamma);
        panel->rotors()->setValue(c.rotors);
        panel->gearModule()->setText(c.module);
        panel->peripheralPort(PortRole::kIntake)->setText(c.peripheralIntake);
        panel->peripheralPort(PortRole::kExhaust)->setText(c.peripheralExhaust);
        for (const auto& [field, value] : c.cycle) {
          panel->cycleModel()->input(field)->setText(value);
        }
        framesAt = window.window.frames();
        stage = kTyped;
        return false;
      case kTyped:
        if (!settled()) return false;
        // The ports opened once the engine they are for stands, as a designer opens them.
        for (const auto& [role, name] :
             {std::pair{PortRole::kIntake, "intake"}, std::pair{PortRole::kExhaust, "exhaust"}}) {
          if (files.count(name)) {
            EXPECT_EQ(panel->addPorts(role, {folder.filePath(files.at(name))}), "");
          }
        }
        framesAt = window.window.frames();
        stage = kPorts;
        return false;
      case kPorts:
        if (!settled()) return false;
        for (int n = 4; n <= 6; ++n) boxes << window.window.text(n);
        for (int n = 0; n < 6; ++n) panelFigures << panel->figure(n);
        for (int n = 0; n < CycleModelPage::kFigureCount; ++n) {
          modelFigures << panel->cycleModel()->figure(n);
        }
        modelCaption = panel->cycleModel()->caption();
        window.window.form.menus().copyResults->trigger();
        copied = pasted(QApplication::clipboard()->text());
        EXPECT_TRUE(window.desk.save(WindowFile::kResultsCsv, folder.filePath("window.csv")))
            << window.complaints.join("\n").toStdString();
        EXPECT_TRUE(window.desk.save(WindowFile::kResultsJson, folder.filePath("window.json")))
            << window.complaints.join("\n").toStdString();
        for (const Save& save : savesOf(c)) {
          EXPECT_TRUE(window.desk.save(save.file, folder.filePath(QString("window-") + save.name)))
              << save.name << ": " << window.complaints.join("\n").toStdString();
        }
        return true;
    }
    return true;
  }));
  EXPECT_EQ(boxes, QStringList({row.at("chamber_capacity"), row.at("dead_volume"),
                                row.at("compression_ratio")}));
  if (real) {
    const char* names[] = {"real_chamber_capacity",  "real_dead_volume",
                           "real_compression_ratio", "target_recess",
                           "surface_to_volume_tdc",  "otto_efficiency"};
    for (int n = 0; n < 6; ++n) {
      const QString& cell = row.at(names[n]);
      EXPECT_EQ(panelFigures[n].toStdString(),
                cell.isEmpty() ? "" : significantDigits(cell.toDouble(), 6))
          << names[n];
    }
  }
  // Copy carries the CSV's every column but the note, cell for cell.
  std::map<QString, QString> expected = row;
  expected.erase("note");
  EXPECT_EQ(plain(copied), plain(expected));
  EXPECT_EQ(testing::contentOf(folder.filePath("window.csv")).toStdString(), csv.toStdString());
  EXPECT_EQ(testing::contentOf(folder.filePath("window.json")).toStdString(), json.toStdString());
  // The model's page: its figures the CSV's to six digits, named a model with its settings.
  if (!c.cycle.empty()) {
    const char* columns[] = {"imep_net",          "imep_gross",        "pmep",
                             "indicated_power",   "indicated_torque",  "indicated_efficiency",
                             "indicated_work",    "trapped_mass",      "volumetric_efficiency",
                             "residual_fraction", "peak_pressure",     "heat_lost",
                             "mass_leaked",       "cycles_to_converge"};
    ASSERT_FALSE(row.at("imep_net").isEmpty()) << csv.toStdString();
    for (int n = 0; n < CycleModelPage::kFigureCount; ++n) {
      const std::string shown = significantDigits(row.at(columns[n]).toDouble(), 6);
      const std::string expected =
          n == 10 ? shown + " at " + significantDigits(row.at("peak_pressure_deg").toDouble(), 6)
                  : shown;
      EXPECT_EQ(modelFigures[n].toStdString(), expected) << columns[n];
    }
    EXPECT_EQ(modelCaption.toStdString(),
              "working cycle, " + row.at("cycle_model").toStdString() + ".");
  }
  // Every save, the companion's file to the byte: the volume's chart without the model, as the
  // companion draws the model's chart where it runs one.
  QStringList withoutModel = options;
  for (const auto& [field, value] : c.cycle) {
    withoutModel.removeAt(withoutModel.indexOf(QString::fromUtf8(study::ruleOf(field).option)) + 1);
    withoutModel.removeOne(QString::fromUtf8(study::ruleOf(field).option));
  }
  for (const Save& save : savesOf(c)) {
    const QString name = QString("companion-") + save.name;
    const bool volumeChart =
        save.file == WindowFile::kCycleChartSvg || save.file == WindowFile::kCycleChartPng;
    companionIn(folder, QStringList(volumeChart ? withoutModel : options) << save.options << name);
    QByteArray written = testing::contentOf(folder.filePath(QString("window-") + save.name));
    QByteArray expected = testing::contentOf(folder.filePath(name));
    ASSERT_FALSE(expected.isEmpty()) << save.name;
    if (save.file == WindowFile::kFigurePdf)
      written = undated(written), expected = undated(expected);
    EXPECT_TRUE(written == expected) << save.name;
  }

  // Python's study and real engine: every column the CSV has, to the digits it shows.
  const Json python = pythonFace(c, folder, files);
  ASSERT_TRUE(python.is_object());
  const Json& studied = python.at("study");
  EXPECT_EQ(studied.at("message"), "");
  int compared = 0;
  for (const auto& [name, cell] : row) {
    const std::string key = name.toStdString();
    if (!studied.contains(key) || name == "length_unit" || name == "volume_unit") continue;
    const Json& value = studied.at(key);
    if (name == "note") {
      EXPECT_EQ(QString::fromStdString(value.get<std::string>()).replace('\n', ' ').toStdString(),
                cell.toStdString());
    } else if (value.is_null()) {
      EXPECT_EQ(cell, "") << key;
    } else if (value.is_number()) {
      EXPECT_TRUE(shownAs(value.get<double>(), cell))
          << key << ": " << value << " for " << cell.toStdString();
      ++compared;
    }
  }
  EXPECT_GE(compared, 18);
  if (real) {
    const Json& one = python.at("real_engine");
    for (const auto& [name, value] : one.items()) {
      const bool figure =
          name == "chamber_capacity" || name == "dead_volume" || name == "compression_ratio";
      const QString column = QString::fromStdString((figure ? "real_" : "") + name);
      if (!row.count(column) || value.is_null()) continue;
      EXPECT_TRUE(shownAs(value.get<double>(), row.at(column))) << name;
    }
  }

  if (!c.cycle.empty()) {
    const Json& modelled = python.at("cycle");
    int figures = 0;
    for (const auto& [name, value] : modelled.items()) {
      const QString column = QString::fromStdString(name);
      if (!row.count(column) || !value.is_number()) continue;
      EXPECT_TRUE(shownAs(value.get<double>(), row.at(column)))
          << name << ": " << value << " for " << row.at(column).toStdString();
      ++figures;
    }
    EXPECT_EQ(figures, 15);
    EXPECT_EQ(modelled.at("cycle_model").get<std::string>(), row.at("cycle_model").toStdString());
  }

  // Another unit: the same engine in millimetres, its figures converted by hand.
  if (*c.unit) {
    std::vector<std::string> texts;
    const FaceCase mm = inMillimetres(c, texts);
    const std::map<std::string, QString> mmFiles = writeOutlines(mm, folder);
    const std::map<QString, QString> mmRow =
        csvRow(companionIn(folder, companionOptions(mm, mmFiles) << "--format"
                                                                 << "csv"));
    const double k = millimetresPer(c.unit), v = cubicCentimetresPer(c.unit);
    const struct {
      const char* column;
      double factor;  // the unit's figure times this is the millimetre engine's
    } conversions[] = {{"exact_chamber_capacity", v},    {"exact_dead_volume", v},
                       {"exact_compression_ratio", 1},   {"displacement", v},
                       {"housing_major_axis", k},        {"rotor_gear_radius", k},
                       {"surface_to_volume_tdc", 1 / k}, {"otto_efficiency", 1},
                       {"real_chamber_capacity", v},     {"target_recess", v},
                       {"mean_seal_speed", 1},           {"largest_seal_inertia_per_gram", 1},
                       {"port1_largest_area", k * k},    {"port1_opens_deg", 1}};
    int converted = 0;
    for (const auto& [column, factor] : conversions) {
      if (!row.count(column) || row.at(column).isEmpty()) continue;
      const double here = row.at(column).toDouble() * factor, there = mmRow.at(column).toDouble();
      EXPECT_NEAR(here, there, 2e-8 * std::abs(there) + 1e-12) << column;
      ++converted;
    }
    EXPECT_GE(converted, 7);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Faces,
    ::testing::Values(FaceCase{"Defaults", "", "15", "105", "80"},
                      FaceCase{"CentimetresBare", "cm", "1.5", "10.5", "8"},
                      FaceCase{"RealInMetresAtSpeed", "m", "0.015", "0.105", "0.08", "0.002",
                               "0.0001", "", "", "7000"},
                      FaceCase{"TargetInInchesTwoRotorsWithGears", "in", "0.6", "4.2", "3.2",
                               "0.08", "", "", "9.4", "", "1.3", 2, "0.1"},
                      FaceCase{"RecessAndGammaFourRotors", "", "15", "105", "80", "2", "0.1", "3",
                               "", "9000", "1.35", 4, "2.5"},
                      FaceCase{"SideAndPeripheralPorts", "", "15", "105", "80", "", "", "", "",
                               "7000", "", 1, "", "", "42.5,54.4,30", "side"},
                      FaceCase{"OpensTwiceAndNeverOpens", "", "15", "105", "80", "", "", "", "", "",
                               "", 1, "", "", "42.5,54.4,30", "waist", "centre"},
                      FaceCase{"ReachesBeyondTheBoreOnTheRealEngine", "", "15", "105", "80", "2",
                               "0.1", "", "", "", "", 1, "", "", "", "side", "beyond"},
                      FaceCase{"PortsInCentimetresWithATarget", "cm", "1.5", "10.5", "8", "0.2",
                               "0.01", "", "9.4", "7000", "", 1, "", "150,175,3", "", "side",
                               "waist"},
                      FaceCase{"PeripheralPortsInInches", "in", "0.6", "4.2", "3.2", "", "", "", "",
                               "6000", "", 3, "", "150,175,0.12", "42.5,54.4,1.2"},
                      // The working cycle: a closed chamber of a real engine in centimetres, at
                      // constant gamma and without heat lost; and one breathing through a side
                      // intake and a peripheral exhaust with every setting its own, two rotors.
                      FaceCase{"ClosedModelInCentimetres",
                               "cm",
                               "1.5",
                               "10.5",
                               "8",
                               "0.2",
                               "0.01",
                               "",
                               "",
                               "",
                               "",
                               1,
                               "",
                               "",
                               "",
                               "",
                               "",
                               {{Field::kCycle, "3000"},
                                {Field::kCycleGamma, "1.35"},
                                {Field::kHeatTransfer, "0"},
                                {Field::kBurn, "40"}}},
                      FaceCase{"ModelBreathingThroughPorts",
                               "",
                               "15",
                               "105",
                               "80",
                               "",
                               "",
                               "",
                               "",
                               "",
                               "",
                               2,
                               "",
                               "",
                               "42.5,54.4,30",
                               "side",
                               "",
                               {{Field::kCycle, "6000"},
                                {Field::kDischarge, "0.8"},
                                {Field::kIntakePlenum, "1.2,310"},
                                {Field::kExhaustPlenum, "1.1,850"},
                                {Field::kSpark, "20"},
                                {Field::kWiebe, "4.5,1.8"},
                                {Field::kAirFuelRatio, "13.5"},
                                {Field::kSealGap, "0.02"},
                                {Field::kWallTemperature, "420"},
                                {Field::kHeatTransfer, "1.2"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A design one of the rules refuses: refused by every face, with the same words after the name
// each face gives the value.
struct RefusedCase {
  FaceCase design;
  const char* words;
  const char *option, *keyword, *field;  // the value's name on each face
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.design.name;
}

class RefusedByEveryFace : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedByEveryFace, InTheSameWords) {
  const RefusedCase& r = GetParam();
  const FaceCase& c = r.design;
  QTemporaryDir temporary;
  const QDir folder(temporary.path());
  const std::map<std::string, QString> files = writeOutlines(c, folder);

  QProcess companion;
  companion.setWorkingDirectory(folder.path());
  companion.start(ROTARY_COMPANION, companionOptions(c, files));
  companion.waitForFinished(60000);
  const std::string said = companion.readAllStandardError().toStdString();
  EXPECT_EQ(companion.exitCode(), 2) << said;
  EXPECT_NE(said.find(std::string(r.option) + ": "), std::string::npos) << said;
  EXPECT_NE(said.find(r.words), std::string::npos) << said;
  EXPECT_EQ(static_cast<std::size_t>(folder.entryList(QDir::Files).size()), files.size())
      << "no file written";

  // Python raises DesignError, a ValueError, for real_engine() and study() alike.
  const QString script = QString(R"(
import json, sys, numpy, rotary_ratio
d = json.loads(sys.argv[1])
# A side port outside one engine's bore is refused by ports(); a study's row notes it, as the
# companion's study does.
calls = ((lambda: rotary_ratio.ports(**d),) if "intake" in d else
         (lambda: rotary_ratio.study(**d), lambda: rotary_ratio.real_engine(**d)))
for call in calls:
    try:
        found = call()
        print(numpy.ravel(found["message"])[0] if isinstance(found, dict) else "no refusal")
    except rotary_ratio.DesignError as error:
        print(error)
)");
  Json design = {{"e", std::stod(c.e)}, {"R", std::stod(c.R)}, {"W", std::stod(c.W)}};
  for (const auto& [name, value] :
       {std::pair{"seal_offset", c.A}, std::pair{"target_ratio", c.X}, std::pair{"rpm", c.rpm},
        std::pair{"gamma", c.gamma}, std::pair{"gear_module", c.module}}) {
    if (*value) design[name] = std::stod(value);
  }
  if (*c.peripheralIntake) {
    Json window = Json::array();
    for (const QString& part : QString(c.peripheralIntake).split(',')) {
      window.push_back(part.toDouble());
    }
    design["peripheral_intake"] = Json::array({window});
  }
  const bool sidePort = files.count("intake") > 0;
  if (sidePort) design["intake"] = files.at("intake").toStdString();
  QProcess python;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PYTHONPATH", ROTARY_PYTHON_PATH);
  python.setProcessEnvironment(environment);
  python.setWorkingDirectory(folder.path());
  python.start("/usr/bin/python3", {"-c", script, QString::fromStdString(design.dump())});
  python.waitForFinished(60000);
  const QStringList answers = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
  ASSERT_GE(answers.size(), 2) << python.readAllStandardError().toStdString();
  // real_engine() takes no ports: a port's refusal is the study's alone.
  const bool portRule = sidePort || *c.peripheralIntake;
  for (int n = 0; n < (portRule ? 1 : 2); ++n) {
    EXPECT_TRUE(answers[n].startsWith(QString(r.keyword) + ": ")) << answers[n].toStdString();
    EXPECT_TRUE(answers[n].contains(r.words)) << answers[n].toStdString();
  }

  // The window: the panel says it in red, and neither Copy nor a save drops the value.
  DeskWindow window;
  DesignPanel* panel = window.desk.panel();
  QString refusal, portRefusal;
  bool saves = true, copy = true;
  bool typed = false;
  long framesAt = 0;
  ASSERT_TRUE(window.window.runUntil([&] {
    if (!typed) {
      if (window.window.frames() < 2) return false;
      window.window.form.menus().designPanel->setChecked(true);
      panel->input(Field::kSealOffset)->setText(c.A);
      panel->input(Field::kTargetRatio)->setText(c.X);
      panel->input(Field::kRpm)->setText(c.rpm);
      panel->input(Field::kGamma)->setText(c.gamma);
      panel->gearModule()->setText(c.module);
      panel->peripheralPort(PortRole::kIntake)->setText(c.peripheralIntake);
      if (sidePort) {
        portRefusal = panel->addPorts(PortRole::kIntake, {folder.filePath(files.at("intake"))});
      }
      typed = true;
      framesAt = window.window.frames();
      return false;
    }
    if (panel->computing() || window.window.frames() < framesAt + 3) return false;
    refusal = sidePort ? portRefusal : panel->refusalShown();
    saves = window.window.form.menus().exportResults->isEnabled();
    copy = window.window.form.menus().copyResults->isEnabled();
    return true;
  }));
  EXPECT_TRUE(refusal.startsWith(QString(r.field) + ": ")) << refusal.toStdString();
  EXPECT_TRUE(refusal.contains(r.words)) << refusal.toStdString();
  if (!sidePort) {
    EXPECT_FALSE(saves);
    EXPECT_FALSE(copy);
  }
}

FaceCase defaults(const char* name) {
  return FaceCase{name, "", "15", "105", "80"};
}

RefusedCase refused(FaceCase design, const char* words, const char* option, const char* keyword,
                    const char* field) {
  return {design, words, option, keyword, field};
}

FaceCase with(FaceCase c, const char* FaceCase::*member, const char* value) {
  c.*member = value;
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedByEveryFace,
    ::testing::Values(
        refused(with(defaults("GearModuleOfNoWholeTeeth"), &FaceCase::module, "2.6"),
                "gives eccentricity 15 gears of 34.6153846154 and 23.0769230769 teeth",
                "--gear-module", "gear module", "gear module"),
        refused(with(defaults("PeripheralPortWiderThanTheChamber"), &FaceCase::peripheralIntake,
                     "150,175,90"),
                "is 90 wide, wider than the chamber (80)", "--peripheral-intake",
                "peripheral_intake", "peripheral intake"),
        refused(with(defaults("SidePortOutsideTheBore"), &FaceCase::intake, "outside"),
                "lies wholly outside the bore of this engine: it can never open", "--intake-port",
                "intake", "intake port"),
        refused(with(defaults("ShaftSpeedNegative"), &FaceCase::rpm, "-5"),
                "is not a shaft speed above 0", "--rpm", "rpm", "shaft speed"),
        refused(with(defaults("GammaBelowOne"), &FaceCase::gamma, "0.9"),
                "is not a ratio of specific heats above 1", "--gamma", "gamma", "gamma"),
        refused(with(defaults("TargetNoRatio"), &FaceCase::X, "0.5"), "is not a ratio above 1",
                "--target-ratio", "target ratio", "target ratio"),
        refused(with(defaults("SealOffsetNegative"), &FaceCase::A, "-1"),
                "is negative; a length cannot be negative", "--seal-offset", "seal offset",
                "seal offset")),
    [](const auto& info) { return std::string(info.param.design.name); });

}  // namespace
}  // namespace rotary::app
