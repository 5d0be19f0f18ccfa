// The echo driver through the real station and the simulated echo control:
// a send that waits for each echo, a reception the station echoes, retries
// of a character whose echo did not come, a wrong echo, and a control that
// asks for its program with its first character (RCC).

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "O1000 (BRAKETT)\r\nG0 X1\r\nG1 X2 F50\r\nM30\r\n";
// What the station sends of it: the start and stop codes around it.
const std::string kOnLine = "%" + kProgram + "%";

// The control waits for the station while it starts and takes its order:
// generous on a loaded machine or under a sanitizer.
const std::string kWait = " --first 30000";
const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";

struct Echo : StationFixture {
  std::string ini;

  // A read waits a second for its echo (ten tries of TimeMultiplier).
  void Configure(const std::string& keys) {
    ini = WriteIni(1, "StoppKode=%\r\n" + keys, "TimeOut=10\r\n", OwnWebPort());
    UseProtocol(ini, "ECHO");
  }
  std::unique_ptr<Process> EchoControl(const std::vector<std::string>& commands) {
    std::vector<std::string> script{"wait-open --timeout 30000"};
    script.insert(script.end(), commands.begin(), commands.end());
    return Control(1, script, "echo");
  }
  // The station sends O1000.NC on the operator's order.
  std::unique_ptr<Process> SendOrdered() {
    WriteFile(MachineDir(1) + "O1000.NC", kProgram);
    auto station = Station(ini);
    Expect(*station, kRunning);
    EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
    return station;
  }
};

TEST_F(Echo, SendWaitsForEachEchoAndTheProgramArrivesWhole) {
  Configure("");
  auto control = EchoControl({"echo-receive " + (dir / "got.nc") + " --until %" + kWait});
  auto station = SendOrdered();
  Expect(*station, "1 Status: Sender Echo-data - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), kOnLine);
  const std::string n = std::to_string(kOnLine.size());
  EXPECT_NE(control->WaitForLine("echo-receive: " + n + " bytes came, " + n + " kept"), "")
      << "each character went out once";
  Stop(*station);
}

TEST_F(Echo, ALineEndGoesOutAsTheEndOfBlockAndEachOfItsCharactersIsEchoed) {
  // A file with bare LF line ends: the line's end of block is CR LF.
  Configure("");
  auto control = EchoControl({"echo-receive " + (dir / "got.nc") + " --until %" + kWait});
  WriteFile(MachineDir(1) + "O1000.NC", "O1000\nM30\n");
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), "%O1000\r\nM30\r\n%");
  Stop(*station);
}

TEST_F(Echo, ReceptionIsEchoedAndStored) {
  // The newer rule takes a NUL for a program that follows; the older one
  // any character but NUL, which here is the start code itself.
  const struct {
    const char* keys;
    const char* start;
  } cases[] = {{"RCC=True\r\n", "[NUL]%[CR][LF]"}, {"RCC=True\r\nRCCGammel=True\r\n", "%[CR][LF]"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    Configure(c.keys);
    WriteFile(dir / "p1.nc", kProgram);
    // The control sends once the station has opened and purged its line.
    auto control = EchoControl({"wait 1000", "echo-send " + (dir / "p1.nc") + " --start " +
                                                 c.start + " --stop % --timeout 30000"});
    auto station = Station(ini);
    Expect(*station, "1 Status: Mottar Echo-data - 1");
    Expect(*station, "1 Status: Data lagret");
    EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
    EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), kProgram);
    Stop(*station);
    std::remove((MachineDir(1) + "BRAKETT.NC").c_str());
  }
}

TEST_F(Echo, ASilentEchoFailsWithoutRepeterAndIsRetriedWithIt) {
  for (int repeter : {0, 1}) {
    SCOPED_TRACE("Repeter=" + std::to_string(repeter));
    Configure("Repeter=" + std::to_string(repeter) + "\r\n");
    auto control = EchoControl(
        {"echo-receive " + (dir / "got.nc") + " --until % --quiet 3000 --silent-at 5" + kWait});
    auto station = SendOrdered();
    const std::string n = std::to_string(kOnLine.size());
    if (repeter == 0) {
      Expect(*station, "1 Status: Sending avbrutt");
      Expect(*station, "1 Melding: Klarer ikke \xC3\xA5 sende ut tegn");
      EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
      EXPECT_NE(control->WaitForLine("echo-receive: 5 bytes came, 4 kept"), "")
          << "exactly one attempt for the fifth character";
    } else {
      Expect(*station, "1 Status: Fil sendt");
      EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
      EXPECT_EQ(ReadFile(dir / "got.nc"), kOnLine);
      EXPECT_NE(control->WaitForLine("echo-receive: " + std::to_string(kOnLine.size() + 1) +
                                     " bytes came, " + n + " kept"),
                "")
          << "the fifth character went out twice";
    }
    Stop(*station);
  }
}

TEST_F(Echo, AWrongEchoStopsTheSendAtOnce) {
  Configure("Repeter=2\r\n");
  auto control = EchoControl(
      {"echo-receive " + (dir / "got.nc") + " --until % --quiet 3000 --wrong-at 5" + kWait});
  auto station = SendOrdered();
  Expect(*station, "1 Status: Sending avbrutt");
  Expect(*station, "1 Melding: Klarer ikke \xC3\xA5 sende ut tegn");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_NE(control->WaitForLine("echo-receive: 5 bytes came, 5 kept"), "")
      << "no retry and nothing after the wrong echo";
  EXPECT_EQ(ReadFile(dir / "got.nc"), kOnLine.substr(0, 5));
  for (const std::string& l : station->Lines())
    EXPECT_EQ(l.find("Fil sendt"), std::string::npos) << l;
  Stop(*station);
}

TEST_F(Echo, AControlAsksForItsProgramWithItsFirstCharacter) {
  Configure("RCC=True\r\n");
  // The operator's send names the program; then the control asks for it.
  auto control = EchoControl({"echo-receive " + (dir / "first.nc") + " --until %" + kWait,
                              "echo-receive " + (dir / "asked.nc") + " --ask A --until %" + kWait});
  auto station = SendOrdered();
  Expect(*station, "1 Status: Sender Echo-data - 2");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "first.nc"), kOnLine);
  EXPECT_EQ(ReadFile(dir / "asked.nc"), kOnLine) << "the request is no reception";
  for (const std::string& l : station->Lines()) EXPECT_EQ(l.find("Mottar"), std::string::npos) << l;
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
