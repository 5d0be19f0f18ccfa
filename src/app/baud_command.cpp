#include "app/baud_command.h"

#include "core/clock.h"
#include "core/config/config.h"
#include "core/driver/machine_set.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "serial/baud/baud_detector.h"
#include "serial/device/serial_device.h"

namespace zova::app {

namespace {

constexpr int kShowChars = 50;
constexpr int64_t kQuietMs = 2000;

int MachineByWord(const std::string& word) {
  const int count = MachineSet::ConfiguredMachineCount();
  if (const auto n = ParseInteger(word)) return *n >= 1 && *n <= count ? *n : 0;
  const std::string wanted = UpperCase(word);
  for (int n = 1; n <= count; ++n)
    if (ReadIniUpper(MachineSection(n), "Navn", "") == wanted) return n;
  return 0;
}

bool TakeNumber(const std::string& text, int& value) {
  const auto n = ParseInteger(text);
  if (!n) return false;
  value = *n;
  return true;
}

}  // namespace

std::optional<BaudPlan> PlanBaud(const std::vector<std::string>& args, std::string& error) {
  BaudPlan plan;
  std::string machine;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    int* target = a == "--min"    ? &plan.settings.minBaud
                  : a == "--max"  ? &plan.settings.maxBaud
                  : a == "--bits" ? &plan.settings.bit
                  : a == "--stop" ? &plan.settings.stopBits
                                  : nullptr;
    if (target) {
      if (!hasValue || !TakeNumber(args[++i], *target)) {
        error = a + " trenger et tall";
        return std::nullopt;
      }
    } else if (a == "--write") {
      plan.write = true;
    } else if (a.rfind("--", 0) == 0 || !machine.empty()) {
      error = "ukjent argument " + a;
      return std::nullopt;
    } else {
      machine = a;
    }
  }
  const BaudSearchSettings& s = plan.settings;
  if (machine.empty())
    error = "mangler MASKIN";
  else if (s.bit < 7 || s.bit > 9)
    error = "--bits er 7, 8 eller 9";
  else if (s.stopBits < 1 || s.stopBits > 2)
    error = "--stop er 1 eller 2";
  else if (s.minBaud < 50 || s.maxBaud < s.minBaud)
    error = "--min må være minst 50 og høyst --max";
  else if ((plan.machine = MachineByWord(machine)) == 0)
    error = "ukjent maskin: " + machine;
  if (!error.empty()) return std::nullopt;
  return plan;
}

int RunBaudCommand(const BaudPlan& plan, std::FILE* out, std::FILE* err,
                   const std::function<bool()>& stop) {
  const BaudSearchSettings& s = plan.settings;
  const std::string port = DetectionPort(plan.machine);
  BaudDetector detector;
  int e = 0;
  const BaudOpenFault fault = detector.Open(port, s, e);
  if (fault != BaudOpenFault::None) {
    std::fprintf(err, "zova baud: %s (%s): %s\n", port.c_str(), detector.DeviceName().c_str(),
                 Latin1ToUtf8(DeviceErrorText(e)).c_str());
    return 2;
  }
  std::fprintf(out, "%s (%s): %d bit, %d stoppbit, %d ned til %d baud\n", port.c_str(),
               detector.DeviceName().c_str(), s.bit, s.stopBits, s.maxBaud, s.minBaud);
  std::fflush(out);
  bool detected = false;
  int64_t lastChar = TheClock().TickMs();
  BaudEvents events;
  events.onRate = [&](int rate) { std::fprintf(out, "Baud: %d\n", rate); };
  events.onStatus = [&](const std::string& status) {
    detected = status == "Detektert";
    std::fprintf(out, "%s\n", status.c_str());
    std::fflush(out);
  };
  events.onChar = [&](uint8_t, bool, int) { lastChar = TheClock().TickMs(); };
  events.enough = [](int since) { return since >= kShowChars; };
  events.stop = [&] { return stop() || (detected && TheClock().TickMs() - lastChar >= kQuietMs); };
  const BaudOutcome found = detector.Run(events);
  detector.Close();
  std::fprintf(out, "Avsluttet\n");
  if (!found.detected) {
    std::fprintf(out, "Ingen baudrate funnet\n");
    return 1;
  }
  const BaudCodeKeys k = CodeKeys(found.highBitSeen, s.bit);
  std::fprintf(out, "[%s]\nBaud=%d\nKode=%s\nBit=%s\nParitet=%s\nStoppBit=%d\n", port.c_str(),
               found.rate, k.kode.c_str(), k.bit.c_str(), k.paritet.c_str(), s.stopBits);
  if (!plan.write) {
    std::fprintf(out, "Ikke skrevet (--write skriver dem)\n");
    return 0;
  }
  if (!WriteBaudAnswers(port, found.rate, found.highBitSeen, s, true, true, true)) {
    std::fprintf(err, "zova baud: klarer ikke å skrive Zova.ini\n");
    return 2;
  }
  std::fprintf(out, "Skrevet til [%s]\n", port.c_str());
  return 0;
}

}  // namespace zova::app
