#pragma once
// Which status record a change of one of the box's sixteen signals makes: the
// Bit<i>,<b> code and ParameterBit<i>,<b> text of the box's section. Pure
// apart from reading the table.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zova::box {

inline constexpr int kSignals = 16;

struct SignalEntry {
  int Code = 0;      // below 1: no record
  std::string Text;  // upper-cased
};

// Entry[i][b]: signal i changing to value b.
struct SignalTable {
  std::array<std::array<SignalEntry, 2>, kSignals> Entry{};
};

SignalTable ReadSignalTable(std::string_view section);

struct SignalRecord {
  int Signal = 0;
  int Value = 0;
  int Code = 0;
  std::string Text;
};

// The records of the change from Last to Word, signal 0 first. Codes 1 and 4
// carry FileName (the monitored machine's Filnavn cell, see
// RecordFileName); codes 2 and 108 carry "1".
std::vector<SignalRecord> SignalChanges(uint16_t last, uint16_t word, const SignalTable& table,
                                        const std::string& fileName);
// True when a change to Word makes a record that needs the file name.
bool NeedsFileName(uint16_t last, uint16_t word, const SignalTable& table);

// The Filnavn cell cut before its extension, when its last part has one.
std::string RecordFileName(std::string_view cell);

// The first report after start sets the word and records nothing; later ones
// record their changes. The word is kept across resets of the box.
class SignalState {
 public:
  // The changes of Word against the word before, and Word kept.
  std::vector<SignalRecord> Take(uint16_t word, const SignalTable& table,
                                 const std::string& fileName);
  bool FirstReport() const { return first_; }
  uint16_t LastWord() const { return last_; }
  bool NeedsFileName(uint16_t word, const SignalTable& table) const {
    return !first_ && box::NeedsFileName(last_, word, table);
  }

 private:
  bool first_ = true;
  uint16_t last_ = 0;
};

}  // namespace zova::box
