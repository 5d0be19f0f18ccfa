#pragma once
// The logging layer of every machine driver: the byte log of the line
// traffic, the status log of grid changes, event lines of transfers and the
// status record files, plus the per-machine values every later layer needs.

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "core/clock.h"
#include "core/driver/tmsg.h"
#include "core/logging/log_format.h"

namespace zova {

// The log directory of all machines: [Program] Temp when it names an existing
// directory, else the system's temporary directory. Fixed at first use for
// the active configuration file.
std::string LogDir();
// Computes it afresh (tests).
std::string ComputeLogDir();

constexpr long long kMaxByteLog = 10485760;  // emptied at the next start when larger

class TLogg : public TMsg {
 public:
  TLogg(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);
  ~TLogg() override;

  // Direction marks of the serial layers.
  static constexpr char kMarkReceived = '#';
  static constexpr char kMarkSent = '@';
  static constexpr char kMarkReceived2 = '\xA7';  // "§"
  static constexpr char kMarkSent2 = '\xA3';      // "£"

  // Inline: it is called for every byte of a transfer, logging or not.
  void LogByte(char mark, uint8_t b) {
    if (Logging) WriteLoggedByte(mark, b);
  }
  void LogMarker(bool withTime, const std::string& text);
  void LogNewLine();
  virtual void CloseLog();
  void ReportCell(int col, const std::string& text);
  void ReportCellWait(int col, const std::string& text);
  void LogEvent(bool read, const std::string& text);
  void LogFileEvent(const std::string& name, const std::string& text);
  void LogSentToCnc(const std::string& name);
  // One line to machine M's status record file (after twenty tries 200 ms
  // apart, to this machine's own fallback file).
  void WriteStatusRecord(int m, int code, const std::string& text, bool& ok);
  // Opens Path for appending (creating it), writes Line and CR LF, closes.
  static void AppendLine(const std::string& path, const std::string& line, bool& ok);

  bool Hendelser = false;
  bool LeseHendelser = false;
  bool Logging = false;
  bool StatusLogg = false;
  bool StatusGap = false;
  std::string SectionName;
  std::string DataDir;
  std::string Katalog2;
  std::string Ext;
  std::string Ext2;
  std::string LogBase;
  WallTime LastTime;
  std::string DatoTid;

 protected:
  std::string StatusTimeStamp() const;

 private:
  const std::string& StatusRecordPath(int m);
  void WriteLoggedByte(char mark, uint8_t b);
  void OpenByteLog();
  void WriteLog(const std::string& text);

  std::FILE* logFile_ = nullptr;
  ByteLogState logState_;
  int64_t lastTick_ = 0;
  std::string scratch_;
  std::map<int, std::string> recordPaths_;  // machine -> its status record file
};

}  // namespace zova
