#pragma once
// FindProgramName: what a received header text is and what it is called, in
// one of the five search modes, by one of the HenteProgram methods.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/config.h"
#include "files/namesearch/primitives.h"

namespace zova {

inline constexpr int kMethodCount = 27;

// The key, start and stop of the mode, and the second set of the three for the
// methods that try two forms.
struct ModeKeys {
  std::string key, start1, stop1;
  std::string key2, start2, stop2;
};

struct FindInput {
  SearchMode mode = smFetch;
  int method = 0;  // 0..26; anything else runs STANDARD
  ModeKeys keys;
  std::string_view headerText;
  std::string programExt;  // upper-cased, with its dot
  CharSet extraChars;      // KatalogTegn and FilNavnTegn
  int tallLengde = 0;
  int startLinje = 1;
  int maxLinjer = 4;
  int maxLinjer2 = 4;
  uint8_t maxLengde = 20;
  bool tallSjekk = true;
  bool bareTall = false;
  bool filNavnProgram = false;
  int seriesThreshold = 5000;
};

struct NameResult {
  std::string name{kNoName};
  bool found = false;
  bool firstPair = true;  // in/out: methods that never touch it keep the caller's value
  bool extended = false;
  bool askName = false;
};

// Result.firstPair comes in as the caller's value; every other field is set.
void FindProgramName(const FindInput& in, NameResult& result);

// What a method sees: the prepared windows and the mode's settings.
struct MethodContext {
  const FindInput& in;
  std::string t;   // main line window
  std::string t2;  // second window
  SearchMode mode;
  const ModeKeys& k;
  uint8_t l;  // MaxLengde
  Look look;  // the default look: key check, filter, extra characters, max L

  bool Save() const { return mode == smSave; }
  // One SearchName on T (or another text) with the default look unless given.
  std::string Search(std::string_view key, std::string_view start, std::string_view stop) const {
    return SearchName(t, key, start, stop, look);
  }
  std::string Search(std::string_view key, std::string_view start, std::string_view stop,
                     const Look& lk) const {
    return SearchName(t, key, start, stop, lk);
  }
};

using MethodFn = void (*)(MethodContext& c, NameResult& r);

// The methods by number; every entry is set.
MethodFn MethodByNumber(int method);

}  // namespace zova
