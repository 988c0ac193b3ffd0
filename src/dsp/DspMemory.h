// DspMemory: the flat array of 32-bit words that holds the whole signal graph,
// cut into 1024 DSPBlocks of 64 words, with the render and free lists.
//
// Every reference is a word index, never a pointer. The UI thread edits words
// while the audio thread renders, so every word is a relaxed atomic: single
// aligned stores and loads, no data race, and on x86 plain moves.
#pragma once

#include <atomic>
#include <cstdint>

inline constexpr int32_t kDspWordCount = 65536;
inline constexpr int32_t kBlockWordCount = 64;
inline constexpr int32_t kDspBlockCount = 1024;
inline constexpr int32_t kLastBlock = kDspWordCount - kBlockWordCount;  // 65472
inline constexpr int32_t kNone = -1;

// Offsets of the named words within a DSPBlock.
namespace BlockWord {
inline constexpr int32_t kController = 0;  // controllers 0..5
inline constexpr int32_t kInput = 8;       // inputs 0..4: index of the word each input reads
inline constexpr int32_t kOutput = 16;     // outputs 0..4
inline constexpr int32_t kState = 24;      // state 0..7 (steps use 0..2)
inline constexpr int32_t kOpcode = 32;
inline constexpr int32_t kNext = 33;
inline constexpr int32_t kPrevious = 34;
inline constexpr int32_t kZeroSlot = 35;      // always 0; unwired inputs point here
inline constexpr int32_t kBufferNumber = 36;  // delay buffer (DLY, FLA) or drum-pattern buffer (DRM)
inline constexpr int32_t kRangeShift = 37;    // OSC: phase accumulator shift, 8 = low range
inline constexpr int32_t kStep = 48;          // SEQ steps 0..15
}  // namespace BlockWord

inline constexpr int32_t kControllerCount = 6;
inline constexpr int32_t kInputCount = 5;
inline constexpr int32_t kOutputCount = 5;
inline constexpr int32_t kSequencerSteps = 16;

struct DspWords {
  std::atomic<int32_t> word[kDspWordCount];

  int32_t Load(int32_t index) const { return word[index].load(std::memory_order_relaxed); }
  void Store(int32_t index, int32_t value) { word[index].store(value, std::memory_order_relaxed); }
  // Opcode and list links publish a block's other words to the render loop.
  int32_t LoadAcquire(int32_t index) const { return word[index].load(std::memory_order_acquire); }
  void StoreRelease(int32_t index, int32_t value) { word[index].store(value, std::memory_order_release); }
};

extern DspWords DspMemory;
extern std::atomic<int32_t> RenderListHead;  // written by the UI thread, walked by the render loop
extern int32_t FreeListHead;                 // UI thread only

void InitDspMemory();
// Returns the block index, or -1 when no block is free.
int32_t ReserveDSPBlock();
// Unlinks the block from the render list and returns it to the free list.
// Waits (UI side only) until no render walk can still stand on the block.
void ReleaseDSPBlock(int32_t block);

// The only way to write a block's opcode: it publishes the block's other
// words to the render loop and tells the loop to pick up the change.
void SetOpcode(int32_t block, int32_t opcode);
