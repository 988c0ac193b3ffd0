// The patch file reader and writer. PatchArea::LoadPatch and SavePatch open
// filePath and use these entries; the entries also read from memory, so tests
// and the fuzz target feed bytes straight to the reader.
#pragma once

#include <cstddef>
#include <cstdio>

#include "patch/PatchArea.h"

inline constexpr char kPatchFileVersion[] = "1.01";

// Replaces the patch with the text. Every message goes to the message sink,
// owned by ownerWindow. Returns Loaded or LoadError.
LoadResult LoadPatchFromText(PatchArea& area, const char* text, size_t size, void* ownerWindow);

// LoadPatch reads the whole file before it touches the patch; a file larger
// than this cannot be a patch and is refused as unreadable.
inline constexpr size_t kMostPatchFileBytes = 64 * 1024 * 1024;

// Writes the whole patch, with area.filePath as its NAME.
void WritePatch(const PatchArea& area, std::FILE* file);
