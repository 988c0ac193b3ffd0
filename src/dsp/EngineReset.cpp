#include "dsp/EngineReset.h"

#include <cstring>

#include "dsp/DspMemory.h"
#include "dsp/Pools.h"
#include "dsp/RenderBuffer.h"

void ResetEngineToProgramStart() {
  for (int32_t i = 0; i < kDspWordCount; ++i) DspMemory.Store(i, 0);
  std::memset(DelayBuffer, 0, sizeof DelayBuffer);
  for (int32_t offset = 0; offset < kDrumBufferCount * kDrumBufferBytes; ++offset) SetDrumByte(offset, 0);
  noiseGenerator = NoiseGenerator{};
  leftSum = 0;
  rightSum = 0;
  InitDspMemory();
}
