#include "files/namesearch/head_text.h"

#include "core/latin1.h"

namespace zova {

namespace {

void DropToStartNavn(std::string& head, std::string_view startNavn) {
  size_t at = head.find(startNavn);
  if (at == std::string::npos) {
    size_t blank = head.find(' ');
    head.erase(0, blank == std::string::npos ? head.size() : blank + 1);
    return;
  }
  for (size_t blank = head.find(' '); blank != std::string::npos && blank < at;
       blank = head.find(' ')) {
    head.erase(0, blank + 1);
    at -= blank + 1;
  }
}

}  // namespace

bool AddToHead(std::string& head, char ch, size_t limit, std::string_view startNavn) {
  if (head.size() >= limit) return true;
  switch (ch) {
    case '\0':
    case '\t':
    case ' ':
      return false;
    case '\n':
    case '\r':
      if (!head.empty() && head.back() == ' ') return false;
      head += ' ';
      break;
    default:
      head += ch;
      break;
  }
  if (head.size() < limit) return false;
  if (!startNavn.empty()) DropToStartNavn(head, startNavn);
  return head.size() >= limit;
}

std::string HeadOfText(std::string_view text, size_t limit, std::string_view startNavn) {
  std::string head;
  for (char ch : text)
    if (AddToHead(head, ch, limit, startNavn)) break;
  return UpperCase(head);
}

}  // namespace zova
