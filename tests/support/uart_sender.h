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
  // already goes out in Format. The text goes out no faster than a UART in
  // Format sends it (Speedup times faster): the line delivers at once, and a
  // sender far ahead of the reader would fill its input with characters
  // heard at rates the reader has long left behind, which no real line does.
  UartSender(std::unique_ptr<LoopbackDevice> end, const LineSettings& format, std::string text,
             double speedup = 1.0)
      : end_(std::move(end)), text_(std::move(text)) {
    const int bits =
        1 + format.dataBits + (format.parity == Parity::None ? 0 : 1) + format.stopBits;
    burstMs_ = static_cast<int>(kBurst * bits * 1000.0 / format.baud / speedup);
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
    size_t at = 0;
    auto next = std::chrono::steady_clock::now();
    while (!stop_) {
      std::string burst;
      for (int i = 0; i < kBurst; ++i, at = (at + 1) % text_.size()) burst += text_[at];
      end_->Write(reinterpret_cast<const uint8_t*>(burst.data()), burst.size(), 100);
      next += std::chrono::milliseconds(burstMs_);
      std::this_thread::sleep_until(next);
    }
  }

  static constexpr int kBurst = 16;
  int burstMs_ = 0;

  std::unique_ptr<LoopbackDevice> end_;
  std::string text_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace zova::test
