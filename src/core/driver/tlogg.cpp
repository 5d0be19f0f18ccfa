#include "core/driver/tlogg.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

#include "core/config/config.h"
#include "core/driver/status_record_file.h"
#include "core/driver/status_record_sink.h"
#include "core/file_settings.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/numformat.h"
#include "core/paths.h"
#include "core/uihost.h"

namespace zova {

std::string ComputeLogDir() {
  std::string dir = WithTrailingSep(ReadIniUpper("Program", "Temp", DefaultDataRoot() + "Temp/"));
  if (dir.size() <= 1 || !DirExists(dir)) return TempDir();
  return dir;
}

std::string LogDir() {
  // Fixed for the life of a configuration file; a test that makes another
  // file active gets that file's directory.
  static std::mutex mutex;
  static std::string forIni, dir;
  std::lock_guard<std::mutex> lock(mutex);
  if (dir.empty() || forIni != Globals().IniFil) {
    forIni = Globals().IniFil;
    dir = ComputeLogDir();
  }
  return dir;
}

TLogg::TLogg(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TMsg(links, sharedRequest, machineNo) {
  SectionName = MachineSection(machineNo);
  DataDir = MachineDataDir(machineNo);
  Katalog2 = WithTrailingSep(ReadIniUpper(SectionName, "Katalog2", DataDir));
  Ext = ReadIniUpper(SectionName, "Ext", ProgramExt());
  Ext2 = ReadIniUpper(SectionName, "Ext2", Ext);
  LogBase = LogDir() + SectionName + ".";
  LastTime = TheClock().Now();
  DatoTid = ReadIniUpper("Program", "DatoTid", "");

  bool progLogging = ReadIniBool("Program", "Logging", false);
  Logging = ReadIniBool(SectionName, "Logging", progLogging);
  bool progHendelser = ReadIniBool("Program", "Hendelser", false);
  Hendelser = ReadIniBool(SectionName, "Hendelser", progHendelser);
  bool progLese = ReadIniBool("Program", "LeseHendelser", progHendelser);
  LeseHendelser = ReadIniBool(SectionName, "LeseHendelser", progLese);
  // Without StatusLogg anywhere the status log follows the machine's own Logging.
  bool progStatus = ReadIniBool("Program", "StatusLogg", Logging);
  StatusLogg = ReadIniBool(SectionName, "StatusLogg", progStatus);

  lastTick_ = TheClock().TickMs();
  if (Logging) {
    OpenByteLog();
    if (Logging) SetCellDirect(kColMelding, "Logger");
  }
}

TLogg::~TLogg() {
  if (logFile_) std::fclose(logFile_);
}

void TLogg::OpenByteLog() {
  std::string path = FsPath(LogBase + "Log");
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && st.st_size > kMaxByteLog) {
    if (::truncate(path.c_str(), 0) != 0) {
      // Appending to the old log is better than losing the new one.
    }
  }
  logFile_ = std::fopen(path.c_str(), "ab");
  Logging = logFile_ != nullptr;
}

void TLogg::CloseLog() {
  if (logFile_) std::fclose(logFile_);
  logFile_ = nullptr;
  Logging = false;
}

void TLogg::WriteLog(const std::string& latin1) {
  if (!logFile_) return;
  std::string text = Latin1ToUtf8(latin1);
  bool ok = std::fwrite(text.data(), 1, text.size(), logFile_) == text.size();
  if (ok && Globals().TestModus) ok = std::fflush(logFile_) == 0;
  if (!ok) {
    CloseLog();
    ShowNotice("Logging", "Feil med lagring");
  }
}

void TLogg::WriteLoggedByte(char mark, uint8_t b) {
  int64_t now = TheClock().TickMs();
  int64_t pause = now - lastTick_;
  lastTick_ = now;
  scratch_.clear();
  scratch_ += PauseMarker(pause, TheClock().Now());
  AppendLoggedByte(scratch_, logState_, mark, b, LogLineBreaks);
  WriteLog(scratch_);
}

void TLogg::LogMarker(bool withTime, const std::string& text) {
  if (!Logging) return;
  WallTime now = TheClock().Now();
  WriteLog("![" + (withTime ? ShortDate(now) + " " + LongTime(now) + "-" : std::string()) + text +
           "]");
}

void TLogg::LogNewLine() {
  ConsoleNewLine();
  if (Logging) WriteLog("\r\n");
  logState_.prevByte = ' ';
}

void TLogg::ReportCell(int col, const std::string& text) {
  static const char* const kLabels[] = {"", "Filnavn: ", "Status:  ", "Melding: "};
  if (StatusLogg && col >= 1 && col <= 3 && !text.empty()) {
    WallTime now = TheClock().Now();
    bool ok = true;
    AppendLine(LogBase + "Txt", ShortDate(now) + " " + LongTime(now) + "   " + kLabels[col] + text,
               ok);
  }
  SetCell(col, text);
}

void TLogg::ReportCellWait(int col, const std::string& text) {
  ReportCell(col, text);
  TheClock().Sleep(250, TerminateFlag());
}

void TLogg::LogEvent(bool read, const std::string& text) {
  if (!(read ? LeseHendelser : Hendelser)) return;
  auto line = [&] {
    WallTime now = TheClock().Now();
    return ShortDate(now) + " " + LongTime(now).substr(0, 5) + " " + text;
  };
  bool ok = true;
  AppendLine(ReadIniUpper(SectionName, "HendelsesFil", DataDir + SectionName + ".Txt"), line(), ok);
  if (!ok) {
    ok = true;
    AppendLine(LogDir() + SectionName + "H.Txt", line(), ok);
  }
}

void TLogg::LogFileEvent(const std::string& name, const std::string& text) {
  if (!Hendelser) return;
  int width = (55 - static_cast<int>(DataDir.size())) / 2;
  LogEvent(false, PadStr(name, width, false) + " -> " + text);
}

void TLogg::LogSentToCnc(const std::string& name) {
  if (LeseHendelser) LogEvent(true, "Fil sendt til CNC: " + name);
}

void TLogg::AppendLine(const std::string& path, const std::string& line, bool& ok) {
  std::FILE* f = std::fopen(FsPath(path).c_str(), "ab");
  if (!f) {
    ok = false;
    return;
  }
  std::string text = Latin1ToUtf8(line) + "\r\n";
  ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fclose(f) == 0) && ok;
}

std::string TLogg::StatusTimeStamp() const {
  if (!DatoTid.empty()) return FormatDateTimePattern(DatoTid, LastTime);
  return ShortDate(LastTime) + " " + LongTime(LastTime);
}

const std::string& TLogg::StatusRecordPath(int m) {
  // Read once for the driver's life, as its other settings are: a box may
  // write a record every few milliseconds, and each read of the settings
  // file looks at the file again.
  auto it = recordPaths_.find(m);
  if (it == recordPaths_.end())
    it = recordPaths_
             .emplace(m, ReadIniUpper(MachineSection(m), "LoggeFil",
                                      LogDir() + MachineSection(m) + ".SDV"))
             .first;
  return it->second;
}

void TLogg::WriteStatusRecord(int m, int code, const std::string& text, bool& ok) {
  const std::string cut = text.substr(0, 50);
  const std::string& target = StatusRecordPath(m);
  const std::string fallback = LogBase + "SDV";
  const std::string stamp = StatusTimeStamp();
  // Written on the driver's own thread under one lock for all writers: the
  // tries on a busy file take seconds, which would freeze the window and
  // every other driver if they ran on the main thread.
  ok = false;
  for (int attempt = 1; attempt <= 20; ++attempt) {
    const bool usedFallback = attempt == 20;
    {
      std::lock_guard lock(StatusRecordWriteLock());
      StatusRecordFile f;
      const bool open = f.Open(usedFallback ? fallback : target);
      if (usedFallback) StatusGap = true;
      if (open) {
        if (StatusGap && !usedFallback && f.Append(stamp + ";203;")) StatusGap = false;
        ok = f.Append(stamp + ";" + std::to_string(code) + ";" + cut);
        ok = f.Close() && ok;
        if (!ok) StatusGap = true;
      }
      if (open || usedFallback) {
        // Under the lock, so that the records of a file are published in
        // the order they stand in it.
        NotifyStatusRecord({m, code, cut, LastTime, ok});
        return;
      }
    }
    TheClock().Sleep(200);
  }
}

}  // namespace zova
