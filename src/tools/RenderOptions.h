// The command line of varnotek-render and what it asks for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int64_t kDefaultRenderFrames = 441000;  // ten seconds

enum class RenderCommand { Render, Play, Help };
enum class OutputKind { Wav, Flac, Raw };

struct RenderOptions {
  RenderCommand command = RenderCommand::Render;
  int64_t frames = kDefaultRenderFrames;
  // --play without --seconds plays until interrupted.
  bool playForever = true;
  std::string patchPath;
  std::string outputPath;
  OutputKind outputKind = OutputKind::Wav;
};

struct ParsedArguments {
  bool ok = false;
  RenderOptions options;
  std::string error;  // what was wrong, when !ok
};

// arguments excludes the program name.
ParsedArguments ParseRenderArguments(const std::vector<std::string>& arguments);

// By the output's extension, case-insensitive; false for any other.
bool OutputKindOf(const std::string& path, OutputKind& kind);

extern const char kRenderUsage[];
extern const char kRenderHelp[];
