// A full patch area built directly on DSP blocks, wired as a player would wire
// it: voices of oscillators into filters, amplifiers and mixers, envelopes and
// sequencers clocked by an LFO's sync output, a drum pattern, a delay line, a
// flanger and the outputs.
#pragma once

#include <cstdint>

inline constexpr int32_t kFullPatchBlocks = 104;  // 13 x 8 modules fill the grid

// Starts from a fresh engine and returns the number of blocks made.
int32_t BuildFullPatch();

// Fresh engine with `count` blocks of one opcode, fed by a sine oscillator
// and clocked by an LFO (two more blocks).
void BuildSingleKindPatch(int32_t opcode, int32_t count);
