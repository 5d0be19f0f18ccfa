#pragma once
// The console under the status grid: 16 lines of 80 characters, a colour per
// character, held by one machine at a time. Main thread only (but which
// machine holds it may be asked from any thread); a front end paints it and
// is told which lines changed.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zova {

enum class ConsoleColour : uint8_t { Black, Red, Green, Blue, Navy };

class ConsoleModel {
 public:
  static constexpr int kLines = 16;
  static constexpr int kColumns = 80;
  static constexpr int kCharWidth = 8;
  static constexpr int kLineHeight = 15;

  struct Line {
    std::string text;  // display characters (Latin-1), at most 80
    std::array<ConsoleColour, kColumns> colours{};
  };

  void SetScroll(int n);  // limited to 1..8
  // Claim (Release false) or release the console for Machine.
  bool Hold(int machine, bool release, bool breakOnCrLf);
  // Writes at most 80 bytes of Text when Machine is the holder (0 = the window).
  void AddText(int machine, bool alt, std::string_view text, bool received);
  void NewLineFor(int machine);
  void WriteText(std::string_view s);
  void NewLine();

  // Any thread: a driver whose text would not be shown need not send it.
  int Holder() const { return holder_.load(std::memory_order_relaxed); }
  int Row() const { return row_; }  // 1-based
  int Col() const { return col_; }  // 1-based, next column
  int ScrollStep() const { return scrollStep_; }
  const Line& LineAt(int row) const { return lines_[static_cast<size_t>(row - 1)]; }

  // Called with the 1-based line that changed, or 0 after a scroll (all lines).
  std::function<void(int)> onChanged;
  // The station model's observers, told of any change (set by the model).
  std::function<void()> onAnyChange;

 private:
  void Put(char c);
  void Changed(int row) {
    if (onChanged) onChanged(row);
    if (onAnyChange) onAnyChange();
  }

  std::array<Line, kLines> lines_{};
  int col_ = 1, row_ = 1;
  bool pendingBreak_ = false;
  bool breakOnCrLf_ = true;
  std::atomic<int> holder_{0};
  int scrollStep_ = 4;
  ConsoleColour colour_ = ConsoleColour::Black;
};

// The console's display notation: control bytes by name, "[" and "]" and
// bytes from 127 by number, except the six Norwegian letters.
void AppendConsoleNotation(std::string& out, uint8_t b);

}  // namespace zova
