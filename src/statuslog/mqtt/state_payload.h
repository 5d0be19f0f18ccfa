#pragma once
// What is published for a machine: one topic per machine (prefix + "/" +
// its section name, "zova/Maskin7"), and as payload the machine's whole
// last state, so that the retained message alone tells a late subscriber
// everything: the Status cell, the last status record, and which of the two
// this message reports. Seq numbers every message of a station's run: a
// subscriber sees a gap where the queue overflowed and a repeat where the
// broker got a message twice (QoS 1 delivers at least once).

#include <cstdint>
#include <string>

#include "core/driver/status_record_sink.h"

namespace zova::mqtt {

enum class StateEvent { Record, Status };

struct MachineState {
  int Machine = 0;
  std::string Name;    // Navn (Latin-1)
  std::string Status;  // the Status cell (Latin-1)
  bool HasRecord = false;
  StatusRecordEvent Record;
};

std::string StateTopic(const std::string& prefix, int machine);
// UTF-8 JSON: {"machine":7,"name":"Fres 7","event":"record","seq":12,
// "status":"Kjører kommunikasjon","record":{"time":"2024-05-02T10:15:00.250+02:00",
// "code":10,"text":"START","stored":true}}; "record" is null before the first.
std::string StatePayload(const MachineState& state, StateEvent event, uint64_t seq);
// ISO 8601 in local time with its offset, to the millisecond.
std::string IsoTime(WallTime t);

}  // namespace zova::mqtt
