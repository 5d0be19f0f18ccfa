#pragma once
// The chip-reader layers between the display driver and the 3964R layer.
// This station serves no such reader itself; the layers stand so that the
// telegram drivers keep their place in the driver chain.

#include "serial/display/tdisplay.h"

namespace zova {

// Tool-identification chip reader: no behaviour of its own here.
class TBalluff : public TDisplay {
 public:
  using TDisplay::TDisplay;
};

// Chip reader with data records: no behaviour of its own here.
class TBalluffData : public TBalluff {
 public:
  using TBalluff::TBalluff;
};

}  // namespace zova
