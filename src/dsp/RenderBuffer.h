// The render loop: one buffer of 4096 stereo frames, every block of the render
// list run once per frame, newest first, the OUT blocks' sums written as
// signed 16-bit samples (left, then right).
#pragma once

#include <cstdint>

inline constexpr int32_t kFramesPerBuffer = 4096;
inline constexpr int32_t kChannels = 2;
inline constexpr int32_t kSampleRate = 44100;

// The noise source: three 16-bit words, never reseeded.
struct NoiseGenerator {
  uint16_t a = 0, b = 0, c = 0;
  int32_t Advance();  // returns the frame's noiseValue, A read as signed 16-bit
};

extern NoiseGenerator noiseGenerator;
extern int32_t leftSum;
extern int32_t rightSum;

// Fills kFramesPerBuffer frames (2 * 4096 int16 samples, interleaved).
void RenderBuffer(int16_t* buffer);
// The same loop for any number of frames.
void RenderFrames(int16_t* buffer, int32_t frameCount);

// Both paths give the same samples and leave the same words. Chunked runs
// the blocks over chunks of frames where the graph allows it (the default);
// FrameByFrame is the reference that runs every block once per frame.
enum class RenderPath { Chunked, FrameByFrame };
void SetRenderPath(RenderPath path);
RenderPath CurrentRenderPath();

// Runs the step of one block, as the loop does for each block of the list.
void RenderBlock(int32_t block, int32_t opcode, int32_t noiseValue);
