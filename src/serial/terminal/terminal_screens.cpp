#include "serial/terminal/terminal_screens.h"

#include <algorithm>

namespace zova {

namespace {

// Below the title: one empty line, unless the display has only two.
std::string TitleBreak(int lines) {
  return lines == 2 ? kCrLf : std::string(kCrLf) + kCrLf;
}

}  // namespace

int TerminalLines(int configured) {
  // A display of no lines cannot page; a huge one only costs padding.
  return std::clamp(configured, 1, 60);
}

std::string PromptScreen(int lines) {
  return kTerminalClear + std::string("Tast inn filnavn:") + TitleBreak(lines);
}

std::string ResultScreen(const std::string& title, const std::string& text, int lines) {
  return kTerminalClear + title + TitleBreak(lines) + text;
}

std::string ChosenMachineScreen(const std::string& machineName, int lines) {
  return ResultScreen("Valgt maskin:", machineName, lines);
}

std::string ReadyScreen(const std::string& name, int lines) {
  if (lines == 2) return kTerminalClear + std::string("Fil: ") + name + kCrLf + "Start sending..";
  return kTerminalClear + std::string("Filnavn:") + kCrLf + name + kCrLf + kCrLf +
         "Klar for sending...";
}

std::string StoppedScreen() {
  return kTerminalClear + std::string(kCrLf) + "Program stoppet!!!!";
}

std::string TerminalMachineName(const std::string& navn, int machine) {
  return navn.empty() ? "Maskin" + std::to_string(machine) : navn;
}

}  // namespace zova
