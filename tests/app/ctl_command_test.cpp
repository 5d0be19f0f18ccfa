// `zova ctl` without a station: its words, the machine it means, and what it
// prints of the station's answers.

#include "app/ctl_command.h"

#include <gtest/gtest.h>

namespace zova::app {
namespace {

TEST(Ctl, WordsBecomeOrders) {
  struct Case {
    std::vector<std::string> words;
    bool ok;
    CtlPlan::Kind kind;
    const char* order;
    const char* body;
  } cases[] = {
      {{"status"}, true, CtlPlan::Kind::Status, "", ""},
      {{"watch"}, true, CtlPlan::Kind::Watch, "", ""},
      {{"send", "3"}, true, CtlPlan::Kind::Order, "send", "{}"},
      {{"send", "3", "O1.NC"}, true, CtlPlan::Kind::Order, "send", R"({"name":"O1.NC"})"},
      {{"fetch", "2", "O7"}, true, CtlPlan::Kind::Order, "fetch", R"({"name":"O7"})"},
      {{"command", "4", "STOPP ALLE"},
       true,
       CtlPlan::Kind::Order,
       "command",
       R"({"text":"STOPP ALLE"})"},
      {{"cancel", "1"}, true, CtlPlan::Kind::Order, "cancel", "{}"},
      {{"restart", "Fres"}, true, CtlPlan::Kind::Order, "restart", "{}"},
      {{"send", "1", "\xFF"}, true, CtlPlan::Kind::Order, "send", "{\"name\":\"\xEF\xBF\xBD\"}"},
      {{}, false, {}, "", ""},
      {{"status", "x"}, false, {}, "", ""},
      {{"send"}, false, {}, "", ""},
      {{"fetch", "2"}, false, {}, "", ""},
      {{"cancel", "1", "x"}, false, {}, "", ""},
      {{"format", "1"}, false, {}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words.empty() ? "(none)" : c.words[0]);
    std::string error;
    auto plan = PlanCtl(c.words, error);
    ASSERT_EQ(plan.has_value(), c.ok) << error;
    if (!c.ok) {
      EXPECT_EQ(error.rfind("bruk: zova ctl", 0), 0u);
      continue;
    }
    EXPECT_EQ(plan->kind, c.kind);
    EXPECT_EQ(plan->order, c.order);
    if (c.kind == CtlPlan::Kind::Order) {
      EXPECT_EQ(plan->body, c.body);
    }
  }
}

const char* kGrid = R"({"machines":[
  {"n":1,"cells":["FRES 1","O1.NC","Fil sendt","","12"]},
  {"n":2,"cells":["DREIEBENK \u00d8ST","","Kjører ikke","",""]}]})";

TEST(Ctl, MachinesByNumberOrName) {
  EXPECT_EQ(ResolveMachine(kGrid, "1"), 1);
  EXPECT_EQ(ResolveMachine(kGrid, "fres 1"), 1);
  EXPECT_EQ(ResolveMachine(kGrid, "Dreiebenk \xC3\xB8st"), 2) << "names in any case";
  EXPECT_EQ(ResolveMachine(kGrid, "3"), 0);
  EXPECT_EQ(ResolveMachine(kGrid, "01"), 0);
  EXPECT_EQ(ResolveMachine("not json", "1"), 0);
  EXPECT_EQ(FormatStatus(kGrid),
            "1 FRES 1 | O1.NC | Fil sendt |  | 12\n"
            "2 DREIEBENK \xC3\x98ST |  | Kj\xC3\xB8rer ikke |  | \n");
}

TEST(Ctl, WatchPrintsWholeEventsWhateverTheirPieces) {
  const std::string stream =
      "event: grid\ndata: "
      "{\"machines\":[{\"n\":1,\"cells\":[\"FRES\",\"\",\"Klar\",\"\",\"\"]}]}\n\n"
      ": keep-alive\n\n"
      "event: cell\ndata: {\"n\":1,\"col\":2,\"text\":\"Mottar data - 1\"}\n\n"
      "event: notice\ndata: {\"caption\":\"Linje\",\"text\":\"Brudd\"}\n\n"
      "event: cell\ndata: {broken\n\n";
  const std::string expected =
      "1 Maskin: FRES\n1 Filnavn: \n1 Status: Klar\n1 Melding: \n1 Tegn: \n"
      "1 Status: Mottar data - 1\nMelding [Linje] Brudd\n";
  for (size_t piece : {stream.size(), size_t{1}, size_t{7}}) {
    SCOPED_TRACE(piece);
    WatchPrinter printer;
    std::string out;
    for (size_t at = 0; at < stream.size(); at += piece)
      out += printer.Feed(stream.substr(at, piece));
    EXPECT_EQ(out, expected);
  }
}

}  // namespace
}  // namespace zova::app
