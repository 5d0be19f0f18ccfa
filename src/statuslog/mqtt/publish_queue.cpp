#include "statuslog/mqtt/publish_queue.h"

namespace zova::mqtt {

bool PublishQueue::Push(std::string topic, std::string payload) {
  bool kept = true;
  if (items_.size() >= limit_) {
    ++dropped_;
    if (sent_ >= items_.size()) return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(sent_));
    kept = false;
  }
  items_.push_back({std::move(topic), std::move(payload)});
  return kept;
}

const QueuedMessage* PublishQueue::NextToSend() const {
  return sent_ < items_.size() ? &items_[sent_] : nullptr;
}

void PublishQueue::MarkSent(int mid) {
  if (sent_ >= items_.size()) return;
  QueuedMessage& m = items_[sent_++];
  m.Sent = true;
  m.Mid = mid;
}

bool PublishQueue::Acked(int mid) {
  for (size_t i = 0; i < sent_; ++i) {
    QueuedMessage& m = items_[i];
    if (m.Mid == mid && !m.Acked) {
      m.Acked = true;
      PopAcked();
      return true;
    }
  }
  return false;
}

void PublishQueue::PopAcked() {
  while (!items_.empty() && items_.front().Acked) {
    items_.pop_front();
    --sent_;
    ++delivered_;
  }
}

void PublishQueue::ConnectionLost() {
  // An acknowledged message behind an unacknowledged one is not sent again.
  std::deque<QueuedMessage> kept;
  for (size_t i = 0; i < items_.size(); ++i) {
    QueuedMessage& m = items_[i];
    if (m.Acked) {
      ++delivered_;
      continue;
    }
    m.Sent = false;
    m.Mid = 0;
    kept.push_back(std::move(m));
  }
  items_.swap(kept);
  sent_ = 0;
}

}  // namespace zova::mqtt
