#pragma once
// The copy steps that the network drivers share: the share connection, the
// control directory, copying a list of files with the Melding reports, and
// the end-of-copy status.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/driver/tlogg.h"

namespace zova {

// The command loop of a network driver: "Venter på kommandoer", a cycle
// every half second until the driver is told to stop, then "Kjører ikke".
void ServeCommands(TLogg& d, const std::function<void()>& cycle);

// The counter and error text of one driver cycle.
struct CopyCycle {
  int count = 0;
  std::string error;
  uint64_t bytes = 0;
  void Reset() { *this = CopyCycle{}; }
};

// A share to connect for one request. Shares are mounted by the system on
// this station, so connecting only checks that there is something to reach.
struct NetShare {
  std::string drive, share, user, password;
  bool Connect();
  void Disconnect();
};

// Connects when a share is set and reports OkText or FailedText (UTF-8);
// true when there is a connection to end afterwards.
bool ConnectFor(TLogg& d, NetShare& net, const char* okText, const char* failedText);

// The network drivers' keys shared by FILER and WINTOOL.
struct NetKeys {
  std::string katalog, katalog2, cncKatalog;
  bool cncUnder = false;
  NetShare net;
  void Read(const std::string& section, const std::string& dataDir, bool underDefault);
};

// CNCKatalog + "\" and, with CNCUnderKataloger, the selection + "\".
std::string ControlDir(const std::string& cncKatalog, bool under, const std::string& selection);
// The Filnavn cell as the operator's selection: upper-cased, marker "!" gone.
std::string Selection(TMsg& d);
// A file name without extension gets Ext.
std::string WithDefaultExt(const std::string& name, const std::string& ext);
// Dir joined with Name, or Name itself when absolute.
std::string JoinOrAbsolute(const std::string& dir, const std::string& name);

struct CopyPair {
  std::string src, dst, name;  // name: what Melding shows
};
// Copies each pair with "Kopierer <name>" in Melding; counts successes, keeps
// the last system error text and shows it.
void CopyFiles(TLogg& d, CopyCycle& c, const std::vector<CopyPair>& pairs);
// The status after a directory copy: Done / Failed, and "Ingen filer å
// kopiere fra <Src>" when nothing was there.
void ReportDirCopyEnd(TLogg& d, const CopyCycle& c, const std::string& src, const std::string& done,
                      const std::string& failed);
// "Kopiering feilet" with the text in the error.
void FailCopy(TLogg& d, CopyCycle& c, const std::string& text);

// "1 fil ble overført" / "N filer ble overført" / the error text.
std::string TransferMessage(const CopyCycle& c);

}  // namespace zova
