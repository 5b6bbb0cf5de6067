#include "results_table.h"

#include <algorithm>
#include <cmath>

#include "number_text.h"

namespace rotary::exporting {
namespace {

struct Columns {
  std::string e, R, W, N, k, capacity, deadVolume, ratio;
  std::string exactCapacity, exactDeadVolume, exactRatio;
};

// Enough digits for a script to compare with its own computation.
constexpr int kExactColumnDigits = 9;

Columns columnsOf(const study::EngineRow& row) {
  Columns c;
  c.e = shownInput(row.input.eccentricity);
  c.R = shownInput(row.input.rotorRadius);
  c.W = shownInput(row.input.chamberWidth);
  c.N = row.input.steps > 0 ? std::to_string(row.input.steps) : "";
  c.k = trochoidRatio(row.input);
  if (row.exact && row.exact->hasFigures()) {
    const ExactFigures& x = row.exact->figures;
    c.exactCapacity = significantDigits(x.capacity, kExactColumnDigits);
    c.exactDeadVolume = significantDigits(x.deadVolume, kExactColumnDigits);
    c.exactRatio = significantDigits(x.ratio, kExactColumnDigits);
  }
  if (row.figures) {
    c.capacity = formatNumber(row.figures->capacity);
    c.deadVolume = formatNumber(row.figures->deadVolume);
    c.ratio = formatNumber(row.figures->ratio);
  }
  return c;
}

// RFC 4180: a field with a comma, a quote or a line break goes in quotes, its quotes doubled.
std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// A display-format number is a JSON number; an input that is none goes as a string, and a
// missing figure as null.
std::string jsonValue(const std::string& shown) {
  if (shown.empty()) return "null";
  return parseNumber(shown) ? shown : jsonString(shown);
}

}  // namespace

std::string shownInput(const std::string& typed) {
  const auto value = parseNumber(typed);
  return value ? formatNumber(*value) : typed;
}

std::optional<double> trochoidRatioValue(const study::EngineInput& input) {
  const auto e = parseNumber(input.eccentricity);
  const auto R = parseNumber(input.rotorRadius);
  if (!e || !R || *e <= 0) return std::nullopt;
  const double k = *R / *e;
  if (!std::isfinite(k)) return std::nullopt;
  return k;
}

std::string trochoidRatio(const study::EngineInput& input) {
  const auto k = trochoidRatioValue(input);
  return k ? formatNumber(*k) : "";
}

void writeCsv(std::ostream& out, const std::vector<study::EngineRow>& rows) {
  out << "eccentricity,rotor_radius,chamber_width,steps,k,chamber_capacity,dead_volume,"
         "compression_ratio,exact_chamber_capacity,exact_dead_volume,exact_compression_ratio,"
         "note\n";
  for (const study::EngineRow& row : rows) {
    const Columns c = columnsOf(row);
    std::string note = row.message.empty() && row.figures ? row.figures->note : row.message;
    // Two notes go on two lines in the window; a row stays one line for line-based scripts.
    std::replace(note.begin(), note.end(), '\n', ' ');
    out << csvField(c.e) << ',' << csvField(c.R) << ',' << csvField(c.W) << ',' << c.N << ',' << c.k
        << ',' << c.capacity << ',' << c.deadVolume << ',' << c.ratio << ',' << c.exactCapacity
        << ',' << c.exactDeadVolume << ',' << c.exactRatio << ',' << csvField(note) << '\n';
  }
}

void writeJson(std::ostream& out, const std::vector<study::EngineRow>& rows) {
  out << "[";
  for (std::size_t n = 0; n < rows.size(); ++n) {
    const study::EngineRow& row = rows[n];
    const Columns c = columnsOf(row);
    out << (n ? ",\n " : "\n ") << "{\"eccentricity\": " << jsonValue(c.e)
        << ", \"rotor_radius\": " << jsonValue(c.R) << ", \"chamber_width\": " << jsonValue(c.W)
        << ", \"steps\": " << jsonValue(c.N) << ", \"k\": " << jsonValue(c.k)
        << ", \"chamber_capacity\": " << jsonValue(c.capacity)
        << ", \"dead_volume\": " << jsonValue(c.deadVolume)
        << ", \"compression_ratio\": " << jsonValue(c.ratio)
        << ", \"exact_chamber_capacity\": " << jsonValue(c.exactCapacity)
        << ", \"exact_dead_volume\": " << jsonValue(c.exactDeadVolume)
        << ", \"exact_compression_ratio\": " << jsonValue(c.exactRatio);
    if (!row.message.empty()) {
      out << ", \"message\": " << jsonString(row.message);
    } else if (row.figures && !row.figures->note.empty()) {
      out << ", \"note\": " << jsonString(row.figures->note);
    }
    out << "}";
  }
  out << (rows.empty() ? "]\n" : "\n]\n");
}

void writeText(std::ostream& out, const std::vector<study::EngineRow>& rows) {
  for (std::size_t n = 0; n < rows.size(); ++n) {
    const study::EngineRow& row = rows[n];
    const Columns c = columnsOf(row);
    if (rows.size() > 1) {
      out << (n ? "\n" : "") << "eccentricity " << c.e << ", rotor radius " << c.R
          << ", chamber width " << c.W << (c.N.empty() ? "" : ", steps " + c.N) << "\n";
    }
    if (!row.figures) {
      out << "message: " << row.message << "\n";
      continue;
    }
    out << "chamber capacity: " << c.capacity << "\n"
        << "dead volume: " << c.deadVolume << "\n"
        << "compression ratio: " << c.ratio << "\n";
    if (rows.size() > 1 && !row.figures->note.empty()) out << "note: " << row.figures->note << "\n";
  }
}

}  // namespace rotary::exporting
