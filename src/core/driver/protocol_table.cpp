#include "core/driver/protocol_table.h"

#include <map>
#include <mutex>

namespace zova {

namespace {

constexpr unsigned T = kExtraToolTable, S = kExtraTextSlot, W = kExtraTwoWay, C = kExtraCommand,
                   P = kExtraPresetBuffer, B = kExtraBalluffBuffer;

const ProtocolRow kTable[] = {
    {"STANDARD", "TZova", 0, true},
    {"BTR", "TBtr", 0, true},
    {"LSV2", "TLSV2", W, true},
    {"OKUMA", "TOkuma", 0, true},
    {"ECHO", "TEcho", 0, true},
    {"FORINST", "TForInst", S | C, false},
    {"FORINSTKARTOTEK", "TForInst", S | C, false},
    {"TFORINST", "TForInstT", 0, false},
    {"DNC1", "TNumNJ", 0, true},
    {"PARALLELL", "TNCZova", 0, false},
    {"LINJE", "TLinje", 0, true},
    {"NUMDNC1", "TNum", 0, true},
    {"LSV2TOOL", "TLSV2Tool", T | W, false},
    {"XFORINST", "TForInstX", 0, false},
    {"FFORINST", "TForInstF", S, false},
    {"DFORINST", "TForInstD", S, false},
    {"MAZATROL", "TMazatrol", 0, true},
    {"MAZAK", "TMazatrol", 0, true},
    {"HEIDENHAIN", "THeidenHain", 0, true},
    {"DC2", "TDC2", 0, true},
    {"LOGGING", "TMaskLogg", S, false},
    {"TERMINAL", "TTerminal", C, true},
    {"HT", "TTerminal", C, true},
    {"FAPT", "TFapt", 0, true},
    {"LSV2TPAL", "TLSV2TPal", T | S | W, false},
    {"BUFFER", "TBuffer", 0, false},
    {"HYBRID", "THybrid", 0, true},
    {"SIEMENS", "TSiemens", 0, true},
    {"BFORINST", "TForInstB", 0, false},
    {"BLOHM", "TBlohm", 0, false},
    {"SHOTPEEN", "TShotPeen", S, false},
    {"IRB2000", "TAbbIrb", 0, false},
    {"FORINSTTERM", "TForInstTerm", 0, false},
    {"LOGGEBOKS", "TBoks", S | C, true},
    {"MAKINO", "TMakino", 0, true},
    {"ROVERB", "TRoverB", W, false},
    {"ROBOFIL", "TRobofil", W, false},
    {"DNC3", "TRobofil", W, false},
    {"RASKIN", "TRaskin", W, true},
    {"EASY", "TEasy", P, false},
    {"KELCH", "TEasy", P, false},
    {"EASYBILZ", "TEasyBilz", 0, false},
    {"ELB", "TELB", 0, false},
    {"HHLSV2", "THHLsv2", W, true},
    {"OKUMALSV2", "TLSV2Okuma", 0, true},
    {"SICMARK", "TSicMark", 0, false},
    {"BALLUFF", "TBalluffData", B, false},
    {"FILER", "TFiler", S | W, true},
    {"KATTEMP", "TKatTemp", S, true},
    {"WINTOOL", "TWinTool", S | W, true},
    {"AGV", "", S, false},
    {"EASYDB", "", P, false},
    {"KELCHDB", "", P, false},
    {"DBFORINST", "", P, false},
    {"DBFORINNST", "", P, false},
    {"RGV", "", S, false},
    {"FTPTEMP", "", 0, false},
    {"FILTEMP", "", 0, false},
    {"PWB", "", P, false},
    {"INGEN", "", 0, false},
    {"FTP", "", S, false},
};

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

std::map<std::string, DriverFactory>& Registry() {
  static std::map<std::string, DriverFactory> r;
  return r;
}

}  // namespace

const ProtocolRow* FindProtocol(std::string_view keyword) {
  for (const ProtocolRow& row : kTable)
    if (keyword == row.keyword) return &row;
  return nullptr;
}

bool IsSilentNoDriver(std::string_view keyword) {
  return keyword == "INGEN" || keyword == "FTP";
}

void RegisterDriverClass(const std::string& className, DriverFactory factory) {
  std::lock_guard lock(RegistryMutex());
  Registry()[className] = std::move(factory);
}

void UnregisterDriverClass(const std::string& className) {
  std::lock_guard lock(RegistryMutex());
  Registry().erase(className);
}

const DriverFactory* FindDriverClass(const std::string& className) {
  std::lock_guard lock(RegistryMutex());
  auto it = Registry().find(className);
  return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace zova
