#include "dsp/Tables.h"

#include <cmath>

namespace {

// entry i = floor(exp(i / d)) - 1, with d the single-precision number nearest
// to 3151.51 and exp in double precision: a curve that doubles every 2184.5
// steps and runs from 0 to 32767.
void BuildExpTable(int16_t* table) {
  const double divisor = static_cast<double>(3151.51f);
  for (int32_t i = 0; i < kExpTableSize; ++i)
    table[i] = static_cast<int16_t>(std::floor(std::exp(i / divisor)) - 1.0);
}

// Entries where the table we must match differs from truncating
// 32767 sin(2 pi p / 65536); their negatives mirror them.
struct SineOverride {
  int32_t phaseWord;
  int16_t value;
};
constexpr SineOverride kSineOverrides[] = {
    {5108, 15412}, {16384, 32766}, {24043, 24323}, {26201, 19294}, {28131, 14092}, {28200, 13896},
};

void BuildSineTable(int16_t* table) {
  const double pi = std::acos(-1.0);
  for (int32_t p = 0; p < 32768; ++p) {
    const auto value = static_cast<int16_t>(std::trunc(32767.0 * std::sin(2.0 * pi * p / 65536.0)));
    table[32768 + p] = value;
    table[32768 - p] = static_cast<int16_t>(-value);
  }
  table[0] = 0;  // p = -32768
  for (const SineOverride& o : kSineOverrides) {
    table[32768 + o.phaseWord] = o.value;
    table[32768 - o.phaseWord] = static_cast<int16_t>(-o.value);
  }
}

}  // namespace

LookupTables::LookupTables() : exp{}, sine{} {
  BuildExpTable(exp);
  BuildSineTable(sine);
}

const LookupTables lookupTables;
