// A full patch area built directly on DSP blocks, wired as a player would wire
// it: voices of oscillators into filters, amplifiers and mixers, envelopes and
// sequencers clocked by an LFO's sync output, a drum pattern, a delay line, a
// flanger and the outputs.
#pragma once

#include <cstdint>

inline constexpr int32_t kFullPatchBlocks = 104;  // 13 x 8 modules fill the grid

// The same 104 modules three ways: as a player makes them (wires mostly from
// older to newer modules, one frame late); with the render order reversed,
// so that every wire carries the same frame and the voices become long
// chains; and with feedback wires that close a loop through each voice's
// filters and amplifier and through its oscillator and ring modulator.
enum class PatchShape { AsPlayed, Chains, Feedback };

// Starts from a fresh engine and returns the number of blocks made.
int32_t BuildFullPatch(PatchShape shape = PatchShape::AsPlayed);

// Fresh engine with `count` blocks of one opcode, fed by a sine oscillator
// and clocked by an LFO (two more blocks).
void BuildSingleKindPatch(int32_t opcode, int32_t count);
