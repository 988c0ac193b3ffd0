// Keeps list edits of the UI thread apart from the render walk of the audio
// thread without ever making the audio thread wait.
//
// A block that is unlinked from the render list keeps its next link until no
// walk can stand on it any more; only then may it join the free list, whose
// push rewrites that link. The UI thread bumps `listVersion` after the unlink;
// every frame's walk reads the version before it reads the list head and
// reports it back when the walk is over. Once a walk that started with the new
// version has finished (or no render is running at all), every later walk
// reads the new list, so the block is out of reach. The UI thread waits for
// that at most one frame's walk, the audio thread never.
#pragma once

#include <cstdint>

// Audio side, once per RenderBuffer call.
void BeginRenderPass();
void EndRenderPass();
// Audio side, once per frame: the version to report when the walk is done.
uint32_t BeginFrameWalk();
void EndFrameWalk(uint32_t version);

// UI side, after unlinking a block: returns when no walk can reach it.
void WaitUntilWalksLeaveUnlinkedBlocks();
