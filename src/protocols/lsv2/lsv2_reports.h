#pragma once
// Reports the control sends on its own ("R BM I", "R AL I", "R ST I") while
// the station waits for an answer are kept, first in first out, and served
// before the next operator request.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace zova::lsv2 {

inline constexpr size_t kReportQueueSize = 80;
inline constexpr size_t kReportLength = 50;

// "R BM I", "R AL I" or "R ST I" at the start; an "R BM I" of 23 or more
// characters only with "1" as its 23rd.
bool IsReport(std::string_view telegram);

class ReportQueue {
 public:
  // Stores the report's first kReportLength characters; false when all
  // kReportQueueSize entries are in use.
  bool Push(std::string_view report);
  std::optional<std::string> Pop();
  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }
  void Clear() { entries_.clear(); }

 private:
  std::deque<std::string> entries_;
};

enum class QueueResult {
  kNotReport,  // the telegram is the caller's
  kQueued,
  kFull,  // a report, lost: the driver posts QueueFullMessage()
};
QueueResult QueueReport(ReportQueue& queue, std::string_view telegram);
// "FEIL: Egenmeldingskø er full", Latin-1.
std::string QueueFullMessage();

}  // namespace zova::lsv2
