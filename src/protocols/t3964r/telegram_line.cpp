#include "protocols/t3964r/telegram_line.h"

#include "files/transfer/char_codes.h"

namespace zova {

int TelegramLineCode(int code) {
  switch (SafeLineCode(code)) {
    case kCodeEia:
      return kCodeAscii;
    case kCodeEiaIso:
      return kCodeAsciiIso;
    case kCodeIso:
    case kCodeSoftIso:
    case kCodeIsoEia:
      return kCodeIsoAscii;
    default:
      return SafeLineCode(code);
  }
}

void MakeTelegramLine(PortSettings& settings, LineSettings& kernel) {
  settings.Eob.clear();
  settings.XonStart = false;
  settings.Blokkvis = false;
  settings.XonXoff = false;
  settings.FjernNull = false;
  settings.Buffer = false;
  settings.XOnTest = false;
  settings.TVCheck = false;
  settings.Code = static_cast<uint8_t>(TelegramLineCode(settings.Code));
  for (LineSettings* line : {&settings.Line, &kernel}) {
    line->xonXoffIn = line->xonXoffOut = false;
    line->stripNul = false;
  }
}

}  // namespace zova
