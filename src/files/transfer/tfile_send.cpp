#include "files/transfer/tfile.h"

namespace zova {

void TFile::PrepareSend(bool, bool, bool& ok, bool& raw, std::string&, std::string&, bool, bool,
                        bool) {
  ok = raw = false;
}
void TFile::OpenSendFile(bool, bool& raw, bool& ok) {
  ok = raw = false;
}
void TFile::OpenTextAsSendFile(const std::string&, bool& ok) {
  ok = false;
}
bool TFile::MoreToSend() {
  return false;
}
void TFile::NextSendChar(char&, bool& ok) {
  ok = false;
}
void TFile::ReadFileChar(char&, bool& ok) {
  ok = false;
}
void TFile::ReadBlock(char*, int& count, bool& ok) {
  count = 0;
  ok = false;
}
void TFile::ReadFileLine(std::string&, bool& ok) {
  ok = false;
}
void TFile::NextSendLine(std::string&, bool& ok) {
  ok = false;
}
bool TFile::SkipSendChars(int, bool& ok) {
  ok = false;
  return true;
}
int64_t TFile::BytesLeft() {
  return 0;
}
void TFile::PushBackChar(char) {}
bool TFile::BuildToolFile(const std::string&, std::string&, std::string&) {
  return false;
}

}  // namespace zova
