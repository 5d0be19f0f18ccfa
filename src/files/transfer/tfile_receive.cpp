#include "files/transfer/tfile.h"

namespace zova {

void TFile::OpenReceiveFile(bool& ok) {
  ok = false;
}
void TFile::StoreChar(char, bool& ok) {
  ok = false;
}
void TFile::StoreRawByte(uint8_t, bool& ok) {
  ok = false;
}
void TFile::StoreString(const std::string&, bool& ok) {
  ok = false;
}
void TFile::StoreLine(const std::string&, bool& ok) {
  ok = false;
}
void TFile::AddToHead(char) {}
void TFile::AddLineToHead(const std::string&) {}
void TFile::ClassifyReception() {}
void TFile::CloseReceiveFile(bool, int, bool& tooShort, bool& ok) {
  tooShort = true;
  ok = false;
}
void TFile::CloseFile(bool& ok) {
  ok = false;
}
void TFile::CloseAndStore(bool& ok) {
  ok = false;
}
bool TFile::SaveToolData(std::string&) {
  return false;
}

}  // namespace zova
