// The block form of a conversational programming system: where a reception
// ends, what of it is data, which name the data give, and the image the
// station sends.

#include "serial/variants/fapt_framer.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

using fapt::kBlockBytes;

struct Decoded {
  std::string data;
  FaptEnd end = FaptEnd::None;
  size_t used = 0, blocks = 0;
  std::string name;  // empty: none found
  bool operator==(const Decoded&) const = default;
};

void PrintTo(const Decoded& d, std::ostream* os) {
  *os << "{" << d.data.size() << " bytes, end " << static_cast<int>(d.end) << ", used " << d.used
      << ", blocks " << d.blocks << ", name \"" << d.name << "\"}";
}

// Stream (what follows the SOH) fed in runs of Chunk; the end of the stream
// is a quiet line.
Decoded Decode(std::string_view stream, size_t chunk, bool searchName = true,
               std::string_view marker = "MLL>MLL=") {
  FaptFramer f(marker, searchName);
  Decoded d;
  size_t pos = 0;
  while (!f.Ended()) {
    if (pos >= stream.size()) {
      f.Quiet();
      break;
    }
    const std::string_view run = stream.substr(pos, chunk);
    const size_t used = f.Feed(run, d.data);
    EXPECT_TRUE(used == run.size() || f.Ended()) << "a run is cut short only at the end";
    pos += used;
  }
  d.end = f.End();
  d.used = pos;
  d.blocks = f.Blocks();
  if (f.NameFound()) d.name = f.Name();
  return d;
}

std::string Padded(std::string data) {
  const size_t rest = data.size() % kBlockBytes;
  if (data.empty() || rest) data.append(kBlockBytes - rest, '\0');
  return data;
}

// Data in blocks with STX between them and BS after the last.
std::string Blocks(const std::string& data) {
  const std::string padded = Padded(data);
  std::string out;
  for (size_t i = 0; i < padded.size(); i += kBlockBytes) {
    if (i) out += '\x02';
    out += padded.substr(i, kBlockBytes);
  }
  return out + '\x08';
}

std::string Seven(std::string s) {
  for (char& c : s) c = static_cast<char>(c | 0x80);
  return s;
}

TEST(FaptFramer, DecidesTheTransmissionsOfAProgramSystem) {
  const std::string head = "(PART)\r\nMLL>MLL=O1234\r\nG0 X1\r\n";
  const std::string two = head + std::string(80, 'D');
  const std::string repeated = "MLL>MLL>MLL=P-1/2 REST";
  const std::string across = std::string(kBlockBytes - 4, 'x') + "MLL>MLL=AB/C\r\n";
  const std::string longName = "MLL>MLL=" + std::string(70, 'A') + ";";
  struct Case {
    const char* what;
    std::string stream;
    Decoded want;
  } cases[] = {
      {"one block, named after the marker",
       Blocks(head),
       {Padded(head), FaptEnd::Complete, kBlockBytes + 1, 1, "O1234"}},
      {"two blocks joined by STX",
       Blocks(two) + "\0\0\0",
       {Padded(two), FaptEnd::Complete, 2 * kBlockBytes + 2, 2, "O1234"}},
      {"a marker whose beginning repeats is still found",
       Blocks(repeated),
       {Padded(repeated), FaptEnd::Complete, kBlockBytes + 1, 1, "P-12"}},
      {"marker and name across a block border",
       Blocks(across),
       {Padded(across), FaptEnd::Complete, 2 * kBlockBytes + 2, 2, "ABC"}},
      {"the eighth bit is left out of the tests, not the data",
       Blocks(Seven("MLL>MLL=Q7") + " "),
       {Padded(Seven("MLL>MLL=Q7") + " "), FaptEnd::Complete, kBlockBytes + 1, 1, "Q7"}},
      {"an empty name: the next marker names the program",
       Blocks("MLL>MLL=.MLL>MLL=ABC "),
       {Padded("MLL>MLL=.MLL>MLL=ABC "), FaptEnd::Complete, kBlockBytes + 1, 1, "ABC"}},
      {"small letters end a name",
       Blocks("MLL>MLL=abc"),
       {Padded("MLL>MLL=abc"), FaptEnd::Complete, kBlockBytes + 1, 1, ""}},
      {"a long name is cut",
       Blocks(longName),
       {Padded(longName), FaptEnd::Complete, 2 * kBlockBytes + 2, 2, std::string(64, 'A')}},
      {"a name up to the last byte of whole data stands",
       Blocks(std::string(kBlockBytes - 10, '.') + "MLL>MLL=AB"),
       {std::string(kBlockBytes - 10, '.') + "MLL>MLL=AB", FaptEnd::Complete, kBlockBytes + 1, 1,
        "AB"}},
      {"no marker, no name",
       Blocks("G0 X1\r\n"),
       {Padded("G0 X1\r\n"), FaptEnd::Complete, kBlockBytes + 1, 1, ""}},
      {"a block followed by neither BS nor STX ends it; the rest is not taken",
       std::string(kBlockBytes, 'a') + "?" + std::string(kBlockBytes, 'b') + "\x08",
       {std::string(kBlockBytes, 'a'), FaptEnd::BadSeparator, kBlockBytes + 1, 1, ""}},
      {"a name the data broke off in is no name",
       std::string(kBlockBytes - 10, '.') + "MLL>MLL=AB" + "X",
       {std::string(kBlockBytes - 10, '.') + "MLL>MLL=AB", FaptEnd::BadSeparator, kBlockBytes + 1,
        1, ""}},
      {"a quiet line within a block",
       "MLL>MLL=O1 G0",
       {"MLL>MLL=O1 G0", FaptEnd::Quiet, 13, 0, "O1"}},
      {"a quiet line where the separator belongs",
       std::string(kBlockBytes, 'a'),
       {std::string(kBlockBytes, 'a'), FaptEnd::Quiet, kBlockBytes, 1, ""}},
      {"separators inside a block are data",
       Blocks("\x02\x08\x01"),
       {Padded("\x02\x08\x01"), FaptEnd::Complete, kBlockBytes + 1, 1, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (size_t chunk : {c.stream.size() + 1, size_t{1}, size_t{7}})
      EXPECT_EQ(Decode(c.stream, chunk), c.want) << "runs of " << chunk;
  }
}

TEST(FaptFramer, WithoutSearchingTheDataNameNothing) {
  const std::string stream = Blocks("MLL>MLL=O1234 ");
  EXPECT_EQ(Decode(stream, 5, false).name, "");
  EXPECT_EQ(Decode(stream, 5, true, "").name, "") << "an empty marker is no marker";
  EXPECT_EQ(Decode(Blocks("PROG:X1 "), 5, true, "PROG:").name, "X1") << "the marker is the key's";
}

TEST(FaptFramer, ReportsTheByteWhereTheSeparatorBelonged) {
  FaptFramer f("MLL>MLL=", true);
  std::string data;
  EXPECT_FALSE(f.AtSeparator());
  f.Feed(std::string(kBlockBytes, 'a'), data);
  EXPECT_TRUE(f.AtSeparator()) << "the separator is read on its own";
  f.Feed("\x1b", data);
  EXPECT_EQ(f.End(), FaptEnd::BadSeparator);
  EXPECT_EQ(f.BadByte(), '\x1b');
  EXPECT_FALSE(f.AtSeparator());
}

TEST(FaptImage, FramesAFileIntoBlocks) {
  const std::string pre = "\x12\x01";
  const std::string tail = std::string("\x08") + std::string(kBlockBytes, '\0');
  const std::string full(kBlockBytes, 'F');
  struct Case {
    const char* what;
    std::string data, want;
  } cases[] = {
      {"a short file is padded", "AB", pre + "AB" + std::string(kBlockBytes - 2, '\0') + tail},
      {"a whole block needs no padding and no STX", full, pre + full + tail},
      {"STX only when more follows", full + "G",
       pre + full + "\x02" + "G" + std::string(kBlockBytes - 1, '\0') + tail},
      {"an empty file is one NUL block", "", pre + std::string(kBlockBytes, '\0') + tail},
  };
  for (const Case& c : cases) EXPECT_EQ(FaptBlockImage(c.data), c.want) << c.what;
}

TEST(FaptImage, BuiltInPiecesIsTheSameAndDecodesBack) {
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>(i * 7);
  FaptImageBuilder b;
  std::string image = FaptImageBuilder::Begin();
  for (size_t i = 0; i < data.size(); i += 50) b.Add(std::string_view(data).substr(i, 50), image);
  image += b.Finish();
  EXPECT_EQ(image, FaptBlockImage(data));
  const Decoded d = Decode(std::string_view(image).substr(2), 13, false);
  EXPECT_EQ(d.end, FaptEnd::Complete);
  EXPECT_EQ(d.data, Padded(data));
  EXPECT_EQ(d.used, image.size() - 2 - kBlockBytes) << "the trailing NULs are not decided";
}

}  // namespace
}  // namespace zova
