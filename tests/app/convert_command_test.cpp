#include "app/convert_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace zova {
namespace {

struct Captured {
  int code;
  std::string out, err;
};

std::string Drain(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  std::fclose(f);
  return s;
}

Captured RunCommand(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  int code = RunConvertCommand(args, out, err);
  return {code, Drain(out), Drain(err)};
}

TEST(ConvertCommand, WritesConversionOfMachineFormat) {
  test::ScopedIni ini("[Maskin1]\nFilFormat=FANUC\n[Maskin2]\n[Maskin3]\nFilFormat=OKUMA5000\n");
  std::string file = ini.Dir() / "P1.NC";
  test::WriteFile(file, "O1\nN1\n");
  auto r = RunCommand({"1", file});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, ":1\r\nN1\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(RunCommand({"2", file}).out, "O1\nN1\n");
  EXPECT_EQ(RunCommand({"3", file}).out, "O1\nN1\n");
}

TEST(ConvertCommand, SystemProgramsAreNotConverted) {
  test::ScopedIni ini("[Maskin1]\nFilFormat=FANUC\n");
  std::string file = ini.Dir() / "O1.SPR";
  test::WriteFile(file, "O1\n");
  EXPECT_EQ(RunCommand({"1", file}).out, "O1\n");
}

TEST(ConvertCommand, ErrorsGiveOneLineAndCode2) {
  test::ScopedIni ini("[Maskin1]\nFilFormat=NJ\n");
  std::string file = ini.Dir() / "P1.NC";
  test::WriteFile(file, "N1\n");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"1"}, {"0", file}, {"x", file}, {"101", file}, {"1", ini.Dir() / "NONE.NC"}}) {
    auto r = RunCommand(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

}  // namespace
}  // namespace zova
