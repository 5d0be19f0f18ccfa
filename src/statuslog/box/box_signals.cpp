#include "statuslog/box/box_signals.h"

#include "core/config/config.h"

namespace zova::box {

namespace {

std::string Key(const char* prefix, int i, int b) {
  return prefix + std::to_string(i) + "," + std::to_string(b);
}

bool CarriesFileName(int code) {
  return code == 1 || code == 4;
}

}  // namespace

SignalTable ReadSignalTable(std::string_view section) {
  SignalTable t;
  for (int i = 0; i < kSignals; ++i)
    for (int b = 0; b < 2; ++b) {
      SignalEntry& e = t.Entry[static_cast<size_t>(i)][static_cast<size_t>(b)];
      e.Code = ReadIniInt(section, Key("Bit", i, b), 0);
      e.Text = ReadIniUpper(section, Key("ParameterBit", i, b), "");
    }
  return t;
}

std::vector<SignalRecord> SignalChanges(uint16_t last, uint16_t word, const SignalTable& table,
                                        const std::string& fileName) {
  std::vector<SignalRecord> out;
  const uint16_t changed = last ^ word;
  for (int i = 0; i < kSignals; ++i) {
    if (!(changed & (1u << i))) continue;
    const int b = (word >> i) & 1;
    const SignalEntry& e = table.Entry[static_cast<size_t>(i)][static_cast<size_t>(b)];
    if (e.Code < 1) continue;
    std::string text = e.Text;
    if (CarriesFileName(e.Code))
      text = fileName;
    else if (e.Code == 2 || e.Code == 108)
      text = "1";
    out.push_back({i, b, e.Code, text});
  }
  return out;
}

bool NeedsFileName(uint16_t last, uint16_t word, const SignalTable& table) {
  const uint16_t changed = last ^ word;
  for (int i = 0; i < kSignals; ++i)
    if ((changed & (1u << i)) &&
        CarriesFileName(table.Entry[static_cast<size_t>(i)][(word >> i) & 1u].Code))
      return true;
  return false;
}

std::string RecordFileName(std::string_view cell) {
  const size_t sep = cell.find_last_of("\\/");
  const size_t dot = cell.rfind('.');
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep))
    return std::string(cell);
  return std::string(cell.substr(0, dot));
}

std::vector<SignalRecord> SignalState::Take(uint16_t word, const SignalTable& table,
                                            const std::string& fileName) {
  if (first_) {
    first_ = false;
    last_ = word;
    return {};
  }
  std::vector<SignalRecord> out = SignalChanges(last_, word, table, fileName);
  last_ = word;
  return out;
}

}  // namespace zova::box
