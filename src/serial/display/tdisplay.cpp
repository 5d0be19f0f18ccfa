#include "serial/display/tdisplay.h"

#include "core/latin1.h"

namespace zova {

namespace {

constexpr char kSo = 14;
// The station's name on the display's first line; the event on its second.
constexpr const char* kStationName = "Kvist-Zova";

}  // namespace

TDisplay::TDisplay(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  DisplaySet.kind = ReadIniInt(s, "Display", kDisplayWindow);
  DisplaySet.lines = ReadIniInt(s, "DisplayLinjer", 2);
  DisplaySet.erstatt = ReadIniBool(s, "DisplayErstatt", false);
  DisplaySet.tegnSett = ReadIniInt(s, "DisplayTegnSett", 1);
  DisplayPort = Trim(ReadIniUpper(s, "DisplayPort", ""));
}

void TDisplay::OnStart() {
  TZova::OnStart();
  if (!DisplayPort.empty()) {
    bool ok = false;
    OpenPort(DisplayPort, "", ok, false, DisplayCom);
    ReportOpenFailure(ok, DisplayPort);
    ownPortOpen_ = ok;
    line_ = ok ? &DisplayCom : nullptr;
  } else {
    line_ = PortOpen ? &Com : nullptr;
  }
  if (line_ && DisplaySet.kind >= kStartStopColumns) {
    bool ok = false;
    WriteChar(*line_, false, ok, kSo);
    ShowOnDisplay(false, kStationName, "startet");
  }
}

void TDisplay::OnThreadEnd() {
  if (line_ && DisplaySet.kind >= kStartStopColumns) ShowOnDisplay(false, kStationName, "stoppet");
  if (ownPortOpen_) ClosePort(DisplayCom);
  ownPortOpen_ = false;
  line_ = nullptr;
  TZova::OnThreadEnd();
}

void TDisplay::ShowOnDisplay(bool second, const std::string& text1, const std::string& text2) {
  const int kind = DisplaySet.kind;
  if (kind == kDisplayWindow) {
    ShowDisplay(false, WindowDisplayText(text1, text2));
    return;
  }
  if (kind == kDisplayWindowAlt) {
    ShowDisplayText(false, WindowDisplayText(text1, text2));
    return;
  }
  if (!line_ || kind < kDisplayLine) return;
  const std::string bytes = kind == kDisplayLine
                                ? LineDisplayBytes(text2)
                                : CharacterDisplayBytes(DisplaySet, second, text1, text2);
  bool ok = false;
  WriteString(*line_, bytes, ok);
  LogNewLine();
}

}  // namespace zova
