#include "BenchPatch.h"

#include <initializer_list>

#include "dsp/DspMemory.h"
#include "dsp/EngineReset.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"
#include "dsp/RenderSteps.h"
#include "dsp/RenderWalk.h"

namespace {

int32_t blocksMade = 0;

// Defaults as the module catalogue gives them: inputs paired with a
// controller read it until wired.
int32_t Block(int32_t opcode, std::initializer_list<int32_t> controllers,
              std::initializer_list<int32_t> inputOffsets = {35, 35, 35, 35, 35}) {
  const int32_t b = ReserveDSPBlock();
  int32_t i = 0;
  for (int32_t value : controllers) DspMemory.Store(b + i++, value);
  i = 0;
  for (int32_t offset : inputOffsets) DspMemory.Store(b + BlockWord::kInput + i++, b + offset);
  ++blocksMade;
  SetOpcode(b, opcode);
  return b;
}

void Wire(int32_t to, int32_t input, int32_t from, int32_t output) {
  DspMemory.Store(to + BlockWord::kInput + input, from + BlockWord::kOutput + output);
}

int32_t Osc(int32_t waveform, int32_t frequency, bool lowRange = false) {
  const int32_t b = Block(Opcode::kOscillatorFirst + waveform, {frequency, 0, 0, 32767, 0, 0}, {35, 35, 3, 4, 35});
  DspMemory.Store(b + BlockWord::kRangeShift, lowRange ? 8 : 0);
  return b;
}

struct Voice {
  int32_t output;
  int32_t osc, ring, vcf;
};

// Ten modules: sequencer -> glide -> two detuned oscillators -> ring and
// adder -> VCF swept by its envelope -> FLT -> VCA.
Voice BuildVoice(int32_t clock, int32_t index) {
  const int32_t seq = Block(Opcode::kSEQ, {32767, 0, 0, 0, 0, 0});
  for (int32_t s = 0; s < 16; ++s) DspMemory.Store(seq + BlockWord::kStep + s, ((s * 5 + index * 3) % 12) * 182);
  Wire(seq, 4, clock, 4);
  const int32_t glide = Block(Opcode::kGLI, {0, 0, 26000, 0, 0, 0}, {35, 2, 35, 35, 35});
  Wire(glide, 0, seq, 0);
  const int32_t osc1 = Osc(2, 14000 + index * 400);
  const int32_t osc2 = Osc(4, 14020 + index * 400);
  Wire(osc1, 0, glide, 0);
  Wire(osc2, 0, glide, 0);
  const int32_t ring = Block(Opcode::kMUL, {0, 0, 0, 0, 0, 0}, {1, 2, 35, 35, 35});
  Wire(ring, 0, osc1, 0);
  Wire(ring, 1, osc2, 0);
  const int32_t sum = Block(Opcode::kADD, {0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 35});
  Wire(sum, 0, osc1, 0);
  Wire(sum, 1, osc2, 0);
  Wire(sum, 2, ring, 0);
  const int32_t env = Block(Opcode::kENV, {12000, 30000, 24000, 8000, 20000, 0}, {1, 2, 3, 4, 35});
  Wire(env, 4, clock, 4);
  const int32_t vcf = Block(Opcode::kVCF, {6000, 0, 0, 0, 20000, 0}, {35, 35, 35, 4, 35});
  Wire(vcf, 0, sum, 0);
  Wire(vcf, 1, env, 0);
  const int32_t flt = Block(Opcode::kFilterFirst + 1, {2000, 0, 0, 0, 8192, 0}, {35, 35, 35, 4, 35});
  Wire(flt, 0, vcf, 0);
  const int32_t vca = Block(Opcode::kVCA, {0, 0, 0, 0, 0, 0});
  Wire(vca, 0, flt, 0);
  Wire(vca, 1, env, 0);
  return {vca, osc1, ring, vcf};
}

// Cutoff from the amplifier's output, FM from the ring modulator: two loops per voice.
void CloseVoiceLoops(const Voice& voice) {
  Wire(voice.vcf, 2, voice.output, 0);
  Wire(voice.osc, 1, voice.ring, 0);
}

// Relinks the render list oldest first.
void ReverseRenderOrder() {
  int32_t reversed = kNone;
  for (int32_t block = RenderListHead.load(); block != kNone;) {
    const int32_t next = DspMemory.Load(block + BlockWord::kNext);
    DspMemory.Store(block + BlockWord::kNext, reversed);
    DspMemory.Store(block + BlockWord::kPrevious, next);
    reversed = block;
    block = next;
  }
  RenderListHead.store(reversed);
  NoteRenderGraphChanged();
}

}  // namespace

int32_t BuildFullPatch(PatchShape shape) {
  ResetEngineToProgramStart();
  blocksMade = 0;
  const int32_t clock = Osc(4, 26000, true);
  const int32_t lfo = Osc(0, 20000, true);
  const int32_t counter = Block(Opcode::kCNT, {});
  Wire(counter, 4, clock, 4);

  Voice voices[8];
  for (int32_t v = 0; v < 8; ++v) voices[v] = BuildVoice(clock, v);

  // Drums: the pattern player triggers a noise hit and a pitched thump.
  const int32_t drums = Block(Opcode::kDRM, {});
  DspMemory.Store(drums + BlockWord::kBufferNumber, 0);
  for (int32_t s = 0; s < 64; ++s) {
    SetDrumByte(DrumByteOffset(0, 0, 0, s), s % 4 == 0);
    SetDrumByte(DrumByteOffset(0, 0, 1, s), s % 8 == 4);
  }
  Wire(drums, 4, clock, 4);
  const int32_t noise = Osc(5, 32000);
  const int32_t hatEnv = Block(Opcode::kENV, {32767, 32767, 29000, 0, 0, 0}, {1, 2, 3, 4, 35});
  Wire(hatEnv, 4, drums, 1);
  const int32_t hat = Block(Opcode::kVCA, {0, 0, 0, 0, 0, 0});
  Wire(hat, 0, noise, 0);
  Wire(hat, 1, hatEnv, 0);
  const int32_t kickEnv = Block(Opcode::kENV, {32767, 32767, 27000, 0, 0, 0}, {1, 2, 3, 4, 35});
  Wire(kickEnv, 4, drums, 0);
  const int32_t kick = Osc(0, 12000);
  Wire(kick, 0, kickEnv, 0);
  const int32_t kickAmp = Block(Opcode::kVCA, {0, 0, 0, 0, 0, 0});
  Wire(kickAmp, 0, kick, 0);
  Wire(kickAmp, 1, kickEnv, 0);
  const int32_t hold = Block(Opcode::kSampleHold, {});
  Wire(hold, 0, noise, 0);
  Wire(hold, 4, counter, 1);
  const int32_t smoothLfo = Block(Opcode::kGLI, {0, 0, 30000, 0, 0, 0}, {35, 2, 35, 35, 35});
  Wire(smoothLfo, 0, lfo, 0);
  const int32_t pick = Block(Opcode::kSWI, {0, 0, 0, 0, 0, 0}, {1, 2, 35, 35, 35});
  Wire(pick, 0, smoothLfo, 0);
  Wire(pick, 1, hold, 0);
  Wire(pick, 2, counter, 2);

  // Mixing: two four-channel mixers for the voices, one for the drums.
  const int32_t mixA = Block(Opcode::kMIX, {32767, 30000, 30000, 30000, 30000, 26000});
  const int32_t mixB = Block(Opcode::kMIX, {32767, 30000, 30000, 30000, 30000, 26000});
  for (int32_t v = 0; v < 4; ++v) {
    Wire(mixA, v, voices[v].output, 0);
    Wire(mixB, v, voices[v + 4].output, 0);
  }
  const int32_t drumMix = Block(Opcode::kMIX, {32767, 31000, 31000, 0, 0, 26000});
  Wire(drumMix, 0, hat, 0);
  Wire(drumMix, 1, kickAmp, 0);
  const int32_t bus = Block(Opcode::kADD, {0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 35});
  Wire(bus, 0, mixA, 0);
  Wire(bus, 1, mixB, 0);
  Wire(bus, 2, drumMix, 0);

  // Effects: an echo and a flanger swept by the LFO, then a clipper.
  const int32_t echo = Block(Opcode::kDLY, {11025, 0, 12000, 31000, 0, 0}, {35, 2, 3, 35, 35});
  DspMemory.Store(echo + BlockWord::kBufferNumber, 0);
  Wire(echo, 0, bus, 0);
  const int32_t flanger = Block(Opcode::kFLA, {0, 0, 0, 16384, 0, 0}, {35, 2, 3, 35, 35});
  DspMemory.Store(flanger + BlockWord::kBufferNumber, 1);
  Wire(flanger, 0, bus, 0);
  Wire(flanger, 1, pick, 0);
  const int32_t wet = Block(Opcode::kMIX, {32767, 31000, 31000, 0, 0, 26000});
  Wire(wet, 0, echo, 0);
  Wire(wet, 1, flanger, 0);
  const int32_t clip = Block(Opcode::kCLP, {0, 0, 3000, 0, 0, 0}, {35, 2, 3, 35, 35});
  Wire(clip, 0, wet, 0);

  const int32_t slap = Block(Opcode::kDLY, {3000, 0, 4000, 0, 0, 0}, {35, 2, 3, 35, 35});
  DspMemory.Store(slap + BlockWord::kBufferNumber, 2);
  Wire(slap, 0, clip, 0);

  const int32_t main = Block(Opcode::kOUT, {0, 0, 0, 26000, 0, 0});
  Wire(main, 2, clip, 0);
  const int32_t sides = Block(Opcode::kOUT, {0, 20000, 0, 0, 0, 20000});
  Wire(sides, 0, slap, 0);
  Wire(sides, 4, flanger, 0);

  if (shape == PatchShape::Feedback)
    for (const Voice& voice : voices) CloseVoiceLoops(voice);
  if (shape == PatchShape::Chains) ReverseRenderOrder();
  return blocksMade;
}

void BuildSingleKindPatch(int32_t opcode, int32_t count) {
  ResetEngineToProgramStart();
  const int32_t source = Osc(0, 20437);
  const int32_t clock = Osc(4, 30000, true);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t b = Block(opcode, {16000, 20000, 20000, 8000, 20000, 0}, {35, 2, 3, 4, 35});
    DspMemory.Store(b + BlockWord::kBufferNumber, i % kDelayBufferCount);
    Wire(b, 0, source, 0);
    Wire(b, 4, clock, 4);
  }
}
