#pragma once
// The headless front end: every grid change as one line on standard output,
// notices in the log, each question answered with the choice that loses no
// data, and the close procedure on SIGINT/SIGTERM.

#include <string>

#include "core/single_instance.h"
#include "core/uihost.h"

namespace zova::app {

class HeadlessUiHost : public UiHost {
 public:
  void ShowNotice(std::string_view caption, std::string_view text) override;
  bool AskYesNo(std::string_view caption, std::string_view text, bool safeDefault) override;
  Answer AskButtons(std::string_view caption, std::string_view text,
                    const std::vector<std::string>& labels, Answer safeDefault) override;
  bool AskText(std::string_view caption, std::string_view prompt, std::string& value) override;
  FileChoice ChooseFile(std::string_view caption, std::string_view initialDir,
                        std::string_view filter) override;
  FileChoice SelectFolder(std::string_view caption, std::string_view initialDir) override;
  bool OpenPath(std::string_view program, std::string_view args, std::string_view workDir) override;
  void ShowHelp(std::string_view topic) override;
};

// Runs the station headless until SIGINT/SIGTERM or until every driver has
// ended by itself. Returns the exit code. A second start that Instance hears
// of is answered from the main loop.
int RunHeadless(SingleInstance* instance = nullptr);

}  // namespace zova::app
