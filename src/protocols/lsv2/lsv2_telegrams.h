#pragma once
// The telegrams of the LSV2 dialogue as the station writes them and the
// answers it waits for. Two-letter groups are padded with blanks where the
// control expects them ("M RR  "); the blanks are part of the telegram.

#include <optional>
#include <string>
#include <string_view>

namespace zova::lsv2 {

// Station to control.
inline constexpr std::string_view kReadStatus = "T ST  ";
inline constexpr std::string_view kAutoStatus = "M AU  ";
inline constexpr std::string_view kNextBlock = "T NB";
inline constexpr std::string_view kFinished = "T FD";
inline constexpr std::string_view kResetControl = "M CI  ";
inline constexpr std::string_view kStatusMask = "M ST  2000";
inline constexpr std::string_view kTdppRefused = "TDPPF";
inline constexpr std::string_view kNoProgram = "M NR";
inline constexpr std::string_view kReadyToSend = "M RT";
inline constexpr std::string_view kReadyToReceive = "M RR";
inline constexpr std::string_view kDone = "M OK";
// The status ReceiveTestProgram reports when it plays the control.
inline constexpr std::string_view kTestStatus =
    "R ST  1002006200000000000000000000000000000000000000000758";

// Answers the station insists on (exactly these texts).
inline constexpr std::string_view kAnswerReady = "M RR  ";
inline constexpr std::string_view kAnswerSending = "M RT  ";
inline constexpr std::string_view kAnswerOk = "M OK";
inline constexpr std::string_view kAnswerNext = "T NB";
inline constexpr std::string_view kAnswerWait = "T WA";

// "PRCL" name CR LF: may the control's program memory be cleared?
std::string ClearRequest(std::string_view ncName);
// "R CL%CL" CR LF name CR LF [Clear CR LF] "M30" CR LF: the clearing program.
std::string ClearProgram(std::string_view ncName, std::string_view clear);
// "R CL" name: KortClear's short form.
std::string ShortClear(std::string_view ncName);
// "PRPP" name Terminator: is the control ready for the program?
std::string ReadyRequest(std::string_view ncName, std::string_view terminator);
// "PTPP" name CR LF: the control is asked to send its program.
std::string FetchRequest(std::string_view ncName);
// "R " area block: one data block of a program.
std::string DataTelegram(std::string_view area, std::string_view block);
// The data a received "R " area telegram carries (from its fifth
// character); nullopt for any other telegram.
std::optional<std::string> DataOf(std::string_view telegram, std::string_view area);

// ReceiveAnswerWithin: how many receives fit into Seconds.
int AnswerTries(int seconds, int timeMultiplierMs);

}  // namespace zova::lsv2
