#include "protocols/presetter/tforinst.h"

#include "core/latin1.h"
#include "core/station_log.h"
#include "protocols/presetter/presetter_lines.h"
#include "tools/offset_program.h"
#include "tools/register_file.h"
#include "tools/tool_settings.h"

namespace zova {

TForInst::TForInst(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  PresetterType = ReadPresetterType(SectionName);
}

void TForInst::Receive(bool& stored, bool& receiptIsError) {
  stored = receiptIsError = false;
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar fra forinnstiller - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  touched_.clear();
  storedCount_ = unusedCount_ = 0;
  PresetterLines lines;
  for (bool read = true; read;) {
    char ch = 0;
    ReadChar(Com, false, read, ch);
    if (read ? lines.Feed(ch) : lines.Finish()) TakeLine(lines.Line());
  }
  FlushConsole();
  WritePrograms();
  std::string summary = std::to_string(storedCount_) + L1(" verktøy lagret");
  if (unusedCount_ > 0) summary += ", " + std::to_string(unusedCount_) + " linjer ikke brukt";
  ReportCell(kColStatus, storedCount_ > 0 ? L1("Verktøydata lagret") : "Ingen verktøy lagret");
  if (unusedCount_ == 0 || storedCount_ > 0) ReportCell(kColMelding, summary);
}

void TForInst::TakeLine(const std::string& line) {
  const PresetterEntry e = ReadPresetterEntry(SectionName, PresetterType, line);
  std::string error;
  if (!e.Used || !StoreEntry(e, error)) {
    ++unusedCount_;
    const std::string why = e.Used ? error : e.Reason;
    ReportCellWait(kColMelding, "Ikke brukt: " + why + " - " + line.substr(0, 60));
    LogEvent(false, "Forinnstiller, ikke brukt (" + why + "): " + line);
    return;
  }
  ++storedCount_;
  LogEvent(false,
           L1("Forinnstiller: verktøy ") + std::to_string(e.ToolNo) + " lagret i " + e.ToolReg);
  for (const PresetterEntry& t : touched_)
    if (t.ToolReg == e.ToolReg && t.NomReg == e.NomReg && t.System == e.System) return;
  touched_.push_back(e);
}

bool TForInst::StoreEntry(const PresetterEntry& entry, std::string& error) {
  TToolRegister reg;
  const int code = reg.Open(entry.ToolReg, RegisterMode::Write);
  if (code != kRegOk) {
    error = "Feil ved lagring (" + std::to_string(code) + ") i " + entry.ToolReg;
    return false;
  }
  const int index = reg.Find(entry.ToolNo);
  RawRecord raw{};
  const bool known = index >= 0 && reg.Read(index, raw);
  // A tool measured again keeps what else its record holds (wear, life,
  // nose radius): only the measured values change.
  if (entry.Turning) {
    TurnRecord t = known ? DecodeTurn(raw) : TurnRecord{};
    t.ToolNo = entry.ToolNo;
    t.Z = entry.Z;
    t.X = entry.X;
    raw = EncodeTurn(t);
  } else {
    ToolRecord t = known ? DecodeTool(raw) : ToolRecord{};
    t.ToolNo = entry.ToolNo;
    t.Reals[kL] = entry.Z;
    t.Reals[kR] = entry.X;
    raw = EncodeTool(t);
  }
  const bool ok = reg.Store(raw);
  reg.Close();
  if (!ok) error = "Feil ved lagring i " + entry.ToolReg;
  return ok;
}

bool TForInst::WriteProgram(const PresetterEntry& entry, std::string& path, std::string& error) {
  OffsetRequest rq;
  ReadToolFormat(SectionName, rq.Settings);
  rq.Keys = ReadMachineToolKeys(SectionName);
  rq.Keys.ToolReg = entry.ToolReg;
  rq.Keys.NomReg = entry.NomReg;
  const std::string fallback = ReadIniStr(SectionName, "ToolFil", DataDir + "VERKTOY" + Ext);
  rq.Target = path = ReadIniStr(SectionName, "ToolFil" + std::to_string(entry.System), fallback);
  const OffsetFileResult res = WriteOffsetProgram(rq);
  for (const std::string& w : res.Warnings) ReportCellWait(kColMelding, w);
  if (!res.Ok) error = res.Error;
  return res.Ok;
}

void TForInst::WritePrograms() {
  ToolFormatSettings format;
  ReadToolFormat(SectionName, format);
  // Without ToolProtokoll the station only keeps the registers.
  if (format.NoToolFormat || format.Format == kToolOriginal) return;
  for (const PresetterEntry& e : touched_) {
    std::string path, error;
    if (WriteProgram(e, path, error)) {
      ReportCell(kColFilnavn, path);
      LogEvent(false, L1("Verktøyprogram skrevet: ") + path);
    } else {
      ReportCellWait(kColMelding, L1("Verktøyprogram ikke skrevet: ") + error);
      LogStationWarning(SectionName + L1(": verktøyprogram ikke skrevet: ") + error);
    }
  }
}

}  // namespace zova
