#pragma once
// A simulated control on a pseudo-terminal whose other end the test holds
// as the station: what the station writes and reads, and the control's
// commands run as a script line.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "controls/control_registry.h"

namespace zova::sim {

class ControlOnPty : public ::testing::Test {
 protected:
  explicit ControlOnPty(const char* kind) : kind_(kind) {}

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(line_.OpenPty(error)) << error;
    line_.SetLinger(0);
    station_ = ::open(line_.StationPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(station_, 0);
    control_ = MakeControl(kind_, line_, {});
    ASSERT_TRUE(control_);
  }
  void TearDown() override {
    if (station_ >= 0) ::close(station_);
  }

  // The station writes.
  void Send(const std::string& s) {
    ASSERT_EQ(::write(station_, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  // What the station reads until Want bytes came or the line stayed quiet
  // for QuietMs.
  std::string Take(size_t want, int quietMs = 2000) {
    std::string got;
    char buf[256];
    while (got.size() < want) {
      pollfd p{station_, POLLIN, 0};
      if (::poll(&p, 1, quietMs) <= 0) break;
      const ssize_t n = ::read(station_, buf, std::min(sizeof buf, want - got.size()));
      if (n <= 0) break;
      got.append(buf, static_cast<size_t>(n));
    }
    return got;
  }
  // Runs one script line; Error gets the control's complaint.
  bool Run(const std::string& text, std::string& error) {
    error.clear();
    SimCommand cmd;
    return control_->Parse(text, 1, cmd, error) && control_->Run(cmd, error);
  }

 private:
  const char* kind_;
  SimLine line_;
  std::unique_ptr<SimControl> control_;
  int station_ = -1;
};

}  // namespace zova::sim
