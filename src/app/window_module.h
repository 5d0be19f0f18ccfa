#pragma once
// The operator window lives in a module of its own (libzova_window.so next
// to the program in a build, ../lib/zova/ from it when installed), so the
// station runs headless on a machine without Qt's libraries: the program
// loads the window only when there is a display.

namespace zova::app {

// The module's entry: loads the settings, takes the single-instance lock
// and runs the window. Returns the exit code.
using WindowMain = int (*)(int argc, char** argv, const char* iniArg);
inline constexpr const char* kWindowMainSymbol = "zova_window_main";
inline constexpr const char* kWindowModuleName = "libzova_window.so";

// Null, with the reason logged, when the module or Qt cannot be loaded.
WindowMain LoadWindowModule();

}  // namespace zova::app
