#include "tools/offset_program.h"

#include <algorithm>

#include "core/latin1.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "tools/offset_writers.h"
#include "tools/register_file.h"
#include "tools/tool_template.h"

namespace zova {

namespace offsets {

std::string DecimalComma(std::string s) {
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

Nose NoseOf(const OffsetJob& j, const TurnRecord& t) {
  if (const TurnRecord* n = FindTurn(j.Nominal, t.ToolNo)) return {n->NoseRadius, n->TipNo};
  return {t.NoseRadius, 0};
}

void ToolAndPocket(const OffsetJob& j, int n, int& tool, int& pocket) {
  if (j.ToolDiv >= 2) {
    tool = n / j.ToolDiv;
    pocket = n % j.ToolDiv;
  } else {
    tool = pocket = n;
  }
}

}  // namespace offsets

bool IsTurningFormat(int f) {
  switch (f) {
    case 6:
    case 7:
    case 8:
    case 12:
    case 13:
    case 14:
    case 20:
    case 26:
    case 32:
    case 37:
      return true;
    default:
      return false;
  }
}

namespace {

using Writer = bool (*)(const OffsetJob&, OffsetText&);

Writer WriterOf(int f) {
  using namespace offsets;
  switch (f) {
    case 4:
    case 15:
      return FanucG10;
    case 29:
      return Fanuc15M;
    case 31:
      return Siemens8M;
    case 32:
      return FanucTurning;
    case 33:
      return FanucPockets;
    case 1:
    case 9:
    case 10:
    case 11:
    case 16:
    case 17:
    case 24:
    case 25:
    case 27:
    case 30:
    case 34:
    case 42:
      return MillingTable;
    case 3:
      return HeidenhainCentral;
    case 22:
    case 23:
    case 28:
    case 40:
      return HeidenhainTable;
    case 6:
    case 7:
    case 8:
    case 12:
    case 13:
    case 14:
    case 20:
    case 26:
      return TurningTable;
    case 21:
      return EmcoMilling;
    case 2:
    case 18:
    case 36:
    case 37:
    case 38:
    case 39:
    case 41:
      return Siemens;
    default:
      return nullptr;
  }
}

// A missing register is an empty one; a damaged one is never used.
bool LoadInto(std::string_view name, RecordKind kind, std::vector<RawRecord>& out,
              std::string& error) {
  out.clear();
  if (Trim(name).empty()) return true;
  RegisterLoad load = LoadRegister(name, kind);
  if (load.code == kRegNotFound) return true;
  if (!load.ok()) {
    error = L1("Verktøyregister ") + std::string(name) + ": " + load.error;
    return false;
  }
  out = std::move(load.records);
  return true;
}

OffsetFileResult RewriteProgram(const OffsetRequest& rq) {
  OffsetFileResult res;
  const MachineToolKeys& k = rq.Keys;
  if (Trim(k.ToolReg).empty() || !FileExists(k.ToolReg)) {
    res.Ok = res.KeepOriginal = true;
    return res;
  }
  std::vector<RawRecord> raw;
  if (!LoadInto(k.ToolReg, RecordKind::Tool, raw, res.Error)) return res;
  std::vector<ToolRecord> tools = DecodeTools(raw);
  TextFile in, out;
  bool inOk = true, ok = true;
  OpenRead(rq.SourceProgram, in, inOk);
  OpenWrite(rq.Target, out, ok);
  if (!inOk) {
    std::string name = StripExt(FileNameOf(rq.SourceProgram));
    WriteTextLine(out, "0 BEGIN PGM " + name + " MM", ok);
    WriteTextLine(out, "1 END PGM " + name + " MM", ok);
  }
  std::string line;
  while (inOk && ok) {
    ReadTextLine(in, line, inOk);
    if (inOk) WriteTextLine(out, RewriteToolDef(line, tools, k.LOffset, k.ROffset), ok);
  }
  bool closed = true;
  CloseText(out, closed);
  res.Ok = ok && closed;
  if (!res.Ok) res.Error = "Kan ikke skrive " + rq.Target;
  return res;
}

}  // namespace

OffsetResult BuildOffsetProgram(const OffsetJob& job) {
  OffsetResult r;
  if (job.Format == kToolOriginal) {
    r.Ok = r.KeepOriginal = true;
    return r;
  }
  if (job.Format == kToolStandard) {
    r.Ok = BuildTemplateProgram(job.Tools, job.FirstToolLine, job.EmptyToolLine, job.LastToolLine,
                                job.ToolLine, r.Text);
    return r;
  }
  Writer w = WriterOf(job.Format);
  if (!w) return r;
  OffsetText out;
  r.Ok = w(job, out);
  r.Text = std::move(out.out);
  r.Warnings = std::move(out.warnings);
  return r;
}

OffsetFileResult WriteOffsetProgram(const OffsetRequest& rq) {
  const ToolFormatSettings& s = rq.Settings;
  const MachineToolKeys& k = rq.Keys;
  if (s.Format == kToolHeidenhain) return RewriteProgram(rq);
  OffsetFileResult res;
  OffsetJob job;
  job.Format = s.Format;
  job.Limit = s.Limit;
  job.Pockets = s.Pockets;
  job.ProgramNr = s.ProgramNr;
  job.Mult = s.Mult;
  job.Decimals = s.Decimals;
  job.FirstToolLine = k.FirstToolLine;
  job.ToolLine = k.ToolLine;
  job.LastToolLine = k.LastToolLine;
  job.EmptyToolLine = k.EmptyToolLine;
  job.ToolDiv = k.ToolDiv;
  job.LOffset = k.LOffset;
  job.ROffset = k.ROffset;
  if (s.Format == kToolOriginal) {
    res.Ok = res.KeepOriginal = true;
    return res;
  }
  if (s.Format != kToolStandard && !WriterOf(s.Format)) {
    res.Error = L1("Ingen verktøyprotokoll");
    return res;
  }
  std::vector<RawRecord> raw;
  bool turning = IsTurningFormat(s.Format);
  if (!LoadInto(k.ToolReg, turning ? RecordKind::Turn : RecordKind::Tool, raw, res.Error))
    return res;
  if (turning) {
    job.Turns = DecodeTurns(raw);
    if (!LoadInto(k.NomReg, RecordKind::Turn, raw, res.Error)) return res;
    job.Nominal = DecodeTurns(raw);
  } else {
    job.Tools = DecodeTools(raw);
  }
  OffsetResult built = BuildOffsetProgram(job);
  res.Warnings = std::move(built.Warnings);
  if (!WriteOffsetFile(rq.Target, built.Text)) {
    res.Error = "Kan ikke skrive " + rq.Target;
    return res;
  }
  res.Ok = built.Ok;
  if (!res.Ok) res.Error = L1("Ingen verktøydata");
  return res;
}

}  // namespace zova
