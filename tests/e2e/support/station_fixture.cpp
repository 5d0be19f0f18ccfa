#include "e2e/support/station_fixture.h"

#include <signal.h>
#include <sys/stat.h>

#include "serial/ser2net_server.h"

namespace zova::test {

StationFixture::StationFixture() {
  env = {"XDG_RUNTIME_DIR=" + dir.Path(), "ZOVA_SYSTEM_REGISTRY=" + (dir / "sys.ini"),
         "ZOVA_USER_REGISTRY=" + (dir / "user.ini"),
         // The station's own pauses run twenty times faster; line timeouts
         // stay real.
         "ZOVA_CLOCK_SCALE=20"};
}

std::string StationFixture::WriteIni(int machines, const std::string& machineKeys,
                                     const std::string& portKeys, const std::string& program) {
  std::string ini = "[Program]\r\nMaskiner=" + std::to_string(machines) + "\r\nTemp=" + dir.Path() +
                    "\r\nHendelser=True\r\n" + program + "\r\n";
  for (int n = 1; n <= machines; ++n) {
    std::string m = std::to_string(n);
    mkdir(MachineDir(n).c_str(), 0755);
    ini += "[Maskin" + m + "]\r\nNavn=Fres " + m + "\r\nProtokoll=STANDARD\r\nPort=COM" + m +
           "\r\nKatalog=" + MachineDir(n) + "\r\n" + machineKeys + "\r\n";
    ini += "[COM" + m + "]\r\nEnhet=" + Link(n) + "\r\nKode=ASCII\r\nTimeMultiplier=100\r\n" +
           portKeys + "\r\n";
  }
  std::string path = dir / "Zova.ini";
  WriteFile(path, ini);
  return path;
}

void StationFixture::UseProtocol(const std::string& ini, const std::string& keyword) {
  std::string text = ReadFile(ini);
  const std::string standard = "Protokoll=STANDARD";
  for (size_t at; (at = text.find(standard)) != std::string::npos;)
    text.replace(at, standard.size(), "Protokoll=" + keyword);
  WriteFile(ini, text);
}

std::string StationFixture::OwnWebPort() {
  return "WebPort=" + std::to_string(FreeLoopbackPort()) + "\r\n";
}

std::unique_ptr<Process> StationFixture::Control(int n, const std::vector<std::string>& commands,
                                                 const std::string& kind) {
  std::vector<std::string> argv{CNCSIM_EXE, "--control", kind, "--link", Link(n)};
  for (const std::string& c : commands) {
    argv.push_back("-e");
    argv.push_back(c);
  }
  auto p = std::make_unique<Process>(argv, env);
  EXPECT_NE(p->WaitForLine("/dev/"), "") << p->Stderr();
  return p;
}

std::unique_ptr<Process> StationFixture::Station(const std::string& ini) {
  return std::make_unique<Process>(std::vector<std::string>{ZOVA_EXE, ini, "--headless"}, env);
}

int StationFixture::RunCtl(const std::string& ini, const std::vector<std::string>& words,
                           std::string* out, std::string* err) {
  std::vector<std::string> argv{ZOVA_EXE, "ctl", ini};
  argv.insert(argv.end(), words.begin(), words.end());
  Process p(argv, env);
  const int code = p.Wait(20000);
  if (out)
    for (const std::string& l : p.Lines()) *out += l + "\n";
  if (err) *err = p.Stderr();
  return code;
}

std::string StationFixture::Expect(Process& p, const std::string& text, int timeoutMs) {
  std::string got = p.WaitForLine(text, timeoutMs);
  if (got.empty()) {
    std::string seen;
    for (const std::string& l : p.Lines()) seen += l + "\n";
    ADD_FAILURE() << "no line with \"" << text << "\"; seen:\n" << seen << p.Stderr();
  }
  return got;
}

void StationFixture::Stop(Process& station) {
  station.Signal(SIGTERM);
  EXPECT_EQ(station.Wait(), 0) << station.Stderr();
}

}  // namespace zova::test
