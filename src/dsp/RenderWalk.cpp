#include "dsp/RenderWalk.h"

#include <atomic>
#include <thread>

namespace {

// The sequentially consistent accesses below form a store-load handshake
// (the UI bumps the version then loads `renderPassActive`; the audio thread
// stores `renderPassActive` then loads the version), which acquire/release
// alone would not order.
std::atomic<uint32_t> graphVersion{0};
std::atomic<uint32_t> walkedVersion{0};
std::atomic<int32_t> renderPassActive{0};

bool VersionReached(uint32_t seen, uint32_t wanted) { return static_cast<int32_t>(seen - wanted) >= 0; }

}  // namespace

void BeginRenderPass() { renderPassActive.store(1, std::memory_order_seq_cst); }

void EndRenderPass() { renderPassActive.store(0, std::memory_order_seq_cst); }

uint32_t BeginFrameWalk() { return graphVersion.load(std::memory_order_seq_cst); }

void EndFrameWalk(uint32_t version) { walkedVersion.store(version, std::memory_order_release); }

void NoteRenderGraphChanged() { graphVersion.fetch_add(1, std::memory_order_seq_cst); }

void WaitUntilWalksLeaveUnlinkedBlocks() {
  const uint32_t wanted = graphVersion.fetch_add(1, std::memory_order_seq_cst) + 1;
  while (renderPassActive.load(std::memory_order_seq_cst) != 0 &&
         !VersionReached(walkedVersion.load(std::memory_order_acquire), wanted)) {
    std::this_thread::yield();
  }
}
