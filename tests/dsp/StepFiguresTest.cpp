// The documented figures of each module's step, one row each: a block with
// its controllers, every input fed by a constant, some words preset, then
// words checked after a given number of frames. A golden render tells that
// the sound changed; these rows tell which step and which edge.
#include <array>

#include "DspTestSupport.h"
#include "dsp/Pools.h"
#include "dsp/RenderSteps.h"
#include "dsp/Tables.h"

namespace {

using namespace BlockWord;
using namespace Opcode;
constexpr int32_t O(int32_t o) { return kOutput + o; }
constexpr int32_t S(int32_t k) { return kState + k; }
constexpr int32_t Osc(int32_t waveform) { return kOscillatorFirst + waveform; }
constexpr int32_t Flt(int32_t mode) { return kFilterFirst + mode; }
// Sample i of delay buffer n, read in place of a block word.
constexpr int32_t kInBuffer = 1 << 20;
constexpr int32_t D(int32_t n, int32_t i) { return kInBuffer + n * kDelayBufferSamples + i; }
constexpr int32_t kMin = -2147483647 - 1, kMax = 2147483647;
int32_t Q15(int64_t a, int64_t b) { return static_cast<int32_t>(a * b) >> 15; }

struct Figure {
  int32_t opcode;
  std::array<int32_t, 6> ctl;
  std::array<int32_t, 5> in;
  std::vector<std::array<int32_t, 2>> preset;  // offset, value
  std::vector<std::array<int32_t, 3>> expect;  // frames, offset, value
  int32_t noise = 0;     // the noise value of the first frame; later frames get 0
  bool impulse = false;  // input 0 falls to 0 after the first frame
};

// Built on first use: the rows read the lookup tables, which are built during
// static initialisation.
const std::vector<Figure>& Figures() {
  static const std::vector<Figure> rows = {
    // OSC: phase increments by Curve(frequency + FM 1 + FM 2).
    {Osc(0), {22000, 0, 0, 32767}, {0, 0, 32767}, {}, {{1, S(0), 1074}, {1, O(0), Q15(32767, SineTable(1074))}, {2, S(0), 2148}, {2, S(1), 2148}}},
    {Osc(2), {0}, {20000, 437, 32767}, {}, {{1, S(0), 654}}},
    {Osc(2), {kMax}, {1, 0, 32767}, {}, {{1, S(0), 0}}},
    {Osc(2), {32767}, {0, 0, 32767}, {{S(0), kMax}}, {{1, S(0), kMin + 32766}}},  // wraps in 32 bits
    // OSC waveforms at their corners (frequency 0 keeps the phase word p).
    {Osc(0), {}, {0, 0, 32767}, {{S(0), -8192}, {S(1), -8192}}, {{1, O(0), Q15(32767, SineTable(-8192))}}},
    {Osc(1), {}, {0, 0, 32767}, {{S(0), -32768}, {S(1), -32768}}, {{1, O(0), Q15(32767, 32767)}}},
    {Osc(1), {}, {0, 0, 32767}, {{S(0), 32767}, {S(1), 32767}}, {{1, O(0), Q15(32766, 32767)}}},
    {Osc(2), {}, {0, 0, 32767}, {{S(0), 32767}, {S(1), 32767}}, {{1, O(0), 32766}}},
    {Osc(2), {}, {0, 0, 32767}, {{S(0), -32768}, {S(1), -32768}}, {{1, O(0), -32767}}},
    {Osc(3), {}, {0, 0, 32767}, {{S(0), 16383}, {S(1), 16383}}, {{1, O(0), (16383 * 32767) >> 14}}},
    {Osc(3), {}, {0, 0, 32767}, {{S(0), -16384}, {S(1), -16384}}, {{1, O(0), 0}}},
    {Osc(4), {}, {0, 0, 1000, 32767}, {{S(0), 32766}, {S(1), 32766}}, {{1, O(0), 1000}}},
    {Osc(4), {}, {0, 0, 1000, 32767}, {{S(0), 32767}, {S(1), 32767}}, {{1, O(0), -1000}}},
    // Sync out marks a falling phase word (2185 gives an increment of 1); sync in holds the phase at 0.
    {Osc(2), {2185}, {0, 0, 32767}, {{S(0), 65535}, {S(1), -1}}, {{1, O(4), 0}}},
    {Osc(2), {2185}, {0, 0, 32767}, {{S(0), 32767}, {S(1), 32767}}, {{1, O(4), 32767}}},
    {Osc(1), {22000}, {0, 0, 32767, 0, 1}, {{S(0), 12345}, {S(1), 12345}}, {{1, S(0), 0}, {1, O(4), 32767}, {1, O(0), -32767}, {2, O(4), 0}}},
    // Only the low five bits of the range shift count: 40 acts as 8.
    {Osc(2), {22000}, {0, 0, 32767}, {{kRangeShift, 40}, {S(0), 0x123400}}, {{1, S(1), int16_t((0x123400 + 1074) >> 8)}}},
    // Noise takes a new level when the phase word wraps, and holds it otherwise.
    {Osc(5), {22000}, {0, 0, 32767}, {{S(0), 32767 - 1073}, {S(1), 32767 - 1073}}, {{1, O(4), 32767}, {2, O(0), Q15(15544, 32767)}}, 15544},

    // VCF fed full scale: low, high and band-pass of the first frames.
    {kVCF, {22000, 0, 0, 0, 16383}, {32767, 0, 0, 16383}, {}, {{1, O(0), 922}, {1, O(1), 8191}, {1, O(2), 2749}, {2, O(0), 1626}, {2, O(2), 3022}}},
    // A zero cutoff freezes the smoothed outputs; high-pass = (band x 16383 >> 14) + 8191 - 8 x low.
    {kVCF, {0, 0, 0, 0, 16383}, {32767, 0, 0, 16383}, {{O(0), 1234}, {O(2), -777}}, {{1, O(0), 1234}, {1, O(2), -777}, {1, O(1), -2458}}},
    // 536870911 x 22000 wraps to a negative product: the band-pass comes out at -1.
    {kVCF, {22000, 0, 0, 0, 16383}, {kMax, 0, 0, kMin}, {}, {{1, O(0), -1}, {1, O(1), 536870911}, {1, O(2), -1}, {2, O(0), 7229}, {2, O(2), 21537}}},
    // FLT modes fed full scale, first frames and settled; band-pass runs a first stage.
    {Flt(0), {22000, 0, 0, 0, 8192}, {32767, 0, 0, 8192}, {{S(0), 4321}}, {{1, O(0), 2749}, {1, S(0), 4321}, {2, O(0), 4691}, {20004, O(0), 9359}}},
    {Flt(1), {22000, 0, 0, 0, 8192}, {32767, 0, 0, 8192}, {{S(0), 4321}}, {{1, O(0), 5441}, {1, S(0), 4321}, {2, O(0), 3163}, {20004, O(0), 3835}}},
    {Flt(2), {22000, 0, 0, 0, 8192}, {32767, 0, 0, 8192}, {}, {{1, O(0), 1826}, {1, S(0), 2749}, {2, O(0), 2200}, {20004, O(0), 4140}}},
    // The cutoff is controller 0 plus inputs 1 and 2, clamped to 0..32767.
    {Flt(0), {22000}, {32767, -30000, 0, 8192}, {}, {{1, O(0), 0}}},
    {Flt(0), {22000}, {32767, 20000, 20000, 8192}, {}, {{1, O(0), 4095}}},
    {Flt(0), {kMax}, {32767, 1, 0, 8192}, {}, {{1, O(0), 0}}},

    // VCA: input 0 times controller 0 plus input 1, in 4096ths.
    {kVCA, {4096, 0, 30000, 30000}, {1000}, {}, {{1, O(0), 1000}}},
    {kVCA, {1}, {-1}, {}, {{1, O(0), -1}}},
    {kVCA, {2048}, {1000, 2048}, {}, {{1, O(0), 1000}}},
    // ADD sums its four inputs without limit, wrapping in 32 bits.
    {kADD, {}, {32767, 32767, 32767, 32767}, {}, {{1, O(0), 131068}}},
    {kADD, {}, {kMax, 32767, -5, 32767}, {}, {{1, O(0), static_cast<int32_t>(2147483647LL + 32767 * 2 - 5 - 4294967296LL)}}},
    // MUL is a Q15 product.
    {kMUL, {}, {16384, 16384}, {}, {{1, O(0), 8192}}},
    {kMUL, {}, {-32768, -32768}, {}, {{1, O(0), 32768}}},
    // CLP amplifies by input 1 in 1024ths, then clamps to a third of full scale.
    {kCLP, {}, {1000, 2048}, {}, {{1, O(0), 2000}}},
    {kCLP, {}, {32767, 1024}, {}, {{1, O(0), 10922}}},
    {kCLP, {}, {-32767, 1024}, {}, {{1, O(0), -10923}}},
    {kCLP, {}, {kMax, kMax}, {}, {{1, O(0), 10922}}},  // products beyond 64 bits after the x16
    // MIX weighs four channels by their volumes, then by the master.
    {kMIX, {32767, 26000, 26000, 26000, 26000, 26000}, {10000, 10000, 10000, 10000}, {}, {{1, O(0), 1167}}},
    {kMIX, {-1, -1, -1, -1, -1, 26000}, {10000, 10000, 10000, 10000}, {}, {{1, O(0), 0}}},
    {kMIX, {32767, 32767}, {32767}, {}, {{1, O(0), 8191}}},

    // ENV (attack, decay to the break point, second decay; gate on input 4).
    {kENV, {32767, 28000, 28000}, {28000, 28000, 0, 0, 32767}, {}, {{1, O(0), 13}, {2270, O(0), 31999}, {4540, O(0), 0}, {5000, O(0), 0}}},
    {kENV, {32767, 28000, 28000, 16000}, {28000, 28000, 16000, 0, 32767}, {}, {{20000, O(0), 15995}}},
    {kENV, {32767, 28000, 28000}, {28000, 28000, 0, 0, 40000}, {}, {{1, O(0), 13}, {100, O(0), 13}}},  // retriggers
    // Scaled by a negative amplitude; a zero attack rate freezes the level.
    {kENV, {-16384, 2184, 28000}, {2184, 28000, 0, 0, 32767}, {{O(2), 2560000}, {O(3), 32767}, {O(1), 32767}}, {{10, O(0), -2500}}},
    // GLI follows at 1/128 per frame at full speed, never at zero speed.
    {kGLI, {0, 0, 32767}, {32767, 32767}, {}, {{1, O(0), 255}, {2, O(0), 509}, {128, O(0), 20759}, {1400, O(0), 32767}}},
    {kGLI, {0, 0, 2184}, {-30000, 2184}, {{O(0), 700}, {S(0), 700 << 16}}, {{100, O(0), 700}}},
    // SWI takes input 1 while input 2 is above zero.
    {kSWI, {}, {100, 200, 0}, {}, {{1, O(0), 100}}},
    {kSWI, {}, {100, 200, 1}, {}, {{1, O(0), 200}}},

    // DLY: the default line echoes after 4097 frames at a quarter; the direct sound passes at once.
    {kDLY, {4096, 0, 8192}, {32767, 8192}, {{kBufferNumber, 1}}, {{4097, O(0), 0}, {4098, O(0), 32754}, {8195, O(0), 8188}}, 0, true},
    {kDLY, {4096, 0, 8192, 32767}, {32767, 8192, 32767}, {}, {{1, O(0), 32766}, {2, O(0), 0}, {4098, O(0), 32754}}, 0, true},
    {kDLY, {0, 0, 8192}, {32767, 8192}, {}, {{1, O(0), 0}, {2, O(0), 32754}, {3, O(0), 8188}}, 0, true},
    {kDLY, {-32768, 0, 8192}, {32767, 8192}, {}, {{2, O(0), 32754}, {6, O(0), 127}}, 0, true},
    {kDLY, {10, 0, 32767}, {32767, 32767}, {}, {{12, O(0), 0}, {23, O(0), 0}}, 0, true},  // full feedback
    {kDLY, {4096, 0, 0, 32767}, {32767, 0, 32767}, {}, {{4097, O(0), 32766}, {4098, O(0), -4}}},  // 16-bit wrap
    {kDLY, {100, 0, 8192}, {0, 8192}, {{S(0), 3000}}, {{1, S(0), 0}}},
    // Hostile positions restart at 0; a length only a file can hold acts as 32767.
    {kDLY, {4096}, {1000}, {{kBufferNumber, 2}, {S(0), -1}}, {{1, S(0), 1}}},
    {kDLY, {4096}, {1000}, {{kBufferNumber, 2}, {S(0), kMax}}, {{1, S(0), 1}}},
    {kDLY, {kMax}, {1000}, {{kBufferNumber, 2}, {S(0), 32767}}, {{1, S(0), 0}}},
    {kDLY, {40000}, {1000}, {{kBufferNumber, 2}, {S(0), 32766}}, {{1, S(0), 32767}}},
    // FLA taps 2048 frames back, moved by input 1 in sixteenths of a sample.
    {kFLA, {}, {16000, 0}, {{kBufferNumber, 1}}, {{2048, O(0), 0}, {2049, O(0), 16000}, {2050, O(0), 0}}, 0, true},
    {kFLA, {}, {16000, 16}, {{kBufferNumber, 1}}, {{2047, O(0), 0}, {2048, O(0), 16000}, {2049, O(0), 0}}, 0, true},
    {kFLA, {}, {16000, 8}, {{kBufferNumber, 1}}, {{2047, O(0), 0}, {2048, O(0), 8000}, {2049, O(0), 8000}, {2050, O(0), 0}}, 0, true},
    {kFLA, {}, {16000, -32768}, {{kBufferNumber, 1}}, {{4096, O(0), 0}, {4097, O(0), 16000}}, 0, true},
    {kFLA, {}, {16000, 32752}, {{kBufferNumber, 1}}, {{1, O(0), 0}, {2, O(0), 16000}, {3, O(0), 0}}, 0, true},
    {kFLA, {}, {16000, 32767}, {{kBufferNumber, 1}}, {{2, O(0), 1000}, {3, O(0), 0}, {4097, O(0), 15000}}, 0, true},
    {kFLA, {}, {16000, 0, 32767}, {{kBufferNumber, 1}}, {{1, O(0), 0}, {2049, O(0), 31999}}, 0, true},  // linear direct tap
    // What the delay steps store: the low 16 bits, after a product that wraps in 32 bits (feedback 0 is 32767).
    {kDLY, {4096}, {65541}, {{kBufferNumber, 3}}, {{1, D(3, 0), int16_t(static_cast<int32_t>(int64_t{65541} * 32767) >> 15)}}},
    {kFLA, {}, {70000}, {{kBufferNumber, 1}, {S(0), -1}}, {{1, S(0), 0}, {1, D(1, 4095), int16_t(70000)}}},  // the counter wraps
  };
  return rows;
}

TEST(StepFigures, EveryModuleStepAtItsEdges) {
  for (size_t row = 0; row < Figures().size(); ++row) {
    const Figure& f = Figures()[row];
    ResetEngine();
    int32_t constant[5], frame = 0;
    for (int32_t k = 0; k < 5; ++k) constant[k] = MakeConstant(f.in[k]);
    const int32_t block = ReserveDSPBlock();
    for (int32_t c = 0; c < 6; ++c) SetWord(block, c, f.ctl[c]);
    for (int32_t k = 0; k < 5; ++k) Wire(block, k, constant[k], 0);
    for (const auto& [offset, value] : f.preset) SetWord(block, offset, value);
    SetOpcode(block, f.opcode);
    for (const auto& [frames, offset, value] : f.expect) {
      for (; frame < frames; ++frame) {
        Step(block, frame == 0 ? f.noise : 0);
        if (f.impulse) SetConstant(constant[0], 0);
      }
      const int32_t at = offset - kInBuffer;
      const int32_t word = at >= 0 ? DelayBuffer[at / kDelayBufferSamples][at % kDelayBufferSamples] : Word(block, offset);
      EXPECT_EQ(word, value) << "row " << row << ", word " << offset << " after " << frames;
    }
    // No step writes a delay buffer but its own, and a flanger only its window.
    const int32_t own = UsesDelayBuffer(f.opcode) ? Word(block, kBufferNumber) & 3 : -1, end = f.opcode == kFLA ? 4096 : kDelayBufferSamples;
    for (int32_t n = 0; n < kDelayBufferCount; ++n)
      for (int32_t i = n == own ? end : 0; i < kDelayBufferSamples; ++i) ASSERT_EQ(DelayBuffer[n][i], 0) << "row " << row << ", " << n << ": " << i;
  }
}

}  // namespace
