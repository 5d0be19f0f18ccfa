#include "core/driver/tlogg.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

#include "core/config/config.h"
#include "core/driver/status_record_sink.h"
#include "core/file_settings.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/mainthread.h"
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

namespace {

// A station path is resolved by looking its components up without regard
// to case, which reads directories; a shop's status record files take up to
// a thousand lines a second, so each file's resolved path is kept while the
// file is there. Main thread, or inline in tests: locked all the same.
std::string RecordFsPath(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, std::string> known;
  std::lock_guard lock(mutex);
  struct stat st {};
  auto it = known.find(path);
  if (it != known.end() && ::stat(it->second.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return it->second;
  std::string fs = FsPath(path);
  if (known.size() >= 4096) known.clear();
  if (::stat(fs.c_str(), &st) == 0 && S_ISREG(st.st_mode)) known[path] = fs;
  return fs;
}

// Opens for appending and takes an exclusive lock without waiting: a file
// that another program holds counts as busy, as on Windows.
std::FILE* OpenRecordFile(const std::string& path) {
  std::FILE* f = std::fopen(RecordFsPath(path).c_str(), "ab");
  if (!f) return nullptr;
  if (::lockf(fileno(f), F_TLOCK, 0) != 0) {
    std::fclose(f);
    return nullptr;
  }
  return f;
}

bool WriteRecordLine(std::FILE* f, const std::string& line) {
  std::string text = Latin1ToUtf8(line) + "\r\n";
  return std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0;
}

}  // namespace

void TLogg::WriteStatusRecord(int m, int code, const std::string& text, bool& ok) {
  std::string cut = text.substr(0, 50);
  MainThread::invoke([&] {
    std::string target =
        ReadIniUpper(MachineSection(m), "LoggeFil", LogDir() + MachineSection(m) + ".SDV");
    std::string fallback = LogBase + "SDV";
    std::FILE* f = nullptr;
    bool usedFallback = false;
    for (int attempt = 1; attempt <= 20 && !f; ++attempt) {
      usedFallback = attempt == 20;
      f = OpenRecordFile(usedFallback ? fallback : target);
      if (!f && attempt < 20) TheClock().Sleep(200);
    }
    if (usedFallback) StatusGap = true;
    ok = f != nullptr;
    if (f) {
      std::string stamp = StatusTimeStamp();
      if (StatusGap && !usedFallback) {
        if (WriteRecordLine(f, stamp + ";203;")) StatusGap = false;
      }
      ok = WriteRecordLine(f, stamp + ";" + std::to_string(code) + ";" + cut);
      ok = (std::fclose(f) == 0) && ok;
      if (!ok) StatusGap = true;
    }
    NotifyStatusRecord({m, code, cut, LastTime, ok});
  });
}

}  // namespace zova
