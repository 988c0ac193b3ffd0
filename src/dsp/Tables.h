// Lookup tables built once from their formulas: the exponential curve that
// turns controller-scale values into rates, increments and gains, and the
// sine table of the oscillator.
#pragma once

#include <cstdint>

inline constexpr int32_t kExpTableSize = 32768;
inline constexpr int32_t kSineTableSize = 65536;

struct LookupTables {
  LookupTables();  // builds both tables from their formulas

  int16_t exp[kExpTableSize];
  // Indexed by the phase word p + 32768, so entry p = -32768 comes first.
  int16_t sine[kSineTableSize];
};

// Built during static initialisation, read-only afterwards; nothing reads it
// before main.
extern const LookupTables lookupTables;

inline int16_t ExpTable(int32_t index) { return lookupTables.exp[index]; }
inline int16_t SineTable(int32_t phaseWord) { return lookupTables.sine[phaseWord + 32768]; }

// ExpTable at v clamped to 0..32767: one octave per 2184.5 units.
inline int32_t Curve(int32_t v) {
  if (v > kExpTableSize - 1) v = kExpTableSize - 1;
  if (v < 0) v = 0;
  return lookupTables.exp[v];
}
