#pragma once
// The messages that wait for the broker, in order. Front: handed to the
// client and waiting for the broker's acknowledgement (at most a window of
// them); behind them: not handed over yet. When the connection is lost, the
// unacknowledged ones go back to waiting and are sent again first, so the
// broker gets every message in order (some twice: QoS 1 is at least once).
// Pure bookkeeping, not locked: the publisher holds its lock around it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace zova::mqtt {

struct QueuedMessage {
  std::string Topic;
  std::string Payload;
  bool Sent = false;   // handed to the client
  bool Acked = false;  // the broker has it
  int Mid = 0;         // the client's message id while Sent
};

class PublishQueue {
 public:
  explicit PublishQueue(size_t limit) : limit_(limit < 1 ? 1 : limit) {}

  // A full queue gives up its oldest message not handed over (or, when every
  // one is in flight, the new one): the newest state is the one a subscriber
  // needs. Returns false when a message was given up.
  bool Push(std::string topic, std::string payload);
  // The first message not handed over, or null.
  const QueuedMessage* NextToSend() const;
  void MarkSent(int mid);
  // The broker acknowledged Mid; acknowledged messages leave from the front.
  // False for an id that is not in flight.
  bool Acked(int mid);
  // Everything in flight must be sent again.
  void ConnectionLost();

  size_t Size() const { return items_.size(); }
  size_t InFlight() const { return sent_; }
  bool Empty() const { return items_.empty(); }
  uint64_t Dropped() const { return dropped_; }
  uint64_t Delivered() const { return delivered_; }

 private:
  void PopAcked();

  std::deque<QueuedMessage> items_;
  size_t limit_;
  size_t sent_ = 0;  // the first Sent_ items are in flight
  uint64_t dropped_ = 0;
  uint64_t delivered_ = 0;
};

}  // namespace zova::mqtt
