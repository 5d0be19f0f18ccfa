// LSV2 frames: any telegram without ETX or ETB comes back whole through the
// receiver, split into blocks or not, however its bytes are cut into runs;
// any bytes give the same decisions for any split and never crash.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocols/lsv2/lsv2_link.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/okuma/okuma_requests.h"

namespace {

using namespace zova::lsv2;

struct Outcome {
  std::string written, markers, unread, telegram;
  bool ok = false;
  bool operator==(const Outcome&) const = default;
};

Outcome Receive(std::string_view bytes, size_t chunk, bool enqSeen) {
  Receiver r(enqSeen);
  Outcome o;
  bool done = false;
  auto take = [&](const Receiver::Step& s) {
    o.written += s.write;
    o.markers += s.marker;
    if (s.unread) o.unread += s.unreadChar;
    done = s.done;
    o.ok = s.ok;
  };
  size_t pos = 0;
  while (!done && pos < bytes.size()) {
    const std::string_view run = bytes.substr(pos, chunk);
    size_t used = 0;
    take(r.Feed(run, used));
    if (used == 0) std::abort();
    pos += used;
  }
  // Silence from here on ends every receive.
  for (int i = 0; !done; ++i) {
    if (i > 64) std::abort();
    take(r.OnNothing());
  }
  o.telegram = r.Telegram();
  r.RetryNotice();
  return o;
}

// Names from a control never hold a control character and keep to the
// machine's maximum length.
void CheckName(const std::optional<std::string>& name, int maxLen) {
  if (!name) return;
  if (name->empty() || name->size() > static_cast<size_t>(maxLen)) std::abort();
  for (char ch : *name)
    if (static_cast<unsigned char>(ch) < 32) std::abort();
}

// The telegram's text as a control's request: nothing it holds crashes the
// name rules, the alarm filter or the Okuma listing request.
void CheckRequests(std::string_view telegram, int maxLen) {
  CheckName(OfferedFileName(telegram, maxLen), maxLen);
  CheckName(TdppFileName(telegram, maxLen), maxLen);
  CheckName(TestProgramFileName(telegram, maxLen), maxLen);
  if (const auto area = AreaRequestOf(telegram, maxLen)) CheckName(area->name, maxLen);
  NcProgramName(telegram, maxLen);
  ClassifyNcTelegram(telegram);
  const AlarmReport alarm = AlarmReportOf(telegram, "1001;X");
  if (alarm.alarmText && alarm.alarmText->size() > 30) std::abort();
  const auto list = zova::okuma::ParseListRequest(telegram);
  const std::vector<std::string> lines{"A", "B", "C"};
  if (zova::okuma::JoinListing(lines, list).size() > 6) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t chunk = 1 + data[0] % 13;
  const size_t maxText = data[1];
  const std::string_view in(reinterpret_cast<const char*>(data) + 2, size - 2);

  // Any bytes: the same decisions whole, byte by byte and in runs.
  for (bool enqSeen : {false, true}) {
    const Outcome whole = Receive(in, in.size() + 1, enqSeen);
    if (Receive(in, 1, enqSeen) != whole || Receive(in, chunk, enqSeen) != whole) std::abort();
  }

  CheckRequests(in, 1 + data[1] % 40);

  // Round trip: the input as a telegram.
  const Frames frames = EncodeTelegram(in, maxText);
  const bool endByte = in.find_first_of(std::string_view("\x03\x17", 2)) != std::string_view::npos;
  const bool cannotSplit = in.size() > maxText && maxText <= kCodeLength;
  if (frames.Ok() == (endByte || cannotSplit)) std::abort();
  if (!frames.Ok()) return 0;
  std::string wire(1, kEnq);
  std::string acks(kAck0);
  for (const std::string& f : frames.frames) {
    wire += f;
    acks += kAck1;
  }
  wire += kEot;
  const Outcome back = Receive(wire, chunk, false);
  if (!back.ok || back.telegram != in || back.written != acks || !back.markers.empty())
    std::abort();
  return 0;
}
