#include "serial/print/print_layout.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "core/config/config.h"
#include "core/globals.h"

namespace zova {

namespace {

constexpr int kIndent = 5;
constexpr int kMaxColumnWidth = 35;
constexpr int kNoFooterFrom = 200;
const std::string kMargin(kIndent, ' ');

int ClampColumns(int n) {
  return n >= 1 && n <= 3 ? n : 1;
}

std::string Cut(std::string s, int width) {
  if (width < 0) width = 0;
  if (static_cast<int>(s.size()) > width) s.resize(static_cast<size_t>(width));
  return s;
}

std::string Heading(std::string_view title, int width) {
  std::string h = kMargin + std::string(title);
  if (static_cast<int>(h.size()) < width) h.append(static_cast<size_t>(width) - h.size(), '*');
  return h;
}

std::string Footer(const PageFooter& f, int page, int width) {
  std::string left = kMargin + "Dato: " + f.date + " " + f.time;
  std::string right = "Side: " + std::to_string(page);
  int gap = width - static_cast<int>(left.size() + right.size());
  return left + std::string(static_cast<size_t>(gap > 1 ? gap : 1), ' ') + right;
}

}  // namespace

PrinterSettings ReadPrinterSettings() {
  PrinterSettings p;
  p.skriver = ReadIniStr("Program", "Skriver", "PRN");
  p.matrise = ReadIniBool("Program", "Matrise", false) && p.skriver.size() >= 3;
  p.initPrn = ReadIniStr("Program", "InitPrn", "", true);
  p.exitPrn = ReadIniStr("Program", "ExitPrn", "", true);
  p.pjl = ReadIniBool("Program", "PJL", false);
  p.fontSizePrn = ReadIniInt("Program", "FontSizePrn", 12);
  p.fontSizeLabel = ReadIniInt("Program", "FontSizeLabel", 12);
  if (p.fontSizePrn < 8 || p.matrise) {
    p.lineWidth = 75;
    p.pageLength = 50;
  } else {
    p.lineWidth = static_cast<int>(std::lround(900.0 / p.fontSizePrn));
    p.pageLength = static_cast<int>(std::lround(600.0 / p.fontSizePrn));
  }
  p.pageLength = ReadIniInt("Program", "SideLengde", p.pageLength);
  p.kolonner = ClampColumns(ReadIniInt("Program", "Kolonner", 1));
  return p;
}

PrinterSettings StationPrinter() {
  // Read once for a configuration file (a test that makes another file
  // active gets that file's printer).
  static std::mutex mutex;
  static std::string forIni;
  static PrinterSettings settings;
  std::lock_guard<std::mutex> lock(mutex);
  if (forIni.empty() || forIni != Globals().IniFil) {
    forIni = Globals().IniFil;
    settings = ReadPrinterSettings();
  }
  return settings;
}

int PrintColumns(int machine, const PrinterSettings& p) {
  return ClampColumns(ReadIniInt("Maskin" + std::to_string(machine), "Kolonner", p.kolonner));
}

std::vector<std::string> SplitPrintLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

std::vector<std::string> WrapLines(const std::vector<std::string>& lines, int width) {
  if (width < 1) width = 1;
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    std::string_view rest = line;
    if (rest.empty()) out.emplace_back();
    while (!rest.empty()) {
      if (static_cast<int>(rest.size()) <= width) {
        out.emplace_back(rest);
        break;
      }
      size_t cut = rest.substr(0, static_cast<size_t>(width) + 1).rfind(' ');
      if (cut == std::string_view::npos || cut == 0) cut = static_cast<size_t>(width);
      out.emplace_back(rest.substr(0, cut));
      rest.remove_prefix(cut);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    }
  }
  return out;
}

std::string LayoutPages(const std::vector<std::string>& lines, std::string_view title,
                        const PrinterSettings& p, int columns, const PageFooter& footer) {
  columns = ClampColumns(columns);
  const int width = p.lineWidth;
  const bool footers = p.pageLength > 0 && p.pageLength < kNoFooterFrom;
  // Without footers a page is only a heading: everything runs on.
  const size_t rowsPerPage = footers ? static_cast<size_t>(p.pageLength) : SIZE_MAX;
  std::vector<std::string> cells;
  int cellWidth = width - kIndent;
  if (columns > 1) {
    cellWidth = std::min(width / columns - kIndent, kMaxColumnWidth);
    cells = WrapLines(lines, cellWidth);
  } else {
    for (const std::string& l : lines) cells.push_back(Cut(l, cellWidth));
  }
  std::string out;
  size_t next = 0;
  int page = 0;
  do {
    ++page;
    if (page > 1) out += '\f';
    out += Heading(title, width) + "\r\n";
    const size_t perPage = rowsPerPage == SIZE_MAX ? cells.size() : rowsPerPage;
    const size_t rows = std::min(perPage, (cells.size() - next + columns - 1) / columns);
    for (size_t r = 0; r < rows; ++r) {
      std::string row;
      for (int c = 0; c < columns; ++c) {
        size_t i = next + static_cast<size_t>(c) * rows + r;
        if (i >= cells.size()) break;
        std::string cell = cells[i];
        if (c + 1 < columns) cell.resize(static_cast<size_t>(cellWidth), ' ');
        row += kMargin + cell;
      }
      while (!row.empty() && row.back() == ' ') row.pop_back();
      out += row + "\r\n";
    }
    next += rows * static_cast<size_t>(columns);
    if (footers) {
      out += std::string(static_cast<size_t>(width), '*') + "\r\n";
      out += Footer(footer, page, width) + "\r\n";
    }
  } while (next < cells.size());
  return out;
}

}  // namespace zova
