#include "serial/standard/send_choice.h"

#include <cmath>

#include "tools/tool_settings.h"

namespace zova {

bool IsToolFileName(std::string_view upperName) {
  for (bool turn : {false, true})
    for (bool tool : {false, true}) {
      std::string ext = ToolFileExt(turn, tool);
      if (!ext.empty() && upperName.find(ext) != std::string_view::npos) return true;
    }
  return false;
}

SendChoice ChooseSend(const SendChoiceInput& in) {
  if (in.receiptPending) return SendChoice::Receipt;
  if (in.listingConfigured && in.fileCell.find('*') != std::string::npos)
    return SendChoice::Directory;
  if (in.toolFormat == kToolNone) return SendChoice::Program;
  const bool alwaysTool = in.toolFormat == kToolSiemens880 || in.toolFormat == kToolHeidenhain;
  const bool lastAutoLoaded =
      in.autoToolLoad && !in.lastAutoToolFile.empty() && in.fileCell == in.lastAutoToolFile;
  if (!alwaysTool && !IsToolFileName(in.fileCell) && !lastAutoLoaded) return SendChoice::Program;
  return SendChoice::Tool;
}

int ReceiptCycles(int kvitteringsTid, int timeMultiplier, int venteTid) {
  if (timeMultiplier <= 0) timeMultiplier = 1000;
  int cycles = static_cast<int>(std::lround(kvitteringsTid * 1000.0 / timeMultiplier));
  if (cycles >= 1 && venteTid >= 1) ++cycles;
  return cycles;
}

bool ReceptionComplete(bool stopSeen, bool stopSequenceMatched, bool stoppKodeEmpty, bool started) {
  return stopSeen || stopSequenceMatched || (stoppKodeEmpty && started);
}

bool SendsTrailer(std::string_view stoppTegn, bool startStoppKodeUt, std::string_view stoppKode) {
  if (stoppTegn.empty()) return true;
  if (!startStoppKodeUt) return false;
  return stoppKode.empty() || stoppKode.substr(stoppKode.size() - 1) != stoppTegn;
}

bool IsSystemFileName(std::string_view upperName, std::string_view sysExt) {
  if (sysExt.empty()) return false;
  size_t at = upperName.find(sysExt);
  return at != std::string_view::npos && at >= 1;
}

int EndCheckReads(int64_t unsent) {
  constexpr int64_t kEndCheckChars = 5;
  const int64_t missing = unsent > 1 ? unsent - 1 : 0;
  return missing > kEndCheckChars ? -1 : static_cast<int>(kEndCheckChars - missing);
}

}  // namespace zova
