#pragma once
// Ready-made instrument recipes shared by the groups: a pitched sound with its loop and, for
// XM, its envelope. Each returns a complete Instrument; the groups only choose and adjust.

#include "content/music/module.h"

#include <cstdint>

namespace music {

Envelope adsr(int attackTicks, int decayTicks, int sustainLevel, int releaseTicks);
Envelope percussive(int decayTicks); // no sustain: the sound dies away by itself

// XM sounds (16-bit)
Instrument chipPulse(const char* name, double duty);
Instrument chipTriangle(const char* name);
Instrument sawLead(const char* name, int layers);
Instrument padStrings(const char* name, double brightness);
Instrument sineBass(const char* name);
Instrument choir(const char* name, bool ooh);
Instrument organ(const char* name);
Instrument flute(const char* name);

// MOD sounds (8-bit, attack baked into the sample since MOD has no envelopes)
Instrument modPulse(const char* name, double duty, double midi);
Instrument modSaw(const char* name, double midi, int attack);
Instrument modTriangle(const char* name, double midi);

} // namespace music
