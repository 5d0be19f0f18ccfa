#pragma once
// The control's end of a line: the master of a pseudo-terminal pair that
// cncsim made itself, or a tty given by path. Bytes go out paced at the baud
// rate the control is set to, as a real UART would send them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zova::sim {

class SimLine {
 public:
  ~SimLine();
  // A new pair; the slave is set to raw mode so that nothing the control
  // sends before the station configures the line is echoed or translated.
  bool OpenPty(std::string& error);
  bool OpenTty(const std::string& path, std::string& error);
  const std::string& StationPath() const { return stationPath_; }

  // Bytes per second for pacing; 0 sends as fast as the line takes them.
  void SetPace(int baud, int bitsPerChar);
  double CharsPerSecond() const { return charsPerSecond_; }

  // Sends Data; obeys XOFF/XON from the station when ObeyXoff (other bytes
  // that arrive meanwhile are kept for Read). Stops after DropAfter bytes
  // (negative: never) and drops the line. False when the line is gone.
  bool Send(const std::string& data, bool obeyXoff, long dropAfter = -1);
  // Up to Max bytes, waiting at most TimeoutMs; false when the line is gone.
  bool Read(std::string& out, size_t max, int timeoutMs);
  // True while nobody holds the station's end (a pty whose slave is closed).
  bool StationAbsent();
  // Closes the control's end after the linger time: the station sees a
  // hang-up. A pty throws away what the station has not read at a hang-up,
  // which no real line does; the linger gives the station time to read it.
  void Drop();
  void SetLinger(int ms) { lingerMs_ = ms; }
  bool Open() const { return fd_ >= 0; }

 private:
  bool WriteSome(const char* data, size_t len, size_t& written);
  void TakeInput(bool& stopped);

  int fd_ = -1;
  bool isPty_ = false;
  std::string stationPath_;
  double charsPerSecond_ = 0;
  int lingerMs_ = 100;
  std::string pending_;  // input that arrived during a send
};

}  // namespace zova::sim
