#pragma once
// The baud-rate search, without a line: the rates tried from the maximum
// down, the phases of each (50 characters to synchronise, 50 that must all
// arrive without a line error), the port format the test conditions give,
// and the settings that the operator's three "yes" answers store.

#include <cstdint>
#include <string>

#include "serial/device/serial_device.h"

namespace zova {

inline constexpr int kBaudSyncChars = 50;
inline constexpr int kBaudCheckChars = 50;

struct BaudSearchSettings {
  int minBaud = 300;
  int maxBaud = 19200;
  int bit = 8;  // 9: 8 data bits and even parity
  int stopBits = 1;
};

// A rate written in a dialog's box; Default when it is no number.
int BaudFromText(const std::string& text, int def);

// The line's settings for one rate: Bit 9 or more is 8 data bits with even
// parity, line errors are marked in the input.
LineSettings DetectionLine(int rate, const BaudSearchSettings& s);

enum class BaudPhase { Synchronising, Checking, Detected };

class BaudSearch {
 public:
  explicit BaudSearch(const BaudSearchSettings& s);

  // What one character did.
  enum class Step { None, Checking, NextRate, Detected };
  Step Feed(bool faulty);

  int Rate() const { return rate_; }
  BaudPhase Phase() const { return phase_; }

 private:
  BaudSearchSettings settings_;
  int rate_;
  BaudPhase phase_ = BaudPhase::Synchronising;
  int count_ = 0;
  bool faultSeen_ = false;
};

// The rate after a failed one: half of it, or the maximum again below the
// minimum.
int NextBaudRate(int rate, const BaudSearchSettings& s);

// A character as the detection shows it: above 127 it marks the stream as
// ISO and is shown modulo 128.
uint8_t ShownChar(uint8_t b, bool& highBitSeen);

// The port-section keys the three answers write.
struct BaudCodeKeys {
  std::string kode, bit, paritet;
};
BaudCodeKeys CodeKeys(bool highBitSeen, int bit);
std::string RateQuestion(int rate);
std::string CodeQuestion(bool highBitSeen);
std::string StopQuestion(int stopBits);

// Writes the answered keys into [Port] of the active Zova.ini. False when
// the file could not be written.
bool WriteBaudAnswers(const std::string& port, int rate, bool highBitSeen,
                      const BaudSearchSettings& s, bool rateYes, bool codeYes, bool stopYes);

}  // namespace zova
