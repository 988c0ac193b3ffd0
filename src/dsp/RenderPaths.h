// The two render loops behind RenderFrames. Both fill frames with exactly
// the same samples and leave exactly the same words.
#pragma once

#include <cstdint>

// Every block of the program once per frame, in program order.
void RenderFrameByFrame(int16_t* buffer, int32_t frameCount);
// At most kChunkFrames frames, through the chunk plan; frame by frame where
// the plan refuses the program.
void RenderChunk(int16_t* buffer, int32_t frameCount);
