#include "protocols/lsv2/lsv2_reports.h"

#include "core/latin1.h"

namespace zova::lsv2 {

bool IsReport(std::string_view telegram) {
  const std::string_view head = telegram.substr(0, 6);
  if (head == "R AL I" || head == "R ST I") return true;
  // Tool reports of 23 or more characters carry a flag: only "1" is a report.
  return head == "R BM I" && (telegram.size() < 23 || telegram[22] == '1');
}

bool ReportQueue::Push(std::string_view report) {
  if (entries_.size() >= kReportQueueSize) return false;
  entries_.emplace_back(report.substr(0, kReportLength));
  return true;
}

std::optional<std::string> ReportQueue::Pop() {
  if (entries_.empty()) return std::nullopt;
  std::string first = std::move(entries_.front());
  entries_.pop_front();
  return first;
}

QueueResult QueueReport(ReportQueue& queue, std::string_view telegram) {
  if (!IsReport(telegram)) return QueueResult::kNotReport;
  return queue.Push(telegram) ? QueueResult::kQueued : QueueResult::kFull;
}

std::string QueueFullMessage() {
  return L1("FEIL: Egenmeldingskø er full");
}

}  // namespace zova::lsv2
