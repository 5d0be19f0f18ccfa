#pragma once
// A control that sends a text over and over in a format of its own, on one
// end of a loopback cable, until it is destroyed: what the station's baud-rate
// detection listens to. Header-only: only test programs that link the serial
// library include it.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "serial/device/loopback_device.h"

namespace zova::test {

class UartSender {
 public:
  // The end is configured before the thread starts, so that the first byte
  // already goes out in Format.
  UartSender(std::unique_ptr<LoopbackDevice> end, const LineSettings& format, std::string text)
      : end_(std::move(end)), text_(std::move(text)) {
    int err = 0;
    end_->Configure(format, err);
    thread_ = std::thread([this] { Run(); });
  }
  ~UartSender() {
    stop_ = true;
    thread_.join();
  }
  UartSender(const UartSender&) = delete;
  UartSender& operator=(const UartSender&) = delete;

 private:
  void Run() {
    // Short bursts: the receiving end's input stays small however long the
    // test listens.
    size_t at = 0;
    while (!stop_) {
      std::string burst;
      for (int i = 0; i < 16; ++i, at = (at + 1) % text_.size()) burst += text_[at];
      end_->Write(reinterpret_cast<const uint8_t*>(burst.data()), burst.size(), 100);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  std::unique_ptr<LoopbackDevice> end_;
  std::string text_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace zova::test
