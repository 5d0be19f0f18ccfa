#include "protocols/okuma/okuma_requests.h"

#include <gtest/gtest.h>

namespace zova::okuma {
namespace {

TEST(OkumaRequests, WhichRequestATelegramIs) {
  struct Case {
    const char* telegram;
    OkumaRequest request;
  } cases[] = {
      {"PTCM", OkumaRequest::kStartup},
      {"LIPM*.MIN,0,10", OkumaRequest::kListDirectory},
      {"PTPMO1234", OkumaRequest::kSendProgram},
      {"MCPM", OkumaRequest::kNameSequence},
      {"PRPMO1234", OkumaRequest::kReceiveProgram},
      {"PTPP1234", OkumaRequest::kNone},
      {"PT", OkumaRequest::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyOkumaTelegram(c.telegram), c.request) << c.telegram;
}

TEST(OkumaRequests, ListRequestsAreReadWithoutTrustingThem) {
  struct Case {
    const char* telegram;
    const char* mask;
    size_t first;
    std::optional<size_t> last;
  } cases[] = {
      {"LIPM*.MIN,0,10", "*.MIN", 0, 10},
      {"LIPMO1234.MIN,3,3", "O1234.MIN", 3, 3},
      {"LIPM*.MIN", "*.MIN", 0, std::nullopt},
      {"LIPM*.MIN,5", "*.MIN", 5, std::nullopt},
      {"LIPM*.MIN,A,B", "*.MIN", 0, std::nullopt},
      {"LIPM*.MIN,-1,99999999999", "*.MIN", 0, std::nullopt},
      {"LIPM*.MIN, 2 ,7", "*.MIN", 2, 7},
      {"LIPM", "", 0, std::nullopt},
  };
  for (const Case& c : cases) {
    const ListRequest r = ParseListRequest(c.telegram);
    EXPECT_EQ(r.mask, c.mask) << c.telegram;
    EXPECT_EQ(r.first, c.first) << c.telegram;
    EXPECT_EQ(r.last, c.last) << c.telegram;
  }
  EXPECT_TRUE(ParseListRequest("LIPMO1.MIN,0,1").NamesOneFile());
  EXPECT_FALSE(ParseListRequest("LIPM*.MIN,0,1").NamesOneFile());
}

TEST(OkumaRequests, ListingLinesAndTheEntriesAskedFor) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 7;
  t.tm_min = 8;
  t.tm_sec = 9;
  EXPECT_EQ(ListingLine({"o1234.min", false, 1234, t}),
            "O1234.MIN     1234 2024.03.05 07:08:09 00");
  EXPECT_EQ(ListingLine({"Sub", true, 0, t}), "<Sub>        0 2024.03.05 07:08:09 00");
  EXPECT_EQ(ListingLine({"BIG", false, 12345678901ull, t}),
            "BIG12345678901 2024.03.05 07:08:09 00");

  const std::vector<std::string> lines{"A", "B", "C"};
  auto join = [&](const char* telegram) { return JoinListing(lines, ParseListRequest(telegram)); };
  EXPECT_EQ(join("LIPM*,0,1"), "A\nB\n");
  EXPECT_EQ(join("LIPM*,1,99"), "B\nC\n") << "the last number is cut to the listing";
  EXPECT_EQ(join("LIPM*"), "A\nB\nC\n");
  EXPECT_EQ(join("LIPM*,2,1"), "");
  EXPECT_EQ(join("LIPM*,7,9"), "");
  EXPECT_EQ(JoinListing({}, ParseListRequest("LIPM*,0,0")), "");
}

TEST(OkumaRequests, ReadinessChanges) {
  bool ncReady = false;
  ReadinessStep s = OnReadiness(false, ncReady, false);
  EXPECT_FALSE(s.changed);
  s = OnReadiness(true, ncReady, false);
  EXPECT_TRUE(s.changed && s.contact && ncReady);
  EXPECT_EQ(s.status, "NC klar for kommunikasjon");
  s = OnReadiness(false, ncReady, false);
  EXPECT_TRUE(s.changed && !s.contact && s.clearTegn);
  EXPECT_EQ(s.status, "NC inaktiv");
  s = OnReadiness(true, ncReady, true);
  EXPECT_FALSE(s.contact) << "with Reset the contact is made once at start";
}

}  // namespace
}  // namespace zova::okuma
