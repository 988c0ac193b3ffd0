#include "dsp/DspMemory.h"

#include "dsp/Pools.h"
#include "dsp/RenderWalk.h"

DspWords DspMemory{};
std::atomic<int32_t> RenderListHead{kNone};
int32_t FreeListHead = kNone;

namespace {

using namespace BlockWord;

int32_t NextOf(int32_t block) { return DspMemory.Load(block + kNext); }
int32_t PreviousOf(int32_t block) { return DspMemory.Load(block + kPrevious); }
// Links are published with release so that a walk that follows one sees the
// block it leads to as fully initialised.
void SetNext(int32_t block, int32_t next) { DspMemory.StoreRelease(block + kNext, next); }
void SetPrevious(int32_t block, int32_t previous) { DspMemory.Store(block + kPrevious, previous); }

void ClearBlockForNewOwner(int32_t block) {
  for (int32_t c = 0; c < kControllerCount; ++c) DspMemory.Store(block + kController + c, 0);
  for (int32_t s = 0; s < 8; ++s) DspMemory.Store(block + kState + s, 0);
  for (int32_t o = 0; o < kOutputCount; ++o) DspMemory.Store(block + kOutput + o, 0);
  for (int32_t i = 0; i < kInputCount; ++i) DspMemory.Store(block + kInput + i, block + kZeroSlot);
  DspMemory.Store(block + kZeroSlot, 0);
  DspMemory.Store(block + kOpcode, 0);
}

}  // namespace

void SetOpcode(int32_t block, int32_t opcode) {
  DspMemory.StoreRelease(block + kOpcode, opcode);
  NoteRenderGraphChanged();
}

void InitDspMemory() {
  InitPools();
  RenderListHead.store(kNone, std::memory_order_release);
  FreeListHead = 0;
  for (int32_t block = 0; block < kLastBlock; block += kBlockWordCount) SetNext(block, block + kBlockWordCount);
  SetNext(kLastBlock, kNone);
  SetPrevious(0, kNone);
  SetPrevious(kLastBlock, kLastBlock - kBlockWordCount);
  NoteRenderGraphChanged();
}

int32_t ReserveDSPBlock() {
  if (FreeListHead == kNone) return kNone;
  const int32_t block = FreeListHead;
  FreeListHead = NextOf(block);
  if (FreeListHead != kNone) SetPrevious(FreeListHead, kNone);

  ClearBlockForNewOwner(block);

  // Publish at the front of the render list; the head is the last word written.
  const int32_t head = RenderListHead.load(std::memory_order_relaxed);
  SetNext(block, head);
  SetPrevious(block, kNone);
  if (head != kNone) SetPrevious(head, block);
  RenderListHead.store(block, std::memory_order_release);
  NoteRenderGraphChanged();
  return block;
}

void ReleaseDSPBlock(int32_t block) {
  if (block == kNone) return;
  const int32_t previous = PreviousOf(block);
  const int32_t next = NextOf(block);
  if (previous == kNone) {
    RenderListHead.store(next, std::memory_order_release);
  } else {
    SetNext(previous, next);
  }
  if (next != kNone) SetPrevious(next, previous);

  // A frame may still run the block or follow its next link; keep both until
  // no frame can.
  WaitUntilWalksLeaveUnlinkedBlocks();

  SetNext(block, FreeListHead);
  SetPrevious(block, kNone);
  if (FreeListHead != kNone) SetPrevious(FreeListHead, block);
  FreeListHead = block;
}
