#pragma once
// The window's decisions as plain functions: geometry, hints, row colours,
// the help topic, the file dialog's directory and filter, stored file names,
// the head of a program shown for approval and the editor's command line.
// No Qt here, so each is tested without a display.

#include <string>
#include <string_view>
#include <vector>

namespace zova::ui {

constexpr int kGridTop = 8;
constexpr int kGridLeft = 8;
constexpr int kGridWidth = 645;
constexpr int kDefaultRowHeight = 18;
constexpr int kPanelHeight = 257;
constexpr int kButtonHeight = 25;
constexpr int kWindowWidth = 668;
constexpr int kClientWidth = 660;
constexpr int kColumnWidths[5] = {79, 111, 167, 222, 57};
constexpr const char* kVersionSuffix = " - versjon 1.4.1";

// Rows visible without scrolling: [Program] VisMaskiner (default the smaller
// of the machine count and 20), at most the machine count, at least 1.
int VisibleMachines(int machineCount, int configured);
int GridHeight(int visibleMachines);  // (18 + 1) x (visible + 1) + 4
int PanelTop(int gridHeight);         // 2 x grid top + grid height
// Client height with the console (panel and button row) or cut above the panel.
int ClientHeight(int panelTop, bool showConsole, int extraHeight);

// The "Filnavn" cell without its trailing "!" marker.
std::string CellFileName(std::string_view cell);

// Hint of grid cell (Col, Row); row 0 counts as column 0.
std::string GridHint(int col, int row, bool commandMachine, std::string_view fileName,
                     bool helpVisible);

enum class RowColour { Fixed, White, Green, Yellow, Red };
// Colour of a cell from its row's line-state code (32 DSR, 16 CTS; 255 none).
RowColour CellColour(int row, int lineState, bool coloursOn);

// Letters and digits stay; "_", "/", "(", ")", "-" and the six Norwegian
// letters become "."; everything else is dropped.
std::string CleanHelpTopic(std::string_view topic);
// The unclean topic: "Kvist-Zova", or Styring[_Alternativ] of the machine row.
std::string HelpTopic(bool overMachineRow, std::string_view styring, std::string_view alternativ);

// Dir split at its last separator found no further back than position 4:
// the directory before it and a file name prefix after it.
struct DirAndPrefix {
  std::string dir;
  std::string prefix;
};
DirAndPrefix SplitChooseDir(std::string_view dir);

struct FilterInputs {
  std::string ext;          // E: the machine's program extension
  std::string otherFilter;  // OtherProgramFilter of the machine, "|"-terminated entries
  bool galFiles = false;    // the machine's port has a StoppTid
  std::string sysExt;       // non-empty with SystemProgram
  std::string toolExt;      // non-empty for machines with tool files
};
// "desc|mask|desc|mask..." in the order the operator sees it, first selected.
std::string BuildFileFilter(const FilterInputs& in);
std::string ToolFileFilter(std::string_view toolExt);

// The name stored in the "Filnavn" cell: upper-cased, and relative when Key is
// "Katalog" and the result lies under Default (in its station or file-system
// spelling).
std::string StoredFileName(std::string_view result, std::string_view key,
                           std::string_view defaultDir, std::string_view defaultFsDir);

// The head of an NC program: per line the printable run, at most 20 lines,
// ending after line 10 at the first line without "(".
std::vector<std::string> ProgramHeadLines(std::string_view content);

// 2 = mill tool file, 1 = turning tool file, 0 = NC program.
int EditorKind(std::string_view name, std::string_view millExt, std::string_view turnExt);

// ExeKatalog + Program, F in double quotes and, with Arg, Arg in double quotes.
std::string EditorCommandLine(std::string_view exeKatalog, std::string_view program,
                              std::string_view file, std::string_view arg);

// The hourly tick minimises at 2 o'clock only while the program is in front.
bool ShouldMinimize(int localHour, bool appActive);

// "L&agre": column 0 widened to fill the grid; 0 when the result is not above 10.
int FilledFirstColumn(int gridWidth, const int (&widths)[5], bool allRowsVisible);

}  // namespace zova::ui
