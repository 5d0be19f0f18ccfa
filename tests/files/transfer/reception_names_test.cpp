#include "files/transfer/reception_names.h"

#include <gtest/gtest.h>

#include "files/transfer/listing_files.h"

namespace zova {
namespace {

TEST(ReceptionNames, ControlNamesAndExtensions) {
  CharSet slash;
  slash.set('/');
  EXPECT_EQ(StationNameFromControl("SUB/P1", slash, false), "SUB\\P1");
  EXPECT_EQ(StationNameFromControl("SUB/P1", slash, true), "..\\SUB\\P1");
  EXPECT_EQ(StationNameFromControl("P1", slash, true), "P1");
  EXPECT_EQ(WithDefaultExt("P1", ".NC"), "P1.NC");
  EXPECT_EQ(WithDefaultExt("P1.MPF", ".NC"), "P1.MPF");
  EXPECT_EQ(WithDefaultExt("A.B\\P1", ".NC"), "A.B\\P1.NC");
}

TEST(ReceptionNames, LeadingParentsClimbFromTheDirectory) {
  EXPECT_EQ(ResolveLeadingParents("..\\X\\P1", "/D/M1/"), "/D/X\\P1");
  EXPECT_EQ(ResolveLeadingParents("../../P1", "/D/M1/X/"), "/D/P1");
  EXPECT_EQ(ResolveLeadingParents("P1", "/D/M1/"), "/D/M1/P1");
}

TEST(ReceptionNames, DirectoryMasks) {
  const struct {
    const char *name, *mask;
  } cases[] = {
      {"0000", "*.NC"},           {"", "*.NC"},
      {"P1", "P1*.NC"},           {"P1.H", "P1*.H"},
      {"SUB\\0000", "SUB\\*.NC"}, {"A.B\\P", "A.B\\P*.NC"},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryMask(c.name, ".NC"), c.mask) << c.name;
  EXPECT_EQ(DirectoryMask("P1", ""), "P1*.*");
}

TEST(ReceptionNames, ReceiptReplacesTheFirstOfEach) {
  EXPECT_EQ(ReceiptText("#N #B #N #B", "P1", 42), "P1 42 #N #B");
  EXPECT_EQ(ReceiptText("#B-#N", "P1", 7), "7-P1");
  // A name holding a marker is not searched again.
  EXPECT_EQ(ReceiptText("#N;#B", "X#B", 3), "X#B;3");
  EXPECT_EQ(ReceiptText("OK", "P1", 3), "OK");
}

TEST(ReceptionNames, BlanksOutsideComments) {
  EXPECT_EQ(RemoveBlanksOutsideComments("G1 X1 (A B) Y2"), "G1X1(A B)Y2");
  EXPECT_EQ(RemoveBlanksOutsideComments("(A (B) C) D"), "(A (B) C)D");
  EXPECT_EQ(RemoveBlanksOutsideComments(") A"), ")A");
}

TEST(ArticleIndex, ParsedRecordsFillTheColumns) {
  auto index = ParseArticleIndex("p1.nc;ART-1;Flens\r\nbinary\x01garbage\nP2.NC;;\n;X;Y\n");
  ASSERT_EQ(index.size(), 2u);
  std::vector<ListingEntry> entries(3);
  entries[0].name = "P1.NC";
  entries[1].name = "P2.NC";
  entries[2].name = "P3.NC";
  ApplyArticleIndex(entries, index);
  EXPECT_EQ(entries[0].article, "ART-1");
  EXPECT_EQ(entries[0].description, "Flens");
  EXPECT_EQ(entries[1].article, "");
  EXPECT_EQ(entries[2].description, "");
}

TEST(ArticleIndex, RecordEnteredInPlaceOrAtTheEnd) {
  const std::string index = "p1.nc;ART-1;Flens\r\nbinary\x01garbage\nP2.NC;;\n";
  EXPECT_EQ(WithArticleRecord(index, "P1.NC", {"", "AKSEL"}),
            "P1.NC;;AKSEL\r\nbinary\x01garbage\nP2.NC;;\n");
  EXPECT_EQ(WithArticleRecord(index, "0030.MAZ", {"", "A;B\r"}), index + "0030.MAZ;;A B \r\n");
  EXPECT_EQ(WithArticleRecord("P2.NC;;", "P3.NC", {"X", "Y"}), "P2.NC;;\r\nP3.NC;X;Y\r\n");
  EXPECT_EQ(WithArticleRecord("", "P3.NC", {"", "Y"}), "P3.NC;;Y\r\n");
  const auto back = ParseArticleIndex(WithArticleRecord(index, "P1.NC", {"", "AKSEL"}));
  EXPECT_EQ(back.at("P1.NC").description, "AKSEL");
  EXPECT_EQ(back.at("P2.NC").description, "");
}

}  // namespace
}  // namespace zova
