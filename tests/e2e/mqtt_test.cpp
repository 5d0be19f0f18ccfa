// Machine states published to a real broker (Debian's mosquitto on
// 127.0.0.1) and read with mosquitto_sub: the station's records arrive in
// order, and records made while the broker was down arrive, in order, once
// it is back.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include <nlohmann/json.hpp>

#include "core/driver/status_record_sink.h"
#include "e2e/support/station_fixture.h"
#include "statuslog/mqtt/state_publisher.h"
#include "support/mosquitto_broker.h"

namespace zova::test {
namespace {

#define SKIP_WITHOUT_MOSQUITTO()                                                       \
  if (!MosquittoBroker::Available() || !MosquittoBroker::ClientsAvailable())           \
  GTEST_SKIP() << "mosquitto or mosquitto_sub is not installed (scripts/install-deps " \
                  "installs the mosquitto and mosquitto-clients packages)"

// A subscriber to Prefix/# printing "topic payload" lines; Persistent keeps
// its session (and what the broker queues for it) across broker restarts.
std::unique_ptr<Process> Subscriber(const MosquittoBroker& broker, bool persistent) {
  std::vector<std::string> argv{"/usr/bin/mosquitto_sub",
                                "-h",
                                "127.0.0.1",
                                "-p",
                                std::to_string(broker.Port()),
                                "-q",
                                "1",
                                "-t",
                                "zova/#",
                                "-v"};
  if (persistent) argv.insert(argv.end(), {"-c", "-i", "zova-test-sub"});
  return std::make_unique<Process>(argv);
}

// The payloads of Topic that Sub printed, parsed.
std::vector<nlohmann::json> Messages(Process& sub, const std::string& topic) {
  std::vector<nlohmann::json> out;
  for (const std::string& l : sub.Lines())
    if (l.rfind(topic + " ", 0) == 0)
      out.push_back(nlohmann::json::parse(l.substr(topic.size() + 1)));
  return out;
}

// Waits until Sub printed a payload holding Text.
bool SubSaw(Process& sub, const std::string& text, int timeoutMs = 30000) {
  return !sub.WaitForLine(text, timeoutMs).empty();
}

struct MqttStation : StationFixture {};

TEST_F(MqttStation, TheStationsRecordsReachMosquittoSubInOrder) {
  SKIP_WITHOUT_MOSQUITTO();
  MosquittoBroker broker(dir.Path());
  ASSERT_TRUE(broker.Start()) << ReadFile(dir / "mosquitto.log");
  auto sub = Subscriber(broker, false);
  // Machine 2 is a logging box watching machine 1.
  std::string ini = WriteIni(2, "", "", OwnWebPort() + "MqttServer=" + broker.Server() + "\r\n");
  std::string text = ReadFile(ini);
  const std::string box = "[Maskin2]\r\nNavn=Fres 2\r\nProtokoll=STANDARD\r\n";
  text.replace(text.find(box), box.size(),
               "[Maskin2]\r\nNavn=Loggeboks\r\nProtokoll=LOGGEBOKS\r\nMaskin=1\r\nBit0,1=10\r\n"
               "ParameterBit0,1=EN\r\nBit1,1=11\r\nParameterBit1,1=TO\r\nBit2,1=12\r\n"
               "ParameterBit2,1=TRE\r\n");
  const std::string first = "Protokoll=STANDARD\r\nPort=COM1";
  text.replace(text.find(first), first.size(), "Protokoll=INGEN");
  WriteFile(ini, text);
  auto control =
      Control(2,
              {"wait-open --timeout 30000", "box-serve 2000 --word 0000",
               "wait-file " + (dir / "go") + " --timeout 30000", "box-set 0001 --serve 200",
               "box-set 0003 --serve 200", "box-set 0007 --serve 2000"},
              "box");
  auto station = Station(ini);
  Expect(*station, "2 Status: Loggedata lest");
  // The box's Status reaches the subscriber: it is listening.
  ASSERT_TRUE(SubSaw(*sub, "zova/Maskin2 ")) << sub->Stderr();
  WriteFile(dir / "go", "");
  ASSERT_TRUE(SubSaw(*sub, "\"text\":\"TRE\"")) << sub->Stderr();
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Stop(*station);
  ASSERT_TRUE(SubSaw(*sub, "\"code\":200"));
  std::vector<std::pair<int, std::string>> records;
  uint64_t lastSeq = 0;
  for (const nlohmann::json& m : Messages(*sub, "zova/Maskin1")) {
    EXPECT_EQ(m["machine"], 1);
    EXPECT_GT(m["seq"].get<uint64_t>(), lastSeq) << "in the order they were made";
    lastSeq = m["seq"].get<uint64_t>();
    if (m["event"] == "record")
      records.emplace_back(m["record"]["code"].get<int>(), m["record"]["text"].get<std::string>());
  }
  EXPECT_EQ(records, (std::vector<std::pair<int, std::string>>{
                         {10, "EN"}, {11, "TO"}, {12, "TRE"}, {200, ""}}));
  const auto box2 = Messages(*sub, "zova/Maskin2");
  ASSERT_FALSE(box2.empty());
  EXPECT_EQ(box2.front()["name"], "Loggeboks");
  EXPECT_EQ(box2.front()["event"], "status");
  sub->Signal(SIGTERM);
}

TEST(MqttStates, RecordsWaitForABrokerThatWasStoppedAndArriveInOrder) {
  SKIP_WITHOUT_MOSQUITTO();
  TempDir dir;
  MosquittoBroker broker(dir.Path());
  ASSERT_TRUE(broker.Start()) << ReadFile(dir / "mosquitto.log");
  // The subscriber's session outlives the broker's restart, as a shop's
  // production system's does.
  auto sub = Subscriber(broker, true);
  ScopedIni ini("[Maskin1]\r\nNavn=Fres 1\r\n[Maskin2]\r\nNavn=Fres 2\r\n");
  StationModel model(2);
  mqtt::MqttSettings settings;
  settings.Host = "127.0.0.1";
  settings.Port = broker.Port();
  auto publisher = std::make_unique<mqtt::StatePublisher>(model, settings);
  const auto record = [](int n) {
    StatusRecordEvent e;
    e.Machine = 1;
    e.Code = 10;
    e.Text = "R" + std::to_string(n);
    e.Stored = true;
    e.Time = std::chrono::system_clock::now();
    NotifyStatusRecord(e);
  };
  // Until the subscriber is listening, its probes are lost; then it hears.
  for (int i = 0; i < 300 && sub->WaitForLine("\"status\":\"probe", 100).empty(); ++i)
    model.SetCell(kColStatus, 2, "probe " + std::to_string(i));
  ASSERT_FALSE(sub->Lines().empty()) << sub->Stderr();
  for (int n = 1; n <= 5; ++n) record(n);
  ASSERT_TRUE(SubSaw(*sub, "\"text\":\"R5\""));

  broker.Stop();
  const auto stopped = std::chrono::steady_clock::now();
  for (int n = 6; n <= 205; ++n) record(n);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1))
      << "a broker that is away holds nobody up";
  EXPECT_GE(publisher->Stats().Queued, 200u);
  ASSERT_TRUE(broker.Start()) << ReadFile(dir / "mosquitto.log");
  ASSERT_TRUE(SubSaw(*sub, "\"text\":\"R205\"", 60000)) << sub->Stderr();
  const auto stats = publisher->Stats();
  EXPECT_EQ(stats.Dropped, 0u);
  EXPECT_GE(stats.Connects, 2u);

  // Every record, in order. QoS 1 is at least once: what was in flight when
  // the broker went may come again after it returned, but nothing comes
  // before a record ahead of it, and nothing is missing.
  std::vector<int> seen;
  int highest = 0;
  for (const nlohmann::json& m : Messages(*sub, "zova/Maskin1")) {
    const int n = std::stoi(m["record"]["text"].get<std::string>().substr(1));
    EXPECT_LE(n, highest + 1) << "no record overtakes one before it";
    if (n > highest) seen.push_back(highest = n);
  }
  std::vector<int> want;
  for (int n = 1; n <= 205; ++n) want.push_back(n);
  EXPECT_EQ(seen, want);
  publisher.reset();
  sub->Signal(SIGTERM);
}

TEST(MqttStates, ABrokerThatIsNotThereCostsThePublisherNothing) {
  // No broker at all: records are queued, the overflow is counted, and the
  // station's end does not wait for a broker that never came.
  ScopedIni ini("[Maskin1]\r\nNavn=Fres 1\r\n");
  StationModel model(1);
  mqtt::MqttSettings settings;
  settings.Host = "127.0.0.1";
  settings.Port = 9;  // discard: nothing listens
  settings.QueueLimit = 1000;
  const auto start = std::chrono::steady_clock::now();
  {
    mqtt::StatePublisher publisher(model, settings);
    StatusRecordEvent e;
    e.Machine = 1;
    for (int n = 0; n < 5000; ++n) NotifyStatusRecord(e);
    const auto stats = publisher.Stats();
    EXPECT_EQ(stats.Dropped, 4000u);
    EXPECT_EQ(stats.Queued, 1000u);
    EXPECT_FALSE(stats.Connected);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace zova::test
