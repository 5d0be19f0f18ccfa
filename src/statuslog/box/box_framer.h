#pragma once
// What a logging box sends, byte by byte: ENQ alone when it has been reset,
// or a report STX, hexadecimal digits, ETX holding its sixteen signals as one
// word. Pure: the driver does the reads and tells the framer when one failed.

#include <cstdint>
#include <string>

namespace zova::box {

inline constexpr char kStx = 2;
inline constexpr char kEtx = 3;
inline constexpr char kEnq = 5;

enum class BoxEvent {
  None,    // keep reading
  Reset,   // ENQ outside a report: the box was reset
  Report,  // ETX: Digits and Word hold the report
};

class BoxFramer {
 public:
  // Before STX every byte but STX and ENQ is dropped; inside a report only
  // "0".."9" and "A".."F" are kept (noise on the line is skipped, not read
  // as a signal).
  BoxEvent Feed(char ch);
  // True between STX and ETX: a failed read now cuts the report.
  bool InReport() const { return inReport_; }
  // The kept digits of the last (or current) report.
  const std::string& Digits() const { return digits_; }
  uint16_t Word() const { return word_; }
  // Forgets a report cut short.
  void Clear();

 private:
  bool inReport_ = false;
  std::string digits_;
  uint16_t word_ = 0;
};

bool IsReportDigit(char ch);
// The digits as a hexadecimal number, 0 when there are none. A box sends
// four; of a longer run the last four count, since the word has 16 bits.
uint16_t ReportWord(const std::string& digits);

// Station to box.
std::string ReportRequest();                        // ENQ
std::string MaskTelegram(const std::string& mask);  // STX + mask + ETX
// MaskeInv is sent only when it has exactly eight characters.
bool MaskIsSent(const std::string& mask);

}  // namespace zova::box
