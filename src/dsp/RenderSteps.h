// The render step of every module kind, each run once per frame for one block.
#pragma once

#include <cstdint>

#include "dsp/BlockView.h"

// Opcodes of the render loop. Every other value runs nothing.
namespace Opcode {
inline constexpr int32_t kVCF = 2;
inline constexpr int32_t kVCA = 4;
inline constexpr int32_t kADD = 5;
inline constexpr int32_t kMUL = 6;
inline constexpr int32_t kENV = 12;
inline constexpr int32_t kSampleHold = 13;
inline constexpr int32_t kGLI = 14;
inline constexpr int32_t kSWI = 15;
inline constexpr int32_t kSEQ = 16;
inline constexpr int32_t kDRM = 17;
inline constexpr int32_t kCNT = 20;
inline constexpr int32_t kCLP = 24;
inline constexpr int32_t kDLY = 32;
inline constexpr int32_t kFLA = 33;
inline constexpr int32_t kMIX = 34;
inline constexpr int32_t kOUT = 35;
inline constexpr int32_t kOscillatorFirst = 37;  // + waveform 0..5
inline constexpr int32_t kFilterFirst = 43;      // + FLT mode 0..2
}  // namespace Opcode

enum class Waveform : int32_t { Sine, Triangle, Sawtooth, Ramp, Square, Noise };
enum class FilterMode : int32_t { LowPass, HighPass, BandPass };

void RenderOscillator(BlockView b, Waveform waveform, int32_t noiseValue);

void RenderVCF(BlockView b);
void RenderFLT(BlockView b, FilterMode mode);

void RenderVCA(BlockView b);
void RenderADD(BlockView b);
void RenderMUL(BlockView b);
void RenderCLP(BlockView b);
void RenderMIX(BlockView b);

void RenderENV(BlockView b);
void RenderSampleHold(BlockView b);
void RenderGLI(BlockView b);
void RenderSWI(BlockView b);

void RenderSEQ(BlockView b);
void RenderCNT(BlockView b);

void RenderDLY(BlockView b);
void RenderFLA(BlockView b);

void RenderDRM(BlockView b);

// The output stage: adds the block's contribution to the two channel sums.
void RenderOUT(BlockView b, int32_t& leftSum, int32_t& rightSum);
