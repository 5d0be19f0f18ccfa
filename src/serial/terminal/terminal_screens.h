#pragma once
// The screens the station writes to a shop-floor terminal. Every screen
// starts by clearing the terminal's display and homing its cursor; a
// terminal of two display lines gets the compact layouts.

#include <string>
#include <vector>

namespace zova {

inline constexpr char kTerminalClear[] = "\x1bL\x1bJ";
inline constexpr char kCrLf[] = "\r\n";

// The display lines a terminal is configured with, as the screens use them.
int TerminalLines(int configured);

std::string PromptScreen(int lines);
// Title and text of an outcome (the wait and the prompt after it are the
// driver's).
std::string ResultScreen(const std::string& title, const std::string& text, int lines);
std::string ChosenMachineScreen(const std::string& machineName, int lines);
// A name placed in the target machine's file cell, ready to be sent.
std::string ReadyScreen(const std::string& name, int lines);
std::string StoppedScreen();

// The name a machine goes by: its Navn, else "Maskin" + number.
std::string TerminalMachineName(const std::string& navn, int machine);

}  // namespace zova
