#include "tools/RenderOptions.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dsp/RenderBuffer.h"

const char kRenderUsage[] =
    "Usage: varnotek-render [--frames N | --seconds S] PATCH.pch OUTPUT\n"
    "       varnotek-render --play [--seconds S] PATCH.pch\n"
    "       varnotek-render --help\n";

const char kRenderHelp[] =
    "Renders a Varnotek patch to an audio file, or plays it in real time.\n"
    "\n"
    "The engine starts as the program does at start-up: all memory zero and\n"
    "every block free. The patch is loaded, then rendered frame by frame at\n"
    "44100 frames per second, 16-bit stereo.\n"
    "\n"
    "  --frames N    render exactly N frames (default 441000, ten seconds)\n"
    "  --seconds S   render or play S seconds (S may have decimals)\n"
    "  --play        play through the default sound device until S seconds\n"
    "                have passed or Ctrl-C is pressed\n"
    "  --help        show this text\n"
    "\n"
    "OUTPUT is written as 16-bit PCM; its extension chooses the container:\n"
    "  .wav   RIFF WAVE\n"
    "  .flac  FLAC\n"
    "  .raw   no header, little-endian, left and right samples interleaved\n"
    "\n"
    "Messages of the patch loader go to standard error. A patch that cannot\n"
    "be read or does not load gives exit status 1 and no output file; bad\n"
    "arguments give status 2.\n";

namespace {

bool ParseFrames(const std::string& text, int64_t& frames) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || value <= 0 || value > INT32_MAX) return false;
  frames = value;
  return true;
}

bool ParseSeconds(const std::string& text, int64_t& frames) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) return false;
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(seconds)) return false;
  // The range is checked before rounding: llround of a value beyond its
  // result type is unspecified.
  const double exact = seconds * kSampleRate;
  if (!(exact >= 0.5 && exact < INT32_MAX + 0.5)) return false;
  frames = std::llround(exact);
  return true;
}

ParsedArguments Fail(std::string error) {
  ParsedArguments parsed;
  parsed.error = std::move(error);
  return parsed;
}

}  // namespace

bool OutputKindOf(const std::string& path, OutputKind& kind) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "wav") kind = OutputKind::Wav;
  else if (extension == "flac") kind = OutputKind::Flac;
  else if (extension == "raw") kind = OutputKind::Raw;
  else return false;
  return true;
}

ParsedArguments ParseRenderArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  RenderOptions& options = parsed.options;
  bool framesGiven = false;
  bool secondsGiven = false;
  std::vector<std::string> files;

  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    std::string value;
    bool hasInlineValue = false;
    if (argument.rfind("--", 0) == 0) {
      const size_t equals = argument.find('=');
      if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
        argument.resize(equals);
        hasInlineValue = true;
      }
    }
    auto takeValue = [&](std::string& out) {
      if (hasInlineValue) {
        out = value;
        return true;
      }
      if (i + 1 >= arguments.size()) return false;
      out = arguments[++i];
      return true;
    };

    if (argument == "--help" || argument == "-h") {
      if (hasInlineValue) return Fail("--help takes no value");
      options.command = RenderCommand::Help;
      parsed.ok = true;
      return parsed;
    }
    if (argument == "--play") {
      if (hasInlineValue) return Fail("--play takes no value");
      options.command = RenderCommand::Play;
    } else if (argument == "--frames") {
      if (framesGiven || secondsGiven) return Fail("give --frames or --seconds once");
      if (!takeValue(value) || !ParseFrames(value, options.frames))
        return Fail("--frames needs a whole number of frames from 1 to 2147483647");
      framesGiven = true;
    } else if (argument == "--seconds") {
      if (framesGiven || secondsGiven) return Fail("give --frames or --seconds once");
      if (!takeValue(value) || !ParseSeconds(value, options.frames))
        return Fail("--seconds needs a positive number of seconds");
      secondsGiven = true;
    } else if (argument == "--") {
      files.insert(files.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
      break;
    } else if (argument.size() > 1 && argument[0] == '-') {
      return Fail("unknown option " + arguments[i]);
    } else {
      files.push_back(arguments[i]);
    }
  }

  if (options.command == RenderCommand::Play) {
    if (framesGiven) return Fail("--play takes --seconds, not --frames");
    if (files.size() != 1) return Fail("--play needs exactly one patch file");
    options.playForever = !secondsGiven;
    options.patchPath = files[0];
  } else {
    if (files.size() != 2) return Fail("need a patch file and an output file");
    options.patchPath = files[0];
    options.outputPath = files[1];
    if (!OutputKindOf(options.outputPath, options.outputKind))
      return Fail("the output file must end in .wav, .flac or .raw: " + options.outputPath);
  }
  parsed.ok = true;
  return parsed;
}
