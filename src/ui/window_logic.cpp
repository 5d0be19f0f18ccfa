#include "ui/window_logic.h"

#include <algorithm>

#include "core/latin1.h"
#include "core/paths.h"

namespace zova::ui {

int VisibleMachines(int machineCount, int configured) {
  return std::clamp(configured, 1, std::max(1, machineCount));
}

int GridHeight(int visibleMachines) {
  return (kDefaultRowHeight + 1) * (visibleMachines + 1) + 4;
}

int PanelTop(int gridHeight) {
  return 2 * kGridTop + gridHeight;
}

int ClientHeight(int panelTop, bool showConsole, int extraHeight) {
  return showConsole ? panelTop + kPanelHeight + kGridTop + extraHeight : panelTop;
}

std::string CellFileName(std::string_view cell) {
  if (!cell.empty() && cell.back() == '!') cell.remove_suffix(1);
  return std::string(cell);
}

std::string GridHint(int col, int row, bool commandMachine, std::string_view fileName,
                     bool helpVisible) {
  if (row == 0) col = 0;
  switch (col) {
    case 1:
      return L1("Dobbeltklikk for å velge fil");
    case 2:
      return commandMachine ? L1("Dobbeltklikk for å sende kommando")
                            : L1("Dobbeltklikk for å sende ") + std::string(fileName);
    case 3:
      return L1("Dobbeltklikk for å redigere ") + std::string(fileName);
    case 4:
      return helpVisible ? L1("Dobbeltklikk for å få hjelp")
                         : L1("Viser antall tegn som ble overført");
    default:
      return L1("Viser status på overføringen");
  }
}

RowColour CellColour(int row, int lineState, bool coloursOn) {
  if (row == 0) return RowColour::Fixed;
  if (!coloursOn || lineState == 255) return RowColour::White;
  bool dsr = (lineState & 32) != 0, cts = (lineState & 16) != 0;
  if (!dsr) return RowColour::Red;
  return cts ? RowColour::Green : RowColour::Yellow;
}

std::string CleanHelpTopic(std::string_view topic) {
  const std::string norwegian = L1("ÆØÅæøå");
  std::string out;
  for (char c : topic) {
    auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9'))
      out.push_back(c);
    else if (std::string_view("_/()-").find(c) != std::string_view::npos ||
             norwegian.find(c) != std::string::npos)
      out.push_back('.');
  }
  return out;
}

std::string HelpTopic(bool overMachineRow, std::string_view styring, std::string_view alternativ) {
  if (!overMachineRow || styring.empty()) return "Kvist-Zova";
  std::string t(styring);
  if (!alternativ.empty()) t += "_" + std::string(alternativ);
  return t;
}

DirAndPrefix SplitChooseDir(std::string_view dir) {
  for (size_t i = dir.size(); i >= 4; --i) {
    if (IsSep(dir[i - 1])) return {std::string(dir.substr(0, i - 1)), std::string(dir.substr(i))};
  }
  return {std::string(dir), ""};
}

std::string BuildFileFilter(const FilterInputs& in) {
  std::string f = "CNC-programmer (*" + in.ext + ")|*" + in.ext + "|";
  f += in.otherFilter;
  if (in.galFiles) f += "Program med feil (*.GAL)|*.GAL|";
  if (!in.sysExt.empty()) f += "Systemprogrammer (*" + in.sysExt + ")|*" + in.sysExt + "|";
  f += "Backup programmer (*.BAK)|*.Bak|";
  if (!in.toolExt.empty()) f += L1("Verktøyfiler (*") + in.toolExt + ")|*" + in.toolExt + "|";
  f += "Alle filer (*.*)|*.*";
  return f;
}

std::string ToolFileFilter(std::string_view toolExt) {
  return L1("Verktøyfiler|*") + std::string(toolExt) + "|Alle filer|*.*";
}

namespace {
// Separators compared as one, letters without case.
bool SamePathPrefix(std::string_view path, std::string_view prefix) {
  if (prefix.empty() || path.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = path[i], b = prefix[i];
    if (IsSep(a) && IsSep(b)) continue;
    if (UpperChar(a) != UpperChar(b)) return false;
  }
  return true;
}
}  // namespace

std::string StoredFileName(std::string_view result, std::string_view key,
                           std::string_view defaultDir, std::string_view defaultFsDir) {
  std::string up = UpperCase(result);
  if (!EqualsNoCase(key, "Katalog")) return up;
  for (std::string_view d : {defaultDir, defaultFsDir}) {
    std::string withSep = d.empty() ? std::string() : WithTrailingSep(d);
    // A default written without its trailing separator still names the directory.
    if (SamePathPrefix(up, withSep)) return up.substr(withSep.size());
  }
  return up;
}

std::vector<std::string> ProgramHeadLines(std::string_view content) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < content.size() && lines.size() < 20) {
    size_t end = content.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = content.size();
    std::string_view raw = content.substr(i, end - i);
    i = end + 1;
    if (end < content.size() && content[end] == '\r' && i < content.size() && content[i] == '\n')
      ++i;
    std::string line;
    for (char c : raw) {
      bool control = static_cast<unsigned char>(c) < 32;
      if (control && !line.empty()) break;
      if (!control) line.push_back(c);
    }
    if (lines.size() >= 10 && line.find('(') == std::string::npos) break;
    lines.push_back(line);
  }
  return lines;
}

int EditorKind(std::string_view name, std::string_view millExt, std::string_view turnExt) {
  std::string up = UpperCase(name);
  if (!millExt.empty() && up.find(UpperCase(millExt)) != std::string::npos) return 2;
  if (!turnExt.empty() && up.find(UpperCase(turnExt)) != std::string::npos) return 1;
  return 0;
}

std::string EditorCommandLine(std::string_view exeKatalog, std::string_view program,
                              std::string_view file, std::string_view arg) {
  std::string cmd =
      std::string(exeKatalog) + std::string(program) + " \"" + std::string(file) + "\"";
  if (!arg.empty()) cmd += " \"" + std::string(arg) + "\"";
  return cmd;
}

bool ShouldMinimize(int localHour, bool appActive) {
  return localHour == 2 && appActive;
}

int FilledFirstColumn(int gridWidth, const int (&widths)[5], bool allRowsVisible) {
  int w = gridWidth - widths[1] - widths[2] - widths[3] - widths[4] - 5 - 4;
  if (!allRowsVisible) w -= 16;
  return w > 10 ? w : 0;
}

}  // namespace zova::ui
