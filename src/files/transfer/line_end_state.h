#pragma once
// How a received text ends its lines, decided from its first line end:
// 3 = CR LF followed by an ordinary character (stored byte for byte), 4 = any
// other form (stored with normalised line ends). 0..2 are still undecided.

#include <cstdint>

namespace zova {

class LineEndState {
 public:
  static constexpr uint8_t kCrLf = 3;
  static constexpr uint8_t kOther = 4;

  void Reset() { state_ = 0; }
  // Raw writes (StoreLine and friends) write CR LF themselves.
  void ForceCrLf() { state_ = kCrLf; }
  uint8_t Value() const { return state_; }
  bool ByteForByte() const { return state_ == kCrLf; }

  void Advance(char ch) {
    if (state_ >= kCrLf) return;
    const bool cr = ch == '\r', lf = ch == '\n';
    switch (state_) {
      case 0:
        if (cr)
          state_ = 1;
        else if (lf)
          state_ = kOther;
        break;
      case 1:
        state_ = lf ? 2 : kOther;
        break;
      default:  // 2: after CR LF
        state_ = (cr || lf) ? kOther : kCrLf;
        break;
    }
  }

 private:
  uint8_t state_ = 0;
};

}  // namespace zova
