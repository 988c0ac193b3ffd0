// The opcodes of the render steps, and which of its own words each step
// writes: the chunked render loop keeps exactly those words per frame.
#pragma once

#include <cstdint>

#include "dsp/DspMemory.h"

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

constexpr bool IsOscillator(int32_t opcode) { return opcode >= Opcode::kOscillatorFirst && opcode < Opcode::kOscillatorFirst + 6; }
constexpr bool IsFilter(int32_t opcode) { return opcode >= Opcode::kFilterFirst && opcode < Opcode::kFilterFirst + 3; }

// 46: every opcode with a step is below.
inline constexpr int32_t kOpcodeLimit = Opcode::kFilterFirst + 3;

// Bit o set: the step may write output o. Outputs a step never writes keep
// whatever they hold, like any other word no step writes.
constexpr uint32_t OutputsWrittenBy(int32_t opcode) {
  if (IsOscillator(opcode)) return 0b10001;
  switch (opcode) {
    case Opcode::kVCF: return 0b00111;
    case Opcode::kENV: return 0b01111;
    case Opcode::kSampleHold: return 0b00011;
    case Opcode::kSEQ: return 0b10001;
    case Opcode::kDRM:
    case Opcode::kCNT: return 0b11111;
    case Opcode::kOUT: return 0;
    default: return 0b00001;
  }
}

// SEQ and CNT keep their trigger latch in controller 5.
constexpr bool WritesControllerFive(int32_t opcode) { return opcode == Opcode::kSEQ || opcode == Opcode::kCNT; }
constexpr bool UsesDelayBuffer(int32_t opcode) { return opcode == Opcode::kDLY || opcode == Opcode::kFLA; }
// State words 0..2 are the only ones a step writes.
inline constexpr int32_t kStepStateWords = 3;
