#include "ui/window_logic.h"

#include <gtest/gtest.h>

#include "core/latin1.h"

namespace zova::ui {
namespace {

TEST(WindowGeometry, GridAndPanelFollowVisibleMachines) {
  struct Case {
    int machines, configured, visible, height;
  } cases[] = {
      {3, 3, 3, 80},      // (18 + 1) x 4 + 4
      {1, 1, 1, 42},      // one machine row and the headings
      {30, 20, 20, 403},  // twenty rows, the rest by scrolling
      {3, 9, 3, 80},      // never more rows than machines
      {5, 0, 1, 42},      // at least one row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.machines * 100 + c.configured);
    int visible = VisibleMachines(c.machines, c.configured);
    EXPECT_EQ(visible, c.visible);
    EXPECT_EQ(GridHeight(visible), c.height);
  }
  EXPECT_EQ(PanelTop(80), 96);
  EXPECT_EQ(ClientHeight(96, true, 33), 96 + 257 + 8 + 33);
  EXPECT_EQ(ClientHeight(96, false, 33), 96);  // Vis=False cuts above the panel
}

TEST(GridHints, EachColumnAndTheHeadingRow) {
  struct Case {
    int col, row;
    bool command, help;
    const char* hint;
  } cases[] = {
      {0, 1, false, false, "Viser status på overføringen"},
      {3, 0, false, false, "Viser status på overføringen"},
      {1, 2, false, false, "Dobbeltklikk for å velge fil"},
      {2, 1, false, false, "Dobbeltklikk for å sende O1.NC"},
      {2, 1, true, false, "Dobbeltklikk for å sende kommando"},
      {3, 1, false, false, "Dobbeltklikk for å redigere O1.NC"},
      {4, 1, false, true, "Dobbeltklikk for å få hjelp"},
      {4, 1, false, false, "Viser antall tegn som ble overført"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hint);
    EXPECT_EQ(GridHint(c.col, c.row, c.command, CellFileName("O1.NC!"), c.help), L1(c.hint));
  }
}

TEST(RowColours, LineStateBitsDecide) {
  struct Case {
    int row, code;
    bool on;
    RowColour colour;
  } cases[] = {
      {1, 48, true, RowColour::Green},                                        // DSR and CTS
      {1, 32, true, RowColour::Yellow},                                       // DSR without CTS
      {1, 16, true, RowColour::Red},                                          // no DSR
      {1, 0, true, RowColour::Red},        {1, 255, true, RowColour::White},  // no state known
      {1, 48, false, RowColour::White},                                       // "Farger" off
      {0, 48, true, RowColour::Fixed},                                        // headings
      {2, 48 | 1, true, RowColour::Green},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(CellColour(c.row, c.code, c.on), c.colour);
  }
}

TEST(HelpTopic, CleanedToLettersDigitsAndDots) {
  EXPECT_EQ(CleanHelpTopic(HelpTopic(false, "Fanuc", "")), "Kvist.Zova");
  EXPECT_EQ(CleanHelpTopic(HelpTopic(true, "Fanuc 0-M", "B/2")), "Fanuc0.M.B.2");
  EXPECT_EQ(CleanHelpTopic(L1("Æ(ø)å*x?")), ".....x");
  EXPECT_EQ(HelpTopic(true, "", "B"), "Kvist-Zova");  // Alternativ alone means nothing
}

TEST(ChooseDir, SplitAtLastSeparatorNoFurtherBackThanFour) {
  struct Case {
    const char* in;
    const char* dir;
    const char* prefix;
  } cases[] = {
      {"D:\\CNC\\M1\\", "D:\\CNC\\M1", ""},
      {"D:\\CNC\\M1\\O1", "D:\\CNC\\M1", "O1"},
      {"/srv/cnc/", "/srv/cnc", ""},
      {"C:\\X", "C:\\X", ""},  // the separator at 3 is not searched
      {"", "", ""},
      {"abc", "abc", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    DirAndPrefix r = SplitChooseDir(c.in);
    EXPECT_EQ(r.dir, c.dir);
    EXPECT_EQ(r.prefix, c.prefix);
  }
}

TEST(FileFilter, EntriesInOrder) {
  FilterInputs in;
  in.ext = ".NC";
  EXPECT_EQ(BuildFileFilter(in),
            "CNC-programmer (*.NC)|*.NC|Backup programmer (*.BAK)|*.Bak|Alle filer (*.*)|*.*");
  in.otherFilter = "Andre program (*.H)|*.H|";
  in.galFiles = true;
  in.sysExt = ".SPR";
  in.toolExt = ".TD";
  EXPECT_EQ(BuildFileFilter(in), L1("CNC-programmer (*.NC)|*.NC|Andre program (*.H)|*.H|"
                                    "Program med feil (*.GAL)|*.GAL|"
                                    "Systemprogrammer (*.SPR)|*.SPR|"
                                    "Backup programmer (*.BAK)|*.Bak|"
                                    "Verktøyfiler (*.TD)|*.TD|Alle filer (*.*)|*.*"));
}

TEST(StoredName, RelativeInsideTheDefaultDirectoryOnly) {
  struct Case {
    const char* result;
    const char* key;
    const char* def;
    const char* fsDef;
    const char* stored;
  } cases[] = {
      {"/srv/cnc/m1/o100.nc", "Katalog", "/srv/cnc/M1/", "", "O100.NC"},
      {"/srv/cnc/m1/sub/o1.nc", "Katalog", "/srv/cnc/M1", "", "SUB/O1.NC"},
      {"/srv/other/o1.nc", "Katalog", "/srv/cnc/M1/", "", "/SRV/OTHER/O1.NC"},
      {"/srv/cnc/m10/o1.nc", "Katalog", "/srv/cnc/M1", "", "/SRV/CNC/M10/O1.NC"},
      {"/srv/cnc/m1/o1.nc", "AndreKatalog", "/srv/cnc/M1/", "", "/SRV/CNC/M1/O1.NC"},
      {"/mnt/d/cnc/o1.nc", "Katalog", "D:\\CNC\\", "/mnt/d/cnc", "O1.NC"},
      {"/srv/o1.nc", "Katalog", "", "", "/SRV/O1.NC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    EXPECT_EQ(StoredFileName(c.result, c.key, c.def, c.fsDef), c.stored);
  }
}

TEST(ProgramHead, PrintableRunsAndTheCommentBlock) {
  EXPECT_EQ(ProgramHeadLines("%\r\nO100 (SHAFT)\r\n\x01(OP 10)\x02junk\nG0X0\n"),
            (std::vector<std::string>{"%", "O100 (SHAFT)", "(OP 10)", "G0X0"}));
  std::string many;
  for (int i = 0; i < 30; ++i) many += "(C" + std::to_string(i) + ")\n";
  EXPECT_EQ(ProgramHeadLines(many).size(), 20u);
  std::string code = "%\nO1\n";
  for (int i = 0; i < 12; ++i) code += "G0X" + std::to_string(i) + "\n";
  EXPECT_EQ(ProgramHeadLines(code).size(), 10u);  // after line 10 only comment lines
  EXPECT_TRUE(ProgramHeadLines("").empty());
  EXPECT_EQ(ProgramHeadLines(std::string("\0\0A\0B", 5)), std::vector<std::string>{"A"});
}

TEST(Editor, KindAndCommandLine) {
  EXPECT_EQ(EditorKind("T1.TDM", ".TDM", ".TDT"), 2);
  EXPECT_EQ(EditorKind("t1.tdt", ".TDM", ".TDT"), 1);
  EXPECT_EQ(EditorKind("O1.NC", ".TDM", ".TDT"), 0);
  EXPECT_EQ(EditorCommandLine("/opt/zova/", "Redigerer", "/a b/O1.NC", "3"),
            "/opt/zova/Redigerer \"/a b/O1.NC\" \"3\"");
  EXPECT_EQ(EditorCommandLine("/opt/zova/", "VerkSett", "T.TDM", ""),
            "/opt/zova/VerkSett \"T.TDM\"");
}

TEST(MinimizeTimer, OnlyAtTwoInTheForeground) {
  EXPECT_TRUE(ShouldMinimize(2, true));
  EXPECT_FALSE(ShouldMinimize(2, false));
  EXPECT_FALSE(ShouldMinimize(3, true));
}

TEST(Lagre, FirstColumnFillsTheGrid) {
  const int widths[5] = {79, 111, 167, 222, 57};
  EXPECT_EQ(FilledFirstColumn(645, widths, true), 645 - 557 - 5 - 4);
  EXPECT_EQ(FilledFirstColumn(645, widths, false), 645 - 557 - 5 - 4 - 16);
  const int wide[5] = {79, 200, 200, 222, 57};
  EXPECT_EQ(FilledFirstColumn(645, wide, false), 0);  // not above 10: unchanged
}

}  // namespace
}  // namespace zova::ui
