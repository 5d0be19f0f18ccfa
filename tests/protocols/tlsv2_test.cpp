// The LSV2 driver's dialogues on a loopback cable, for what the simulated
// control of the end-to-end tests cannot do: check bytes that text settings
// of the port would swallow, a full report queue, offers that break off or
// carry no usable name.

#include "protocols/lsv2/tlsv2.h"

#include "protocols/lsv2_driver_fixture.h"

namespace zova::test {
namespace {

using namespace std::string_literals;

class Driver : public TLSV2 {
 public:
  using TLSV2::TLSV2;
  void OpenLine() { OpenTelegramPort(Port, PortOpen, Com); }
};

using TLSV2Test = Lsv2DriverFixture<Driver>;

// XOFF, XON and NUL as block checks ("P@", "R@", "C@") and in the text.
TEST_F(TLSV2Test, CheckBytesPassATextPortsSettings) {
  Open("",
       "Kode=EIA\nXonXoff=True\nFjernNull=True\nEOB=[CR]\nBuffer=True\nXOnTest=True\n"
       "Blokkvis=True\n");
  for (const std::string& text : {"P@"s, "R@"s, "C@"s, "A\x11\x13\x00\r\nB"s}) {
    SCOPED_TRACE(text);
    Control(FromControl(text));
    std::string got;
    EXPECT_TRUE(d->LsvReceive(got, false));
    EXPECT_EQ(got, text);
    EXPECT_EQ(Written(), kTakes);
    Control(kTakes);
    EXPECT_TRUE(d->LsvSend(text));
    EXPECT_EQ(Written(), FromStation(text));
  }
}

TEST_F(TLSV2Test, ReportsAreQueuedUntilTheQueueIsFull) {
  Open();
  std::string reports;
  for (int i = 0; i < 81; ++i) reports += FromControl("R ST I" + std::to_string(i));
  Control(reports + FromControl("M RR  "));
  std::string answer;
  EXPECT_TRUE(d->ReceiveAnswer(answer));
  EXPECT_EQ(answer, "M RR  ");
  EXPECT_EQ(d->Reports().Size(), 80u);
  EXPECT_EQ(Cell(kColMelding), "FEIL: Egenmeldingsk\xF8 er full");
  // First in, first out, and before the control's next telegram.
  Control(FromControl("R AL I9"));
  std::string next;
  EXPECT_TRUE(d->NextNcTelegram(next, false));
  EXPECT_EQ(next, "R ST I0");
  char ch = 0;
  EXPECT_TRUE(d->AnswerEnq(true, ch));
  EXPECT_TRUE(d->NextNcTelegram(next, true)) << "the control's ENQ goes first";
  EXPECT_EQ(next, "R AL I9");
}

TEST_F(TLSV2Test, AnOfferIsStoredOnlyWhenItCameWhole) {
  const std::string old = "O7 (GAMMEL)\r\nM30\r\n";
  struct Case {
    const char* what;
    std::string control;
    bool ok;
    std::string stored;
    std::string melding;
  } cases[] = {
      {"whole", FromControl("R PPO7\r\n") + kTakes + FromControl("T FD") + kTakes, true, "O7\r\n",
       ""},
      {"broken off by a foreign telegram", FromControl("R PPO7\r\n") + kTakes + FromControl("M NR"),
       false, old, "Ukjent telegram: M NR"},
      {"broken off by silence", FromControl("R PPO7\r\n") + kTakes, false, old, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open();
    WriteFile(M() + "O7.NC", old);
    Control(FromControl("PRPPO7") + kTakes + c.control);
    EXPECT_EQ(d->ServeNc(false), c.ok);
    EXPECT_EQ(ReadFile(M() + "O7.NC"), c.stored);
    if (!c.melding.empty()) {
      EXPECT_EQ(Cell(kColMelding), c.melding);
    }
  }
}

TEST_F(TLSV2Test, AnOfferWithoutAUsableNameIsRefused) {
  for (const std::string& offer : {"PRPP"s, "PRPP\r\n"s, "PRPP..\\..\\ETC"s}) {
    SCOPED_TRACE(offer);
    Open();
    Control(FromControl(offer) + kTakes);
    EXPECT_FALSE(d->ServeNc(false));
    EXPECT_EQ(Written(), kTakes + FromStation("M NR"));
  }
  EXPECT_FALSE(Exists(dir / "ETC.NC"));
}

TEST_F(TLSV2Test, AnAlarmLeftByTheFilterIsTheMachinesAlarmText) {
  struct Case {
    const char* report;
    const char* melding;
    const char* alarmText;  // handed back to the window
  } cases[] = {
      {"R AL I1001\n2002", "\rAlarm sendt: 1001;", "1001;"},
      {"R AL I2002;2003", "Alarm mottatt: 2002;2003", ""},
      {"R AL I", "Ingen aktive alarmer", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    Open("AlarmFilter=2002;2003\n");
    model.Request(1).ResultName.clear();
    Control(FromControl(c.report));
    EXPECT_TRUE(d->ServeNc(false));
    EXPECT_EQ(Cell(kColMelding), c.melding);
    EXPECT_EQ(model.Request(1).ResultName, c.alarmText);
  }
}

TEST_F(TLSV2Test, BlocksOfTheSentProgramStayBelowBlockSize) {
  Open("BlockSize=20\nStatus=False\n");
  WriteFile(M() + "P.NC", "N1 G0 X1\r\nN2 G0 X2\r\nN3 X3\r\nN4 G1 X1000 Y2000 Z3000\r\nN5\r\n");
  model.SetCell(kColFilnavn, 1, "P.NC");
  std::string answers = kTakes + FromControl("M RR  ");  // PRPP
  for (int i = 0; i < 4; ++i) answers += kTakes + FromControl("T NB");
  Control(answers + kTakes);
  EXPECT_TRUE(d->SendProgram());
  EXPECT_EQ(Written(), FromStation("PRPPP\r\n") + kTakes + FromStation("R PPN1 G0 X1\r\n") +
                           kTakes + FromStation("R PPN2 G0 X2\r\nN3 X3\r\n") + kTakes +
                           FromStation("R PPN4 G1 X1000 Y2000 Z3000\r\n") + kTakes +
                           FromStation("R PPN5\r\n") + kTakes + FromStation("T FD"));
}

}  // namespace
}  // namespace zova::test
