#include "e2e/support/station_fixture.h"

#include <sys/stat.h>

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

std::unique_ptr<Process> StationFixture::Control(int n, const std::vector<std::string>& commands) {
  std::vector<std::string> argv{CNCSIM_EXE, "--link", Link(n)};
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

}  // namespace zova::test
