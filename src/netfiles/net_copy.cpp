#include "netfiles/net_copy.h"

#include "core/clock.h"
#include "core/config/config.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "netfiles/file_ops.h"
#include "netfiles/net_messages.h"

namespace zova {

void ServeCommands(TLogg& d, const std::function<void()>& cycle) {
  d.ReportCellWait(kColStatus, L1("Venter på kommandoer"));
  while (!d.Terminated()) {
    cycle();
    TheClock().Sleep(500, d.TerminateFlag());
  }
  d.ReportCellWait(kColStatus, L1("Kjører ikke"));
  TheClock().Sleep(100, nullptr);
}

bool NetShare::Connect() {
  return !share.empty();
}

void NetShare::Disconnect() {}

bool ConnectFor(TLogg& d, NetShare& net, const char* okText, const char* failedText) {
  if (net.share.empty()) return false;
  bool ok = net.Connect();
  d.ReportCellWait(kColStatus, L1(ok ? okText : failedText));
  return ok;
}

void NetKeys::Read(const std::string& section, const std::string& dataDir, bool underDefault) {
  katalog = ReadIniUpper(section, "Katalog", dataDir);
  katalog2 = ReadIniUpper(section, "Katalog2", katalog);
  cncKatalog = ReadIniStr(section, "CNCKatalog", "");
  cncUnder = ReadIniBool(section, "CNCUnderKataloger", underDefault);
  net.drive = ReadIniStr(section, "Drive", "");
  net.share = ReadIniStr(section, "Share", "");
  net.user = ReadIniStr(section, "User", "");
  net.password = ReadIniStr(section, "Password", "");
}

std::string ControlDir(const std::string& cncKatalog, bool under, const std::string& selection) {
  std::string dir = WithTrailingSep(cncKatalog);
  if (under && !selection.empty()) dir = WithTrailingSep(dir + selection);
  return dir;
}

std::string Selection(TMsg& d) {
  std::string s = d.GetCell(kColFilnavn);
  while (!s.empty() && (s.back() == '!' || s.back() == ' ')) s.pop_back();
  return s;
}

std::string WithDefaultExt(const std::string& name, const std::string& ext) {
  return ExtPos(name) > 0 || name.empty() ? name : name + ext;
}

std::string JoinOrAbsolute(const std::string& dir, const std::string& name) {
  return IsAbsolutePath(name) ? name : JoinPath(dir, name);
}

void CopyFiles(TLogg& d, CopyCycle& c, const std::vector<CopyPair>& pairs) {
  for (const CopyPair& p : pairs) {
    d.ReportCellWait(kColMelding, "Kopierer " + p.name);
    std::string error;
    uint64_t bytes = 0;
    if (SafeCopyFile(p.src, p.dst, error, &bytes)) {
      ++c.count;
      c.bytes += bytes;
      d.SetCharCount(true, static_cast<int>(bytes));
    } else {
      c.error = error;
    }
    d.ReportCellWait(kColMelding, c.error);
  }
}

void ReportDirCopyEnd(TLogg& d, const CopyCycle& c, const std::string& src, const std::string& done,
                      const std::string& failed) {
  bool bad = !c.error.empty() || c.count == 0;
  d.ReportCellWait(kColStatus, bad ? failed : done);
  if (c.count == 0 && c.error.empty()) d.ReportCellWait(kColMelding, netmsg::NoFilesFrom(src));
}

void FailCopy(TLogg& d, CopyCycle& c, const std::string& text) {
  c.error = text;
  d.ReportCellWait(kColMelding, text);
  d.ReportCellWait(kColStatus, "Kopiering feilet");
}

std::string TransferMessage(const CopyCycle& c) {
  if (c.error.size() > 1) return c.error;
  return netmsg::CountText(c.count, "1 fil ble overført", " filer ble overført");
}

}  // namespace zova
