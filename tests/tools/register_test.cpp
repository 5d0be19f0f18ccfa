#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/clock.h"
#include "support/test_support.h"
#include "tools/real48.h"
#include "tools/register_file.h"

namespace zova {
namespace {

TEST(Real48, RoundTripsRangeOfValues) {
  const double values[] = {0,       1,     -1,     0.5,     123.4567, -150.2,
                           25.004,  1e-30, 1e30,   -6.0e-5, 99999.9,  0.001,
                           1.0 / 3, 3e-39, 1.7e38, -1.7e38, 4096.125};
  for (double v : values) {
    uint8_t b[6];
    ASSERT_TRUE(EncodeReal48(v, b)) << v;
    double back = DecodeReal48(b);
    EXPECT_NEAR(back, v, std::fabs(v) * 4e-12) << v;  // 39-bit mantissa
    uint8_t again[6];
    EncodeReal48(back, again);
    EXPECT_EQ(0, std::memcmp(b, again, 6)) << v;  // decode is exact
  }
}

TEST(Real48, KnownBytesAndSpecialCases) {
  uint8_t b[6];
  EncodeReal48(1.0, b);
  EXPECT_EQ(b[0], 129);
  for (int i = 1; i < 6; ++i) EXPECT_EQ(b[i], 0);
  EncodeReal48(-2.0, b);
  EXPECT_EQ(b[0], 130);
  EXPECT_EQ(b[5], 0x80);
  const uint8_t zeroExp[6] = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(DecodeReal48(zeroExp), 0.0);
  EXPECT_FALSE(EncodeReal48(NAN, b));
  EXPECT_FALSE(EncodeReal48(1e39, b));
  EXPECT_TRUE(EncodeReal48(1e-45, b));  // underflows to 0
  EXPECT_EQ(b[0], 0);
}

ToolRecord Tool(int no, double l, double r, bool flag = false) {
  ToolRecord t;
  t.ToolNo = no;
  t.Reals[kL] = l;
  t.Reals[kR] = r;
  t.Reals[kFlag] = flag ? 1 : 0;
  return t;
}

TEST(ToolRecord, EncodesBothKinds) {
  ToolRecord t = Tool(-7, 12.5, 3, true);
  ToolRecord back = DecodeTool(EncodeTool(t));
  EXPECT_EQ(back.ToolNo, -7);
  EXPECT_EQ(back.Reals, t.Reals);
  TurnRecord fresh;
  EXPECT_EQ(fresh.TipNo, 3);
  EXPECT_EQ(fresh.Station, 99);
  TurnRecord u;
  u.ToolNo = 4;
  u.X = 10.5;
  u.Z = -3.25;
  u.Hidden = 1;
  u.NoseRadius = 0.4;
  u.TipNo = 2;
  TurnRecord ub = DecodeTurn(EncodeTurn(u));
  EXPECT_EQ(ub.X, 10.5);
  EXPECT_EQ(ub.Z, -3.25);
  EXPECT_EQ(ub.Hidden, 1);
  EXPECT_NEAR(ub.NoseRadius, 0.4, 1e-12);
  EXPECT_EQ(ub.TipNo, 2);
}

std::string Image(const std::vector<ToolRecord>& tools) {
  std::string s;
  for (const auto& t : tools) {
    RawRecord r = EncodeTool(t);
    s.append(reinterpret_cast<const char*>(r.data()), r.size());
  }
  return s;
}

TEST(RegisterImage, RejectsDamageWithoutRepair) {
  EXPECT_EQ(CheckRegisterImage(Image({Tool(1, 1, 1), Tool(5, 2, 2)}), RecordKind::Tool), "");
  EXPECT_EQ(CheckRegisterImage("", RecordKind::Tool), "");
  EXPECT_NE(CheckRegisterImage(std::string(53, '\0'), RecordKind::Tool), "");
  EXPECT_NE(CheckRegisterImage(Image({Tool(5, 1, 1), Tool(1, 2, 2)}), RecordKind::Tool), "");
  EXPECT_NE(CheckRegisterImage(Image({Tool(5, 1, 1), Tool(5, 2, 2)}), RecordKind::Tool), "");
  std::string zeroExp = Image({Tool(1, 1, 1)});
  zeroExp[10] = 0;  // R's exponent: the value 0, whatever its other bytes
  zeroExp[11] = 7;
  EXPECT_EQ(CheckRegisterImage(zeroExp, RecordKind::Tool), "");
  EXPECT_EQ(DecodeTool(SplitRecords(zeroExp)[0]).R(), 0.0);
  std::string huge = Image({Tool(1, 1e20, 1)});
  EXPECT_NE(CheckRegisterImage(huge, RecordKind::Tool), "");
}

class RegisterFile : public ::testing::Test {
 protected:
  test::TempDir dir;
  ManualClock clock;
  ScopedClock scoped{clock};
  std::string name = dir / "VERK.REG";
};

TEST_F(RegisterFile, OpenCodes) {
  TToolRegister reg;
  EXPECT_EQ(reg.Open("", RegisterMode::Read), kRegNoName);
  EXPECT_EQ(reg.Open(name, RegisterMode::Read), kRegNotFound);
  EXPECT_EQ(reg.Open(dir / "no/such/dir/X.REG", RegisterMode::Write), kRegPathNotFound);
  EXPECT_EQ(reg.Open(name, RegisterMode::Write), kRegOk);  // created empty
  EXPECT_TRUE(test::Exists(name));
}

TEST_F(RegisterFile, StoreKeepsOrderAndFindUsesIt) {
  TToolRegister reg;
  ASSERT_EQ(reg.Open(name, RegisterMode::Write), kRegOk);
  for (int no : {7, 3, 12, 5, 1, 12}) ASSERT_TRUE(reg.Store(EncodeTool(Tool(no, no * 1.5, 1))));
  ASSERT_EQ(reg.Count(), 5);
  std::vector<int> order;
  RawRecord r{};
  for (bool ok = reg.ReadFirst(r); ok; ok = reg.ReadNext(r)) order.push_back(RawToolNo(r));
  EXPECT_EQ(order, (std::vector<int>{1, 3, 5, 7, 12}));
  EXPECT_EQ(reg.Find(12), 4);
  EXPECT_EQ(reg.Find(1), 0);
  EXPECT_EQ(reg.Find(5), 2);
  EXPECT_EQ(reg.Find(4), -1);
  EXPECT_EQ(reg.Find(99), -1);
  reg.Close();
  auto load = LoadRegister(name, RecordKind::Tool);
  ASSERT_TRUE(load.ok()) << load.error;
  EXPECT_EQ(DecodeTools(load.records)[3].L(), 10.5);
}

TEST_F(RegisterFile, LocksMatchShareModes) {
  TToolRegister writer, reader, second;
  ASSERT_EQ(writer.Open(name, RegisterMode::Write), kRegOk);
  int64_t before = clock.TickMs();
  EXPECT_EQ(reader.Open(name, RegisterMode::Read), kRegShared);
  EXPECT_GE(clock.TickMs() - before, 14000);  // retried about 15 s
  writer.Close();
  ASSERT_EQ(reader.Open(name, RegisterMode::Read), kRegOk);
  EXPECT_EQ(second.Open(name, RegisterMode::Read), kRegOk);  // readers share
  EXPECT_EQ(writer.Open(name, RegisterMode::Write), kRegShared);
}

TEST_F(RegisterFile, EmptiedRegisterIsDeletedAfterAReadingPass) {
  test::WriteFile(name, "");
  {
    TToolRegister reg;
    ASSERT_EQ(reg.Open(name, RegisterMode::Read), kRegOk);
    RawRecord r{};
    EXPECT_FALSE(reg.ReadFirst(r));
  }
  EXPECT_FALSE(test::Exists(name));
}

TEST_F(RegisterFile, DeleteWaitsForReaders) {
  EXPECT_TRUE(DeleteToolRegister(name));  // none there
  test::WriteFile(name, "");
  {
    TToolRegister reader;
    ASSERT_EQ(reader.Open(name, RegisterMode::Read), kRegOk);
    EXPECT_FALSE(DeleteToolRegister(name));
    EXPECT_TRUE(test::Exists(name));
  }
  EXPECT_TRUE(DeleteToolRegister(name));
  EXPECT_FALSE(test::Exists(name));
}

TEST_F(RegisterFile, DamagedRegisterIsReportedAndLeftAlone) {
  std::string bytes = Image({Tool(1, 1, 1)}) + "xyz";
  test::WriteFile(name, bytes);
  auto load = LoadRegister(name, RecordKind::Tool);
  EXPECT_FALSE(load.ok());
  EXPECT_NE(load.error, "");
  EXPECT_EQ(test::ReadFile(name), bytes);
}

}  // namespace
}  // namespace zova
