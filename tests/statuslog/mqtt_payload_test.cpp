// What is published for a machine, and the queue that keeps it while the
// broker is away.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/latin1.h"
#include "statuslog/mqtt/mqtt_settings.h"
#include "statuslog/mqtt/publish_queue.h"
#include "statuslog/mqtt/state_payload.h"
#include "support/test_support.h"

namespace zova::mqtt {
namespace {

TEST(StatePayload, TheWholeLastStateAsJson) {
  MachineState s;
  s.Machine = 7;
  s.Name = "Fres \xF8st";  // Latin-1 "Fres øst"
  s.Status = "Kj\xF8rer kommunikasjon";
  EXPECT_EQ(StatePayload(s, StateEvent::Status, 3),
            "{\"machine\":7,\"name\":\"Fres \xC3\xB8st\",\"event\":\"status\",\"seq\":3,"
            "\"status\":\"Kj\xC3\xB8rer kommunikasjon\",\"record\":null}");
  s.HasRecord = true;
  s.Record.Machine = 7;
  s.Record.Code = 10;
  s.Record.Text = "START \"A\"";
  s.Record.Stored = true;
  s.Record.Time = WallTime{} + std::chrono::milliseconds(1714644900250);
  const auto j = nlohmann::json::parse(StatePayload(s, StateEvent::Record, 4));
  EXPECT_EQ(j["event"], "record");
  EXPECT_EQ(j["seq"], 4);
  EXPECT_EQ(j["record"]["code"], 10);
  EXPECT_EQ(j["record"]["text"], "START \"A\"");
  EXPECT_EQ(j["record"]["stored"], true);
  EXPECT_EQ(j["record"]["time"], IsoTime(s.Record.Time));
}

TEST(StatePayload, AnyTextOfAMachineIsValidJson) {
  // Texts come from controls and configuration files: anything Latin-1.
  const std::string texts[] = {
      "",
      "\"quoted\" and \\back\\",
      std::string("NUL\0 in", 8),
      "\x01\x1F\b\f\n\r\t\x7F",
      "\xE6\xF8\xE5 \xC6\xD8\xC5 \xFF",
      "</script>{}[],:",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    MachineState s;
    s.Machine = 2;
    s.Name = text;
    s.Status = text;
    s.HasRecord = true;
    s.Record.Text = text;
    const auto j = nlohmann::json::parse(StatePayload(s, StateEvent::Record, 1));
    EXPECT_EQ(j["name"], Latin1ToUtf8(text));
    EXPECT_EQ(j["status"], Latin1ToUtf8(text));
    EXPECT_EQ(j["record"]["text"], Latin1ToUtf8(text));
    EXPECT_EQ(j["record"]["stored"], false);
  }
}

TEST(StatePayload, TopicsAndTimes) {
  EXPECT_EQ(StateTopic("zova", 7), "zova/Maskin7");
  EXPECT_EQ(StateTopic("fabrikk/hall2", 12), "fabrikk/hall2/Maskin12");
  const std::string t = IsoTime(WallTime{} + std::chrono::milliseconds(1714644900250));
  ASSERT_EQ(t.size(), 29u) << t;  // 2024-05-02T10:15:00.250+02:00
  EXPECT_EQ(t.substr(19, 4), ".250");
  EXPECT_EQ(t[26], ':');
  EXPECT_TRUE(t[23] == '+' || t[23] == '-');
}

TEST(MqttSettings, ServerValues) {
  const struct {
    const char* value;
    bool ok;
    const char* host;
    int port;
  } cases[] = {
      {"127.0.0.1:1884", true, "127.0.0.1", 1884},
      {"broker.local", true, "broker.local", 1883},
      {" broker:1883 ", true, "broker", 1883},
      {"[::1]:1885", true, "::1", 1885},
      {"::1", true, "::1", 1883},
      {"", false, "", 1883},
      {":1883", false, "", 1883},
      {"host:0", false, "host", 1883},
      {"host:65536", false, "host", 1883},
      {"host:abc", false, "host", 1883},
      {"[::1", false, "", 1883},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    std::string host;
    int port = 0;
    EXPECT_EQ(ParseServer(c.value, host, port), c.ok);
    if (c.ok) {
      EXPECT_EQ(host, c.host);
      EXPECT_EQ(port, c.port);
    }
  }
}

TEST(MqttSettings, FromProgramSection) {
  {
    test::ScopedIni ini("[Program]\r\nMqttServer=10.1.2.3:1884\r\nMqttEmne=hall2/\r\n");
    const MqttSettings s = ReadMqttSettings();
    EXPECT_TRUE(s.Enabled());
    EXPECT_EQ(s.Host, "10.1.2.3");
    EXPECT_EQ(s.Port, 1884);
    EXPECT_EQ(s.Prefix, "hall2");
  }
  {
    test::ScopedIni ini("[Program]\r\nMaskiner=1\r\n");
    const MqttSettings s = ReadMqttSettings();
    EXPECT_FALSE(s.Enabled());
    EXPECT_EQ(s.Prefix, "zova");
  }
  {
    test::ScopedIni ini("[Program]\r\nMqttServer=host:99999\r\n");
    EXPECT_FALSE(ReadMqttSettings().Enabled()) << "an unusable server publishes nothing";
  }
}

std::vector<std::string> Payloads(const PublishQueue& q) {
  std::vector<std::string> out;
  PublishQueue copy = q;
  while (const QueuedMessage* m = copy.NextToSend()) {
    out.push_back(m->Payload);
    copy.MarkSent(0);
  }
  return out;
}

TEST(PublishQueue, InOrderAndAgainAfterALostConnection) {
  PublishQueue q(10);
  for (const char* p : {"a", "b", "c", "d"}) q.Push("t", p);
  q.MarkSent(1);
  q.MarkSent(2);
  q.MarkSent(3);
  EXPECT_EQ(q.InFlight(), 3u);
  EXPECT_EQ(q.NextToSend()->Payload, "d");
  EXPECT_TRUE(q.Acked(1));
  EXPECT_EQ(q.Delivered(), 1u);
  EXPECT_TRUE(q.Acked(3)) << "out of order: kept until the one before is acknowledged";
  EXPECT_EQ(q.Size(), 3u);
  EXPECT_FALSE(q.Acked(9));
  q.ConnectionLost();
  EXPECT_EQ(q.InFlight(), 0u);
  EXPECT_EQ(q.Delivered(), 2u);
  EXPECT_EQ(Payloads(q), (std::vector<std::string>{"b", "d"}))
      << "what the broker did not acknowledge goes again, first";
}

TEST(PublishQueue, AFullQueueGivesUpItsOldestWaitingMessage) {
  PublishQueue q(3);
  q.Push("t", "1");
  q.MarkSent(1);
  EXPECT_TRUE(q.Push("t", "2"));
  EXPECT_TRUE(q.Push("t", "3"));
  EXPECT_FALSE(q.Push("t", "4"));
  EXPECT_EQ(q.Dropped(), 1u);
  EXPECT_EQ(q.Size(), 3u);
  EXPECT_EQ(Payloads(q), (std::vector<std::string>{"3", "4"}))
      << "the one in flight stays; the newest state is kept";
  q.MarkSent(2);
  q.MarkSent(3);
  EXPECT_FALSE(q.Push("t", "5")) << "all in flight: the new one is given up";
  EXPECT_EQ(q.Dropped(), 2u);
  EXPECT_EQ(q.Size(), 3u);
}

}  // namespace
}  // namespace zova::mqtt
