// varnotek-render: its command line, and the program itself run as a user
// would, on the example patches and on broken ones.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/TestFiles.h"
#include "tools/RenderOptions.h"

namespace {

namespace fs = std::filesystem;
using enum RenderCommand;

// Frames -1: refused.
TEST(RenderArgumentsTest, ParsesOrRefuses) {
  const struct { const char* words; int64_t frames; RenderCommand command; } cases[] = {
      {"p.pch o.wav", 441000, Render}, {"--frames 1000 p.pch o.flac", 1000, Render}, {"--frames=7 p.pch o.RAW", 7, Render},
      {"p.pch --seconds 1.5 o.wav", 66150, Render}, {"--seconds 0.00002 p.pch o.wav", 1, Render}, {"--play p.pch", 441000, Play},
      {"--play --seconds 2 p.pch", 88200, Play}, {"--help", 0, Help}, {"p.pch o.wav --help", 0, Help}, {"", -1, Render},
      {"p.pch", -1, Render}, {"p.pch o.wav extra.wav", -1, Render}, {"p.pch o.mp3", -1, Render}, {"p.pch wav", -1, Render},
      {"p.pch dir.wav/o", -1, Render}, {"--frames 0 p.pch o.wav", -1, Render}, {"--frames -5 p.pch o.wav", -1, Render},
      {"--frames 12x p.pch o.wav", -1, Render}, {"--frames 3000000000 p.pch o.wav", -1, Render}, {"--frames", -1, Render},
      {"--help=x", -1, Render}, {"--seconds nan p.pch o.wav", -1, Render}, {"--seconds 1e300 p.pch o.wav", -1, Render},
      {"--seconds 0 p.pch o.wav", -1, Render}, {"--seconds 0.00001 p.pch o.wav", -1, Render},
      {"--frames 10 --seconds 1 p.pch o.wav", -1, Render}, {"--play --frames 10 p.pch", -1, Render},
      {"--play p.pch o.wav", -1, Render}, {"--loud p.pch o.wav", -1, Render},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words);
    std::istringstream in(c.words);
    const std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    const ParsedArguments parsed = ParseRenderArguments(words);
    ASSERT_EQ(parsed.ok, c.frames >= 0) << parsed.error;
    EXPECT_EQ(parsed.error.empty(), parsed.ok);
    if (!parsed.ok) continue;
    const RenderOptions& o = parsed.options;
    if (c.command == Help) EXPECT_EQ(o.command, Help);
    else EXPECT_EQ(std::tie(o.command, o.frames, o.patchPath, o.outputPath),
                   std::make_tuple(c.command, c.frames, std::string("p.pch"), c.command == Play ? "" : words.back()));
  }
}

// A folder of its own for a run of the program. In a command, %F is the
// folder and %D the demo patch. ALSA reads the folder's asound.conf, and any
// JACK server is kept out of the way.
struct Folder : TemporaryFolder {
  int Shell(std::string command) const {
    for (size_t at; (at = command.find("%F")) != std::string::npos;) command.replace(at, 2, "'" + path + "'");
    for (size_t at; (at = command.find("%D")) != std::string::npos;) command.replace(at, 2, "'" VARNOTEK_EXAMPLES_DIR "/demo.pch'");
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  // A bounded run: a player that never stops fails instead of filling the disk.
  int Run(const std::string& prefix, const std::string& arguments) const {
    return Shell(prefix + " env ALSA_CONFIG_PATH=%F/asound.conf JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=varnotek-none "
                 "timeout -s KILL 120 '" VARNOTEK_RENDER "' " + arguments + " >%F/stdout.txt 2>%F/stderr.txt; s=$?; wait; exit $s");
  }
};

std::vector<int16_t> ReadSamples(const std::string& path, SF_INFO& info) {
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return {};
  std::vector<int16_t> samples(static_cast<size_t>(info.frames * info.channels));
  sf_readf_short(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

TEST(RenderProgramTest, WavFlacAndRawHoldTheFramesAskedFor) {
  const Folder folder;
  for (const char* output : {"10000 %D %F/o.wav", "10000 %D %F/o.flac", "10000 %D %F/o.raw", "5000 %D %F/short.raw"})
    ASSERT_EQ(folder.Run("", std::string("--frames ") + output), 0) << output;
  SF_INFO wav{}, flac{};
  EXPECT_EQ(ReadSamples(folder.path + "/o.flac", flac), ReadSamples(folder.path + "/o.wav", wav));
  EXPECT_EQ(std::make_pair(wav.format, flac.format), std::make_pair(SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
  for (const SF_INFO& info : {wav, flac}) EXPECT_EQ(info.frames * info.channels * info.samplerate, 10000 * 2 * 44100);
  // Raw: the WAV's samples without its header (little-endian, left then
  // right); a shorter render is the start of a longer one.
  const std::string raw = ReadWholeFile(folder.path + "/o.raw");
  EXPECT_EQ(raw.size(), 10000u * 4);
  EXPECT_EQ(ReadWholeFile(folder.path + "/o.wav").substr(44), raw);
  EXPECT_EQ(raw.substr(0, 5000 * 4), ReadWholeFile(folder.path + "/short.raw"));
}

// What a run says and exits with, and what it leaves behind: an output
// appears only when whole, through a link, and nothing else is touched.
TEST(RenderProgramTest, ExitStatusMessagesAndFiles) {
  const char kCapture[] = "printf 'pcm.!default {type file slave.pcm {type null} file %F/capture.raw format raw}' >%F/asound.conf;";
  const std::string kNoOutput = "test ! -e %F/out.wav";
  // Shell words before the program (a file, a size limit, a signal); its arguments and exit status; what stderr
  // must hold (nullptr: anything; a text ending in a newline: that and nothing else, no chatter of the sound
  // libraries either; "": nothing at all); a shell test of the files afterwards.
  const struct { std::string prefix; const char* arguments; int status; const char* onStderr; std::string check; } cases[] = {
      {"", "--frames 1000 %D %F/out.wav", 0, "", "test -s %F/out.wav"},
      {"echo old >%F/old.flac; ln -s old.flac %F/out.flac;", "--frames 1000 %D %F/out.flac", 0, "",
       "test -L %F/out.flac && test $(head -c 4 %F/old.flac) = fLaC"},
      {"mkfifo %F/out.raw; timeout 20 cat %F/out.raw >%F/heard.raw &", "--frames 1000 %D %F/out.raw", 0, "",
       "test -p %F/out.raw && test $(wc -c <%F/heard.raw) = 4000"},
      {"", "--frames 1000 %D %F/missing/out.wav", 1, "No such file or directory", "test ! -e %F/missing"},
      {"ln -s /dev/full %F/out.flac;", "--frames 100000 %D %F/out.flac", 1, "No space left on device",
       "test -L %F/out.flac && test -c /dev/full"},
      {"echo old >%F/out.wav; ulimit -f 64;", "--frames 1100000000 %D %F/out.wav", 1, "File too large",
       "test $(cat %F/out.wav) = old"},
      {"echo old >%F/out.wav; timeout --preserve-status -s INT 0.5", "--frames 2000000000 %D %F/out.wav", 130,
       "interrupted by SIGINT; nothing written to", "test $(cat %F/out.wav) = old"},
      {"timeout --preserve-status -s TERM 0.5", "--frames 2000000000 %D %F/out.raw", 143,
       "interrupted by SIGTERM; nothing written to", "test ! -e %F/out.raw"},
      {"", "%F/missing.pch %F/out.wav", 1, "cannot read patch file", kNoOutput},
      {"", "%F %F/out.wav", 1, "not a regular file", kNoOutput},
      {"", "/proc/self/mem %F/out.wav", 1, "Input/output error", kNoOutput},
      {"echo PATCHSIZE 99,24 >%F/p.pch;", "%F/p.pch %F/out.wav", 1, "Load-Error: Patch wrong size", kNoOutput},
      {"echo VERSION 1.02 >%F/p.pch;", "--frames 100 %F/p.pch %F/out.raw", 0,
       "This is an Patchfile of unknown type, results are unpredicable!", "test $(wc -c <%F/out.raw) = 400"},
      {"", "--frames x a.pch b.wav", 2, "Usage: varnotek-render", "test ! -s %F/stdout.txt"},
      {"", "--help", 0, "", "grep -q 'Usage: varnotek-render' %F/stdout.txt && grep -q .flac %F/stdout.txt"},
      {"", "--play --seconds 1 %D", 1, "waveOutOpen failed, check WAVE-Output settings\n", "true"},  // no ALSA setup
      {"printf 'pcm.!default {type hw card 99}' >%F/asound.conf;", "--play --seconds 1 %D", 1,
       "waveOutOpen failed, check WAVE-Output settings\n", "true"},
      {kCapture, "--play --seconds 0.3 %D", 0, "", "test $(wc -c <%F/capture.raw) -gt 49152 && test ! -s %F/stdout.txt"},
      {kCapture + std::string("timeout --preserve-status -s INT 2"), "--play %D", 130, nullptr,
       "test $(wc -c <%F/capture.raw) -gt 65536"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prefix + " varnotek-render " + c.arguments);
    const Folder folder;
    EXPECT_EQ(folder.Run(c.prefix, c.arguments), c.status);
    const std::string err = ReadWholeFile(folder.path + "/stderr.txt");
    const std::string want = c.onStderr != nullptr ? c.onStderr : "";
    if (c.onStderr != nullptr) { EXPECT_TRUE(want.empty() || want.back() == '\n' ? err == want : err.find(want) != std::string::npos) << err; }
    EXPECT_EQ(folder.Shell(c.check), 0) << c.check;
    for (const auto& entry : fs::directory_iterator(folder.path))
      EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
  }
}

}  // namespace
