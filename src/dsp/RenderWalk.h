// Keeps the UI thread's edits of the render graph (list links and opcodes)
// apart from the render loop of the audio thread, without ever making the
// audio thread wait.
//
// The render loop runs a flat copy of the render list (block and opcode per
// entry) and rebuilds it whenever `graphVersion` has moved. The UI thread
// bumps the version after every opcode store and list edit. A block that is
// unlinked from the render list keeps its next link, and may still be in the
// loop's copy, until a frame that started with the new version has finished
// (or no render is running at all); only then may it join the free list and
// be handed out again. The UI thread waits for that at most one frame, the
// audio thread never.
#pragma once

#include <cstdint>

// Audio side, once per RenderBuffer call.
void BeginRenderPass();
void EndRenderPass();
// Audio side, once per frame: the graph version the frame runs with, to be
// reported back when the frame's blocks have run.
uint32_t BeginFrameWalk();
void EndFrameWalk(uint32_t version);

// UI side, after an opcode store or a reservation.
void NoteRenderGraphChanged();
// UI side, after unlinking a block: returns when no frame can reach it.
void WaitUntilWalksLeaveUnlinkedBlocks();
