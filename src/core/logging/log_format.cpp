#include "core/logging/log_format.h"

#include <cstdio>
#include <ctime>

#include "core/latin1.h"
#include "core/numformat.h"
#include "core/visual.h"

namespace zova {

std::tm LocalTm(std::time_t secs) {
  thread_local std::time_t last = 0;
  thread_local std::tm tm{};
  thread_local bool known = false;
  if (!known || secs != last) {
    localtime_r(&secs, &tm);
    last = secs;
    known = true;
  }
  return tm;
}

namespace {

struct LocalTime {
  std::tm tm{};
  int ms = 0;
};

LocalTime ToLocal(WallTime t) {
  LocalTime r;
  auto since = t.time_since_epoch();
  auto secs = std::chrono::duration_cast<std::chrono::seconds>(since);
  r.ms =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(since - secs).count());
  if (r.ms < 0) r.ms += 1000;
  r.tm = LocalTm(static_cast<std::time_t>(secs.count()));
  return r;
}

std::string Two(int v) {
  return IntToStrZero(v, 2);
}

}  // namespace

std::string ShortDate(WallTime t) {
  LocalTime l = ToLocal(t);
  return Two(l.tm.tm_mday) + "." + Two(l.tm.tm_mon + 1) + "." + std::to_string(l.tm.tm_year + 1900);
}

std::string LongTime(WallTime t) {
  LocalTime l = ToLocal(t);
  return Two(l.tm.tm_hour) + ":" + Two(l.tm.tm_min) + ":" + Two(l.tm.tm_sec);
}

std::string FormatDateTimePattern(std::string_view pattern, WallTime t) {
  LocalTime l = ToLocal(t);
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  auto run = [&](char c) {
    size_t n = 0;
    while (i + n < pattern.size() && UpperChar(pattern[i + n]) == c) ++n;
    return n;
  };
  while (i < pattern.size()) {
    char c = UpperChar(pattern[i]);
    if (pattern[i] == '"') {
      size_t close = pattern.find('"', i + 1);
      size_t end = close == std::string_view::npos ? pattern.size() : close;
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    size_t n = run(c);
    size_t used = n >= 2 ? 2 : 1;
    switch (c) {
      case 'D':
        out += used == 2 ? Two(l.tm.tm_mday) : std::to_string(l.tm.tm_mday);
        break;
      case 'M': {
        int v = afterHour ? l.tm.tm_min : l.tm.tm_mon + 1;
        out += used == 2 ? Two(v) : std::to_string(v);
        break;
      }
      case 'Y':
        used = n >= 4 ? 4 : n;
        out += n >= 4 ? std::to_string(l.tm.tm_year + 1900) : Two((l.tm.tm_year + 1900) % 100);
        break;
      case 'H':
        out += used == 2 ? Two(l.tm.tm_hour) : std::to_string(l.tm.tm_hour);
        break;
      case 'N':
        out += used == 2 ? Two(l.tm.tm_min) : std::to_string(l.tm.tm_min);
        break;
      case 'S':
        out += used == 2 ? Two(l.tm.tm_sec) : std::to_string(l.tm.tm_sec);
        break;
      case 'Z':
        used = n >= 3 ? 3 : 1;
        out += used == 3 ? IntToStrZero(l.ms, 3) : std::to_string(l.ms);
        break;
      default:
        out.push_back(pattern[i]);
        ++i;
        continue;
    }
    afterHour = c == 'H';
    i += used;
  }
  return out;
}

std::string PauseMarker(int64_t pauseMs, WallTime now) {
  if (pauseMs < 450) return {};
  std::string seconds = FloatToStr(static_cast<double>(pauseMs) / 1000.0, 1);
  if (pauseMs > 15000) return "![" + ShortDate(now) + " " + LongTime(now) + "-" + seconds + "]";
  return "![" + seconds + "]";
}

void AppendLoggedByte(std::string& out, ByteLogState& state, char mark, uint8_t b,
                      bool lineBreaks) {
  bool prevEnd = state.prevByte == '\r' || state.prevByte == '\n';
  bool thisEnd = b == '\r' || b == '\n';
  if (lineBreaks && prevEnd && !thisEnd) out += "\r\n";
  state.prevByte = b;
  out.push_back(mark);
  AppendVisual(out, std::string_view(reinterpret_cast<const char*>(&b), 1));
}

}  // namespace zova
