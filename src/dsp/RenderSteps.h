// Every render step, and RunStep, which runs the step of a given opcode on any
// view of a block: the live words of DspMemory (BlockView) for the
// frame-by-frame loop, or a block's words held in registers for a chunk of
// frames (ChunkKernels.h). One body per step serves both.
#pragma once

#include <cstdint>
#include <utility>

#include "dsp/AmplifierSteps.h"
#include "dsp/ControlSteps.h"
#include "dsp/DelaySteps.h"
#include "dsp/DrumStep.h"
#include "dsp/FilterSteps.h"
#include "dsp/OscillatorStep.h"
#include "dsp/OutputStep.h"
#include "dsp/SequencerSteps.h"
#include "dsp/StepKinds.h"

constexpr bool HasStep(int32_t opcode) {
  if (IsOscillator(opcode) || IsFilter(opcode)) return true;
  switch (opcode) {
    case Opcode::kVCF: case Opcode::kVCA: case Opcode::kADD: case Opcode::kMUL:
    case Opcode::kENV: case Opcode::kSampleHold: case Opcode::kGLI: case Opcode::kSWI:
    case Opcode::kSEQ: case Opcode::kDRM: case Opcode::kCNT: case Opcode::kCLP:
    case Opcode::kDLY: case Opcode::kFLA: case Opcode::kMIX: case Opcode::kOUT:
      return true;
    default:
      return false;
  }
}

// The frame's noise value reaches only the oscillator; the channel sums only OUT.
template <int32_t Op, class View>
inline void RunStep(View b, int32_t noiseValue, int32_t& left, int32_t& right) {
  if constexpr (IsOscillator(Op)) RenderOscillator(b, static_cast<Waveform>(Op - Opcode::kOscillatorFirst), noiseValue);
  else if constexpr (IsFilter(Op)) RenderFLT(b, static_cast<FilterMode>(Op - Opcode::kFilterFirst));
  else if constexpr (Op == Opcode::kVCF) RenderVCF(b);
  else if constexpr (Op == Opcode::kVCA) RenderVCA(b);
  else if constexpr (Op == Opcode::kADD) RenderADD(b);
  else if constexpr (Op == Opcode::kMUL) RenderMUL(b);
  else if constexpr (Op == Opcode::kENV) RenderENV(b);
  else if constexpr (Op == Opcode::kSampleHold) RenderSampleHold(b);
  else if constexpr (Op == Opcode::kGLI) RenderGLI(b);
  else if constexpr (Op == Opcode::kSWI) RenderSWI(b);
  else if constexpr (Op == Opcode::kSEQ) RenderSEQ(b);
  else if constexpr (Op == Opcode::kDRM) RenderDRM(b);
  else if constexpr (Op == Opcode::kCNT) RenderCNT(b);
  else if constexpr (Op == Opcode::kCLP) RenderCLP(b);
  else if constexpr (Op == Opcode::kDLY) RenderDLY(b);
  else if constexpr (Op == Opcode::kFLA) RenderFLA(b);
  else if constexpr (Op == Opcode::kMIX) RenderMIX(b);
  else if constexpr (Op == Opcode::kOUT) RenderOUT(b, left, right);
  static_assert(HasStep(Op), "RunStep is only instantiated for opcodes with a step");
}

// A table indexed by opcode: Make<Op>::value for every opcode with a step,
// Entry{} for the others.
template <class Entry, template <int32_t> class Make, int32_t Op>
constexpr Entry StepTableEntry() {
  if constexpr (HasStep(Op)) return Make<Op>::value;
  else return Entry{};
}
template <class Entry, template <int32_t> class Make, int32_t... Ops>
constexpr void FillStepTable(Entry* table, std::integer_sequence<int32_t, Ops...>) {
  ((table[Ops] = StepTableEntry<Entry, Make, Ops>()), ...);
}
