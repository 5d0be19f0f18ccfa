#include "statuslog/cell/tmakino.h"

#include "core/config/config.h"
#include "core/file_settings.h"
#include "statuslog/cell/cell_line.h"

namespace zova {

TMakino::TMakino(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova2(links, sharedRequest, machineNo) {
  UnitLength = ReadIniInt(SectionName, "UnitLength", 4);
}

void TMakino::ReadCellLine(TComPort& rec, int& m, std::string& command, std::string& data) {
  m = 0;
  command.clear();
  data.clear();
  cell::CellFramer framer;
  bool read = true;
  while (read) {
    char ch = 0;
    ReadChar(rec, false, read, ch);
    if (read && framer.Feed(ch) == cell::CellEvent::Line) break;
  }
  if (!read) return;
  const cell::CellLine line = cell::SplitCellLine(framer.Line(), UnitLength);
  if (!line.Ok) return;
  const int machine = ReadIniInt(SectionName, line.Unit, 0);
  if (machine <= 0) return;
  m = machine;
  command = line.Command;
  data = line.Data;
}

bool TMakino::HandleCellCommand(int m, const std::string& command, const std::string& data) {
  const cell::CellRecord r = cell::DecideCellCommand(command, data, Port2Open);
  if (!r.Handled) return false;
  const std::string number = std::to_string(m);
  const std::string name = ReadIniStr(MachineSection(m), "Navn", "Maskin" + number);
  // The record carries the time of what it records.
  LastTime = TheClock().Now();
  bool ok = false;
  WriteStatusRecord(m, r.Code, r.Text, ok);
  if (!ok)
    ReportCell(kColMelding, "Maskin " + number + " - lagring feilet");
  else
    ReportCell(kColMelding,
               name + (r.Started ? ", startet program " : ", program slutt ") + r.Program);
  return true;
}

void TMakino::ReadFirstLine() {
  ReadLine(Com, "MC");
}

void TMakino::ReadSecondLine() {
  ReadLine(Com2, "DM");
}

void TMakino::ReadLine(TComPort& rec, const char* name) {
  const std::string line(name);
  ReportCell(kColStatus, "Leser " + line);
  SetCell(kColMelding, "");
  int m = 0;
  std::string command, data;
  ReadCellLine(rec, m, command, data);
  if (m >= 1 && !HandleCellCommand(m, command, data))
    ReportCell(kColMelding, "Ubehandlet " + line + "-kommando: " + command);
  ReportCell(kColStatus, line + "-kommando lest");
}

}  // namespace zova
