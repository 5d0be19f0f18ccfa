#include "core/driver/status_record_sink.h"

#include <mutex>

namespace zova {

namespace {

std::mutex& SinkMutex() {
  static std::mutex m;
  return m;
}

StatusRecordSink& Sink() {
  static StatusRecordSink sink;
  return sink;
}

}  // namespace

void SetStatusRecordSink(StatusRecordSink sink) {
  std::lock_guard lock(SinkMutex());
  Sink() = std::move(sink);
}

void NotifyStatusRecord(const StatusRecordEvent& event) {
  std::lock_guard lock(SinkMutex());
  if (Sink()) Sink()(event);
}

}  // namespace zova
