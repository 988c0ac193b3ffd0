#include "DspTestSupport.h"
#include "dsp/RenderSteps.h"
#include "dsp/Tables.h"

namespace {

using OscillatorTest = EngineTest;

constexpr int32_t kPhase = 0, kLastPhaseWord = 1;

// A new OSC as the patch model makes it: frequency 22000, depth through
// input 2 from controller 3, width through input 3 from controller 4.
int32_t MakeOsc(int32_t waveform, int32_t frequency = 22000, int32_t depth = 32767) {
  return MakeBlock(Opcode::kOscillatorFirst + waveform, {frequency, 0, 0, depth, 0, 0}, {35, 35, 3, 4, 35});
}

TEST_F(OscillatorTest, ANewSineAdvancesBy1074) {
  const int32_t osc = MakeOsc(0);
  Step(osc);
  EXPECT_EQ(State(osc, kPhase), 1074);
  EXPECT_EQ(Out(osc, 0), (32767 * SineTable(1074)) >> 15);
  Step(osc);
  EXPECT_EQ(State(osc, kPhase), 2148);
  EXPECT_EQ(State(osc, kLastPhaseWord), 2148);
}

TEST_F(OscillatorTest, FrequencyFollowsTheCurveOfControllerPlusBothFmInputs) {
  struct Case {
    int32_t frequency, fm1, fm2, increment;
  };
  const Case cases[] = {{20437, 0, 0, 654},      {0, 20000, 437, 654},       {2184, 0, 0, 0},
                        {-5000, 0, 0, 0},        {30000, 30000, 0, 32767},   {2147483647, 1, 0, 0}};
  for (const Case& c : cases) {
    ResetEngine();
    const int32_t fm1 = MakeConstant(c.fm1), fm2 = MakeConstant(c.fm2);
    const int32_t osc = MakeOsc(2, c.frequency);
    Wire(osc, 0, fm1, 0);
    Wire(osc, 1, fm2, 0);
    Step(osc);
    EXPECT_EQ(State(osc, kPhase), c.increment) << c.frequency << " + " << c.fm1 << " + " << c.fm2;
  }
}

struct WaveCase {
  int32_t waveform, phaseWord, depth, pulseWidth, expected;
};

// Sets the phase so that the frame's increment of 0 leaves p as given.
int32_t RunAtPhaseWord(const WaveCase& c) {
  ResetEngine();
  const int32_t osc = MakeOsc(c.waveform, 0, c.depth);
  SetWord(osc, 4, c.pulseWidth);
  SetWord(osc, BlockWord::kState + kPhase, c.phaseWord);
  SetWord(osc, BlockWord::kState + kLastPhaseWord, c.phaseWord);
  Step(osc);
  return Out(osc, 0);
}

TEST_F(OscillatorTest, WaveformsAtTheirCorners) {
  const WaveCase cases[] = {
      {0, 16384, 32767, 0, (32767 * 32766) >> 15},
      {0, -8192, 32767, 0, (32767 * SineTable(-8192)) >> 15},
      {1, -32768, 32767, 0, (32767 * 32767) >> 15},
      {1, -1, 32767, 0, (-32767 * 32767) >> 15},
      {1, 0, 32767, 0, (-32768 * 32767) >> 15},
      {1, 32767, 32767, 0, (32766 * 32767) >> 15},
      {2, 32767, 32767, 0, 32766},
      {2, -32768, 32767, 0, -32767},
      {3, 16383, 32767, 0, (16383 * 32767) >> 14},
      {3, 16384, 32767, 0, 0},
      {3, -16383, 32767, 0, (-16383 * 32767) >> 14},
      {3, -16384, 32767, 0, 0},
      {4, 5, 1000, 0, -1000},
      {4, -5, 1000, 0, 1000},
      {4, 32766, 1000, 32767, 1000},
      {4, 32767, 1000, 32767, -1000},
      {4, -32768, 1000, -32768, -1000},
      // A wired depth beyond 16 bits multiplies and wraps in 32 bits.
      {2, 32767, 100000, 0, static_cast<int32_t>(int64_t{32767} * 100000) >> 15},
  };
  for (const WaveCase& c : cases)
    EXPECT_EQ(RunAtPhaseWord(c), c.expected) << "waveform " << c.waveform << " p " << c.phaseWord;
}

TEST_F(OscillatorTest, SyncOutMarksAFallingPhaseWordOnly) {
  struct Case {
    int32_t phase, increment;
    int32_t syncOut;
  };
  // 2185 gives an increment of 1.
  const Case cases[] = {{65535, 1, 0}, {32767, 1, 32767}, {100, 1, 0}};
  for (const Case& c : cases) {
    ResetEngine();
    const int32_t osc = MakeOsc(2, 2185);
    SetWord(osc, BlockWord::kState + kPhase, c.phase);
    SetWord(osc, BlockWord::kState + kLastPhaseWord, static_cast<int16_t>(c.phase));
    Step(osc);
    EXPECT_EQ(Out(osc, 4), c.syncOut) << "phase " << c.phase;
  }
}

TEST_F(OscillatorTest, SyncInHoldsThePhaseAtZero) {
  const int32_t sync = MakeConstant(1);
  const int32_t osc = MakeOsc(1);
  Wire(osc, 4, sync, 0);
  SetWord(osc, BlockWord::kState + kPhase, 12345);
  SetWord(osc, BlockWord::kState + kLastPhaseWord, 12345);
  Step(osc);
  EXPECT_EQ(State(osc, kPhase), 0);
  EXPECT_EQ(Out(osc, 4), 32767);  // p dropped from 12345 to 0
  EXPECT_EQ(Out(osc, 0), (-32768 * 32767) >> 15);
  Step(osc);
  EXPECT_EQ(Out(osc, 4), 0);
  EXPECT_EQ(State(osc, kPhase), 0);
}

TEST_F(OscillatorTest, TheLowRangeUsesBits8To23) {
  const int32_t osc = MakeOsc(2, 2185 + 2184 * 7);
  SetWord(osc, BlockWord::kRangeShift, 8);
  int32_t changes = 0, last = 0;
  for (int frame = 0; frame < 1000; ++frame) {
    Step(osc);
    const int32_t p = State(osc, kLastPhaseWord);
    EXPECT_EQ(p, static_cast<int16_t>(State(osc, kPhase) >> 8));
    if (p != last) ++changes;
    last = p;
  }
  const int32_t increment = Curve(2185 + 2184 * 7);
  EXPECT_EQ(changes, (1000 * increment) / 256);
}

TEST_F(OscillatorTest, OnlyTheLowFiveBitsOfTheRangeShiftCount) {
  const int32_t osc = MakeOsc(2, 22000);
  SetWord(osc, BlockWord::kRangeShift, 32 + 8);
  SetWord(osc, BlockWord::kState + kPhase, 0x123400);
  Step(osc);
  EXPECT_EQ(State(osc, kLastPhaseWord), static_cast<int16_t>((0x123400 + 1074) >> 8));
}

TEST_F(OscillatorTest, PhaseWrapsAroundTheFull32Bits) {
  const int32_t osc = MakeOsc(2, 32767);
  SetWord(osc, BlockWord::kState + kPhase, 2147483647);
  Step(osc);
  EXPECT_EQ(State(osc, kPhase), -2147483647 - 1 + 32766);
}

TEST_F(OscillatorTest, NoiseTakesALevelOncePerCycle) {
  const int32_t a = MakeOsc(5, 22000, 32767);
  const int32_t b = MakeOsc(5, 22000, 16384);
  for (int32_t osc : {a, b}) {
    SetWord(osc, BlockWord::kState + kPhase, 32767 - 1073);
    SetWord(osc, BlockWord::kState + kLastPhaseWord, 32767 - 1073);
  }
  Step(a, 15544);
  Step(b, 15544);
  EXPECT_EQ(Out(a, 4), 32767);
  EXPECT_EQ(Out(a, 0), (15544 * 32767) >> 15);
  EXPECT_EQ(Out(b, 0), (15544 * 16384) >> 15);
  Step(a, -20000);  // no wrap: the level holds
  EXPECT_EQ(Out(a, 0), (15544 * 32767) >> 15);
}

// Depth wired to the oscillator's own SyncOut reads the value written earlier
// in the same frame.
TEST_F(OscillatorTest, ASelfWiredInputSeesThisFramesOutput) {
  const int32_t osc = MakeOsc(4, 2185);
  Wire(osc, 2, osc, 4);
  SetWord(osc, BlockWord::kState + kPhase, 32767);
  SetWord(osc, BlockWord::kState + kLastPhaseWord, 32767);
  Step(osc);  // p wraps to -32768: SyncOut 32767, square with width 0 > p gives +d
  EXPECT_EQ(Out(osc, 0), 32767);
}

}  // namespace
