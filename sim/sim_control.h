#pragma once
// A simulated control: a table of script commands run on the control's end
// of a line, and the byte-level calls a control needs to answer telegrams.
// A control is a class derived from SimControl (or from another control,
// whose commands it then inherits) that adds its commands in its
// constructor and keeps whatever state its dialogue needs in members.
// docs/cncsim.md, "Adding a control", has a worked example.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim_line.h"
#include "sim_script.h"

namespace zova::sim {

// cncsim's command line as far as a control may care. The line is already
// paced and lingers as these say.
struct SimOptions {
  bool verbose = false;
  int baud = 0;  // 0: unpaced
  int bits = 10;
  int linger = 100;
};

class SimControl {
 public:
  // False with Error set when the command failed; the script then stops.
  using Handler = std::function<bool(const SimCommand& cmd, std::string& error)>;
  struct Command {
    std::string name;
    CommandShape shape;
    // False for commands that make sense without the line (wait, drop):
    // the others fail at once once the line was dropped.
    bool needsLine = true;
    Handler run;
  };

  SimControl(SimLine& line, const SimOptions& options) : line_(line), options_(options) {}
  virtual ~SimControl() = default;
  SimControl(const SimControl&) = delete;
  SimControl& operator=(const SimControl&) = delete;

  // One script line checked against the command table. A blank or comment
  // line gives a command without a name, which Run passes over.
  bool Parse(const std::string& text, int lineNo, SimCommand& cmd, std::string& error) const;
  // False with Error set when the command failed.
  bool Run(const SimCommand& cmd, std::string& error);
  std::vector<std::string> CommandNames() const;

 protected:
  // Adds a command, or replaces the one of that name a base control added.
  void AddCommand(Command command);
  // Binds a member function of the derived control as a handler.
  template <class C>
  Handler Bind(bool (C::*fn)(const SimCommand&, std::string&)) {
    C* self = static_cast<C*>(this);
    return
        [self, fn](const SimCommand& cmd, std::string& error) { return (self->*fn)(cmd, error); };
  }

  enum class ReadStatus { kData, kTimeout, kGone };
  // One byte from the station within TimeoutMs. Bytes arrive in chunks; the
  // rest of a chunk stays in Received() for the next call. The station
  // closing its end is not kGone (a pty's station may open it again); kGone
  // means the control's own end is closed.
  ReadStatus ReadByte(uint8_t& byte, int timeoutMs);
  // Everything that has come (at least one byte) within TimeoutMs, appended
  // to Out.
  ReadStatus ReadSome(std::string& out, int timeoutMs);
  // True when the next byte within TimeoutMs is Want; otherwise Error names
  // what came instead, in the bracket notation, or says that nothing did.
  bool ExpectByte(uint8_t want, int timeoutMs, std::string& error);
  // Sends at once, paced at the baud rate, regardless of XOFF: what a control
  // does with its own protocol characters. False when the line is gone.
  bool WriteBytes(const std::string& bytes);

  // Read from the line and not yet consumed by ReadByte, ReadSome or a
  // command that matches on it.
  std::string& Received() { return received_; }
  SimLine& Line() { return line_; }
  const SimOptions& Options() const { return options_; }

 private:
  // Waits until Received() holds a byte or TimeoutMs has passed.
  ReadStatus Fill(int timeoutMs);

  SimLine& line_;
  SimOptions options_;
  std::map<std::string, Command> commands_;
  std::string received_;
};

}  // namespace zova::sim
