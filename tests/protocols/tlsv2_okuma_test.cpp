// The Okuma LSV2 driver on a loopback cable: the control's readiness on its
// modem lines (which a pseudo-terminal cannot show), the contact made with
// ENQ, and listings that must stay inside the machine directory.

#include "protocols/okuma/tlsv2_okuma.h"

#include "protocols/lsv2_driver_fixture.h"

namespace zova::test {
namespace {

class Driver : public TLSV2Okuma {
 public:
  using TLSV2Okuma::TLSV2Okuma;
  void OpenLine() { OpenTelegramPort(Port, PortOpen, Com); }
  using TLSV2Okuma::PollHook;
  using TLSV2Okuma::ResetNc;
};

using TLSV2OkumaTest = Lsv2DriverFixture<Driver>;

TEST_F(TLSV2OkumaTest, EachChangeToReadyContactsTheControlUnlessResetIsOn) {
  struct Step {
    bool up;
    const char* status;  // nullptr: no change shown
    bool contact;
  };
  const Step withoutReset[] = {{true, "NC klar for kommunikasjon", true},
                               {true, nullptr, false},
                               {false, "NC inaktiv", false},
                               {true, "NC klar for kommunikasjon", true}};
  const Step withReset[] = {{true, "NC klar for kommunikasjon", false},
                            {false, "NC inaktiv", false},
                            {true, "NC klar for kommunikasjon", false}};
  for (const bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "Reset" : "no Reset");
    Open(reset ? "Reset=True\n" : "");
    for (const Step& s :
         reset ? std::vector<Step>(std::begin(withReset), std::end(withReset))
               : std::vector<Step>(std::begin(withoutReset), std::end(withoutReset))) {
      control->SetRts(s.up);
      control->SetDtr(s.up);
      model.SetCell(kColStatus, 1, "");
      model.SetCell(kColTegn, 1, "77");
      if (s.contact) Control(kEot);
      d->PollHook();
      EXPECT_EQ(Cell(kColStatus), s.status ? s.status : "");
      EXPECT_EQ(Written(), s.contact ? kEnq : "");
      if (s.status && !s.contact) {
        EXPECT_EQ(Cell(kColTegn), "") << "the count of the last transfer goes";
      }
    }
  }
}

TEST_F(TLSV2OkumaTest, TheControlsEnqAnswersTheContactAndIsStillServed) {
  Open();
  Control(kEnq);
  bool ok = false;
  d->ResetNc(ok);
  EXPECT_TRUE(ok);
  char ch = 0;
  EXPECT_TRUE(d->AnswerEnq(true, ch));
  EXPECT_EQ(ch, '\x05');
  EXPECT_EQ(Written(), kEnq +
                           "\x10"
                           "0");
}

TEST_F(TLSV2OkumaTest, AControlThatNeverAnswersGetsEightEnqsSeventeenSecondsApart) {
  Open();
  const int64_t start = clock.TickMs();
  bool ok = true;
  d->ResetNc(ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Written(), std::string(8, '\x05'));
  EXPECT_GE(clock.TickMs() - start, 7 * 17000);
  EXPECT_LT(clock.TickMs() - start, 8 * 17000);
}

TEST_F(TLSV2OkumaTest, NothingOutsideTheMachineDirectoryIsListed) {
  Open();
  WriteFile(M() + "A.MIN", "A");
  WriteFile(dir / "SECRET.MIN", "S");
  struct Case {
    const char* request;
    std::string control;
    std::string written;
  } cases[] = {
      {"LIPM..\\SECRET.MIN,0,9", kTakes, kTakes + FromStation("M NP")},
      {"LIPM..\\*.MIN,0,9",
       kTakes + FromControl("T NB") + kTakes + FromControl("T NB") + kTakes + FromControl("M OK"),
       kTakes + FromStation("M RT") + kTakes + FromStation("DIPM") + kTakes + FromStation("T FD") +
           kTakes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    Control(FromControl(c.request) + c.control);
    d->ServeNc(false);
    EXPECT_EQ(Written(), c.written);
  }
}

}  // namespace
}  // namespace zova::test
