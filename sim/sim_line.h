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
  // As Read, but the bytes are taken off the line no faster than the pace,
  // as the control's UART receives them. TimeoutMs is how long the line may
  // stay dry before the call returns with nothing.
  bool ReadPaced(std::string& out, size_t max, int timeoutMs);
  // How the line was used by the paced reads since the first byte: the time
  // the bytes took on the wire, and the time it stood dry between them
  // because the station had sent nothing. Simulator lateness is not idle
  // time: bytes that waited for the simulator were on the line.
  struct LineUse {
    size_t bytes = 0;
    double wireSeconds = 0;
    double idleSeconds = 0;
    int gaps = 0;
  };
  LineUse PacedUse() const;
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
  // Nonblocking: at most Max bytes now; -1 when the line is gone.
  long ReadNow(std::string& out, size_t max);

  int fd_ = -1;
  bool isPty_ = false;
  std::string stationPath_;
  double charsPerSecond_ = 0;
  int lingerMs_ = 100;
  std::string pending_;  // input that arrived during a send
  // Paced reads: the wire started its first byte at pacedBase_ (moved on by
  // every idle stretch) and has carried pacedTaken_ bytes since.
  bool pacedStarted_ = false, pacedDry_ = false;
  double pacedBase_ = 0, pacedIdle_ = 0;
  size_t pacedTaken_ = 0;
  int pacedGaps_ = 0;
};

}  // namespace zova::sim
