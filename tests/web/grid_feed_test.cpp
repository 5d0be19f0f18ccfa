// The web interface's copy of the grid: what a watcher is told, and that a
// watcher that does not read costs only the latest state.

#include "web/grid_feed.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/latin1.h"

namespace zova::web {
namespace {

std::vector<MachineKind> Kinds(int n) {
  return std::vector<MachineKind>(static_cast<size_t>(n) + 1, MachineKind{true, false, false});
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(GridFeed, AWatcherGetsThePictureFirstThenWhatChanged) {
  StationModel model(2);
  model.SetCell(kColStatus, 1, L1("Kjører kommunikasjon"));
  GridFeed feed(model, Kinds(2));
  auto w = feed.Subscribe();
  ASSERT_TRUE(w);
  std::string events;
  ASSERT_TRUE(feed.Next(*w, 0, events));
  EXPECT_EQ(events.rfind("event: grid\n", 0), 0u);
  EXPECT_NE(events.find("\"Kj\xC3\xB8rer kommunikasjon\""), std::string::npos) << events;

  model.SetCell(kColStatus, 2, L1("Mottar data - 1"));
  model.SetCellObject(0, 2, 3);
  model.SetActiveLabel("Aktiv: Fres");
  ASSERT_TRUE(feed.Next(*w, 0, events));
  EXPECT_NE(events.find(R"(event: cell
data: {"col":2,"n":2,"text":"Mottar data - 1"})"),
            std::string::npos)
      << events;
  EXPECT_NE(events.find(R"(data: {"n":2,"state":3})"), std::string::npos) << events;
  EXPECT_NE(events.find("event: active"), std::string::npos);
  ASSERT_TRUE(feed.Next(*w, 0, events));
  EXPECT_EQ(events, "") << "nothing new";
}

TEST(GridFeed, AWatcherThatDoesNotReadGetsOnlyTheLatestState) {
  StationModel model(1);
  GridFeed feed(model, Kinds(1));
  auto w = feed.Subscribe();
  std::string events;
  feed.Next(*w, 0, events);
  for (int i = 0; i < 10000; ++i) model.SetCell(kColTegn, 1, std::to_string(i));
  ASSERT_TRUE(feed.Next(*w, 0, events));
  EXPECT_EQ(Count(events, "event: cell"), 1u);
  EXPECT_NE(events.find(R"("text":"9999")"), std::string::npos) << events;
}

TEST(GridFeed, NoticesAreKeptAndToldOnce) {
  StationModel model(1);
  GridFeed feed(model, Kinds(1));
  auto w = feed.Subscribe();
  std::string events;
  feed.Next(*w, 0, events);
  for (int i = 0; i < 60; ++i) feed.AddNotice("Linje", "feil " + std::to_string(i));
  ASSERT_TRUE(feed.Next(*w, 0, events));
  EXPECT_EQ(Count(events, "event: notice"), GridFeed::kKeptNotices);
  EXPECT_NE(events.find("feil 59"), std::string::npos);
  EXPECT_EQ(Count(feed.NoticesJson(), "caption"), GridFeed::kKeptNotices);
  feed.Next(*w, 0, events);
  EXPECT_EQ(events, "");
}

TEST(GridFeed, WatchersAreLimitedAndWokenWhenTheFeedCloses) {
  StationModel model(1);
  GridFeed feed(model, Kinds(1));
  std::vector<std::shared_ptr<GridFeed::Watcher>> all;
  for (size_t i = 0; i < GridFeed::kMaxWatchers; ++i) all.push_back(feed.Subscribe());
  EXPECT_FALSE(feed.Subscribe()) << "one too many";
  feed.Unsubscribe(all.back());
  EXPECT_TRUE(feed.Subscribe());
  std::string events;
  feed.Next(*all[0], 0, events);
  std::thread closer([&] { feed.Close(); });
  EXPECT_FALSE(feed.Next(*all[0], 10000, events)) << "a closed feed ends the wait";
  closer.join();
}

TEST(GridFeed, ConsoleLinesFollowTheModel) {
  StationModel model(1);
  GridFeed feed(model, Kinds(1));
  auto w = feed.Subscribe();
  std::string events;
  feed.Next(*w, 0, events);
  model.Console().Hold(1, false, true);
  model.Console().AddText(1, false, "G0 X1", true);
  ASSERT_TRUE(feed.Next(*w, 0, events));
  EXPECT_NE(events.find("event: console"), std::string::npos) << events;
  EXPECT_NE(feed.SnapshotJson().find("G0 X1"), std::string::npos);
}

}  // namespace
}  // namespace zova::web
