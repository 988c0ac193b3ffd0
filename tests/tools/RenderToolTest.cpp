// varnotek-render: its command line, and the program itself run as a user
// would, on the example patches and on broken ones.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/RenderOptions.h"

namespace {

namespace fs = std::filesystem;

struct ArgumentCase {
  std::vector<std::string> arguments;
  bool ok;
  RenderCommand command;
  int64_t frames;
  std::string output;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) {
  *os << "varnotek-render";
  for (const auto& argument : c.arguments) *os << ' ' << argument;
}

class ArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTest, ParsesOrRefuses) {
  const ArgumentCase& c = GetParam();
  const ParsedArguments parsed = ParseRenderArguments(c.arguments);
  ASSERT_EQ(parsed.ok, c.ok) << parsed.error;
  if (!c.ok) {
    EXPECT_FALSE(parsed.error.empty());
    return;
  }
  EXPECT_EQ(parsed.options.command, c.command);
  if (c.command == RenderCommand::Help) return;
  EXPECT_EQ(parsed.options.frames, c.frames);
  EXPECT_EQ(parsed.options.patchPath, "p.pch");
  EXPECT_EQ(parsed.options.outputPath, c.output);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentTest,
    ::testing::Values(
        ArgumentCase{{"p.pch", "o.wav"}, true, RenderCommand::Render, 441000, "o.wav"},
        ArgumentCase{{"--frames", "1000", "p.pch", "o.flac"}, true, RenderCommand::Render, 1000, "o.flac"},
        ArgumentCase{{"--frames=7", "p.pch", "o.RAW"}, true, RenderCommand::Render, 7, "o.RAW"},
        ArgumentCase{{"p.pch", "--seconds", "1.5", "o.wav"}, true, RenderCommand::Render, 66150, "o.wav"},
        ArgumentCase{{"--seconds", "0.00002", "p.pch", "o.wav"}, true, RenderCommand::Render, 1, "o.wav"},
        ArgumentCase{{"--play", "p.pch"}, true, RenderCommand::Play, 441000, ""},
        ArgumentCase{{"--play", "--seconds", "2", "p.pch"}, true, RenderCommand::Play, 88200, ""},
        ArgumentCase{{"--help"}, true, RenderCommand::Help, 0, ""},
        ArgumentCase{{"p.pch", "o.wav", "--help"}, true, RenderCommand::Help, 0, ""},
        ArgumentCase{{}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"p.pch"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"p.pch", "o.wav", "extra.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"p.pch", "o.mp3"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"p.pch", "wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"p.pch", "dir.wav/o"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--frames", "0", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--frames", "-5", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--frames", "12x", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--frames", "3000000000", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--frames"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--help=x"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--seconds", "nan", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--seconds", "1e300", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--seconds", "0", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--seconds", "0.00001", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--frames", "10", "--seconds", "1", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--play", "--frames", "10", "p.pch"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--play", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""},
        ArgumentCase{{"--loud", "p.pch", "o.wav"}, false, RenderCommand::Render, 0, ""}));

// The program itself.

struct ProgramRun {
  int status;
  std::string out;
  std::string err;
};

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class RenderProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varnotek-render-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
  }
  void TearDown() override { fs::remove_all(folder); }

  ProgramRun RunProgram(const std::string& arguments, const std::string& environment = "") {
    const std::string out = folder + "/stdout.txt";
    const std::string err = folder + "/stderr.txt";
    // A bounded run: a player that never stops fails the test instead of
    // filling the disk through an unpaced file device.
    const std::string command =
        environment + " timeout -s KILL 120 '" VARNOTEK_RENDER "' " + arguments + " >'" + out + "' 2>'" + err + "'; status=$?; wait; exit $status";
    const int raw = std::system(command.c_str());
    return ProgramRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = folder + "/" + name;
    std::ofstream(path) << text;
    return path;
  }

  std::string folder;
};

const std::string kDemo = std::string(VARNOTEK_EXAMPLES_DIR) + "/demo.pch";

std::vector<int16_t> ReadSamples(const std::string& path, SF_INFO& info) {
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return {};
  std::vector<int16_t> samples(static_cast<size_t>(info.frames * info.channels));
  sf_readf_short(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

TEST_F(RenderProgramTest, WavFlacAndRawHoldTheSameFrames) {
  for (const char* name : {"o.wav", "o.flac", "o.raw"}) {
    EXPECT_EQ(RunProgram("--frames 10000 '" + kDemo + "' '" + folder + "/" + name + "'").status, 0) << name;
  }
  SF_INFO wav{}, flac{};
  const auto fromWav = ReadSamples(folder + "/o.wav", wav);
  const auto fromFlac = ReadSamples(folder + "/o.flac", flac);
  EXPECT_EQ(wav.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(flac.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  for (const SF_INFO& info : {wav, flac}) {
    EXPECT_EQ(info.frames, 10000);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
  }
  EXPECT_EQ(fromWav, fromFlac);

  // Raw: no header, little-endian, left then right.
  const std::string raw = ReadText(folder + "/o.raw");
  ASSERT_EQ(raw.size(), 10000u * 4);
  std::vector<int16_t> fromRaw(20000);
  for (size_t i = 0; i < fromRaw.size(); ++i) {
    fromRaw[i] = static_cast<int16_t>(static_cast<uint8_t>(raw[2 * i]) | static_cast<uint8_t>(raw[2 * i + 1]) << 8);
  }
  EXPECT_EQ(fromRaw, fromWav);
}

TEST_F(RenderProgramTest, RendersExactlyTheFramesAskedForFromAFreshEngine) {
  // A count that ends inside a buffer is the start of a longer render.
  ASSERT_EQ(RunProgram("--frames 5000 '" + kDemo + "' '" + folder + "/short.raw'").status, 0);
  ASSERT_EQ(RunProgram("--frames 9000 '" + kDemo + "' '" + folder + "/long.raw'").status, 0);
  const std::string shortRender = ReadText(folder + "/short.raw");
  const std::string longRender = ReadText(folder + "/long.raw");
  ASSERT_EQ(shortRender.size(), 5000u * 4);
  ASSERT_EQ(longRender.size(), 9000u * 4);
  EXPECT_EQ(longRender.substr(0, shortRender.size()), shortRender);

  ASSERT_EQ(RunProgram("'" + kDemo + "' '" + folder + "/default.wav'").status, 0);
  SF_INFO info{};
  EXPECT_EQ(ReadSamples(folder + "/default.wav", info).size(), 441000u * 2);
  ASSERT_EQ(RunProgram("--seconds 0.25 '" + kDemo + "' '" + folder + "/quarter.raw'").status, 0);
  EXPECT_EQ(ReadText(folder + "/quarter.raw").size(), 11025u * 4);
}

struct FailureCase {
  std::string name;
  std::string patchText;  // empty: the patch file does not exist
  std::string expectedOnStderr;
};

class RenderFailureTest : public RenderProgramTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RenderFailureTest, SaysWhyExitsWithOneAndWritesNothing) {
  const FailureCase& c = GetParam();
  const std::string patch = c.patchText.empty() ? folder + "/missing.pch" : Write("broken.pch", c.patchText);
  const std::string output = folder + "/out.wav";
  const ProgramRun run = RunProgram("'" + patch + "' '" + output + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(c.expectedOnStderr), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    Patches, RenderFailureTest,
    ::testing::Values(FailureCase{"Missing", "", "cannot read patch file"},
                      FailureCase{"WrongSize", "PATCHSIZE 99,24\n", "Load-Error: Patch wrong size"},
                      FailureCase{"OutOfArea", "PATCHSIZE 40,24\n{{{MODULE 37,0,OSC\n}}}MODULE\n",
                                  "Load-Error: Module out of patch area"},
                      FailureCase{"SeqStepsInOsc", "PATCHSIZE 40,24\n{{{MODULE 0,0,OSC\nSEQSTEPS 1\n",
                                  "Load-Error: SEQSTEPS only allowed in SEQ-Block"}),
    [](const auto& info) { return info.param.name; });

TEST_F(RenderProgramTest, AnUnreadablePatchIsNotRendered) {
  const std::pair<std::string, const char*> cases[] = {{folder, "not a regular file"},
                                                       {"/proc/self/mem", "Input/output error"}};
  for (const auto& [patch, reason] : cases) {
    const ProgramRun run = RunProgram("'" + patch + "' '" + folder + "/out.wav'");
    EXPECT_EQ(run.status, 1) << patch;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder + "/out.wav"));
  }
}

// What the output names before the render.
enum class Output { New, InMissingFolder, Old, LinkToOld, LinkToFullDevice, FifoWithReader };

struct OutputCase {
  const char* name;
  Output output;
  const char* extension;
  const char* prefix;  // shell words before the program: a size limit, a signal
  const char* frames;
  int status;
  const char* onStderr;
};

constexpr char kOldOutput[] = "an earlier render";

TEST_F(RenderProgramTest, AnOutputAppearsOnlyWhenWholeAndNothingElseIsTouched) {
  const OutputCase cases[] = {
      {"new", Output::New, ".wav", "", "1000", 0, ""},
      {"replaced through a link", Output::LinkToOld, ".flac", "", "1000", 0, ""},
      {"fifo", Output::FifoWithReader, ".raw", "", "1000", 0, ""},
      {"missing folder", Output::InMissingFolder, ".wav", "", "1000", 1, "No such file or directory"},
      {"full device", Output::LinkToFullDevice, ".flac", "", "100000", 1, "No space left on device"},
      {"size limit", Output::Old, ".wav", "ulimit -f 64;", "1100000000", 1, "File too large"},
      {"SIGINT", Output::Old, ".wav", "timeout --preserve-status -s INT 0.5", "2000000000", 130,
       "interrupted by SIGINT; nothing written to"},
      {"SIGTERM", Output::New, ".raw", "timeout --preserve-status -s TERM 0.5", "2000000000", 143,
       "interrupted by SIGTERM; nothing written to"},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const std::string old = Write("old" + std::string(c.extension), kOldOutput);
    const std::string output = folder + (c.output == Output::InMissingFolder ? "/missing/out" : "/out") + c.extension;
    const std::string heard = folder + "/heard.raw";
    std::string prefix = c.prefix;
    if (c.output == Output::Old) fs::rename(old, output);
    if (c.output == Output::LinkToOld) fs::create_symlink(old, output);
    if (c.output == Output::LinkToFullDevice) fs::create_symlink("/dev/full", output);
    if (c.output == Output::FifoWithReader) {
      mkfifo(output.c_str(), 0644);
      prefix = "cat '" + output + "' >'" + heard + "' &";
    }
    const ProgramRun run = RunProgram("--frames " + std::string(c.frames) + " '" + kDemo + "' '" + output + "'", prefix);

    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.onStderr), std::string::npos) << run.err;
    SF_INFO info{};
    switch (c.output) {
      case Output::New:
        if (c.status == 0) {
          EXPECT_EQ(ReadSamples(output, info).size(), 2000u);
        } else {
          EXPECT_FALSE(fs::exists(output));
        }
        break;
      case Output::InMissingFolder: EXPECT_FALSE(fs::exists(folder + "/missing")); break;
      case Output::Old: EXPECT_EQ(ReadText(output), kOldOutput); break;
      case Output::LinkToOld:
        EXPECT_TRUE(fs::is_symlink(output));
        EXPECT_EQ(ReadSamples(old, info).size(), 2000u);
        break;
      case Output::LinkToFullDevice:
        EXPECT_TRUE(fs::is_symlink(output));
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
        break;
      case Output::FifoWithReader:
        EXPECT_TRUE(fs::is_fifo(output));
        EXPECT_EQ(fs::file_size(heard), 4000u);
        break;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
    }
    TearDown();
  }
}

TEST_F(RenderProgramTest, LoadWarningsGoToStderrAndTheRenderGoesOn) {
  const std::string patch = Write("newer.pch", "VERSION 1.02\nPATCHSIZE 40,24\n");
  const ProgramRun run = RunProgram("--frames 100 '" + patch + "' '" + folder + "/out.raw'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("This is an Patchfile of unknown type, results are unpredicable!"), std::string::npos);
  EXPECT_EQ(ReadText(folder + "/out.raw"), std::string(400, '\0'));
}

TEST_F(RenderProgramTest, BadArgumentsShowUsageWithTwoAndHelpExplains) {
  const ProgramRun bad = RunProgram("--frames x a.pch b.wav");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("Usage: varnotek-render"), std::string::npos);
  const ProgramRun help = RunProgram("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: varnotek-render"), std::string::npos);
  EXPECT_NE(help.out.find(".flac"), std::string::npos);
}

// --play through the audio path: ALSA is pointed at a configuration of the
// test's own, and any JACK server is kept out of the way.
std::string AlsaEnvironment(const std::string& configuration) {
  return "ALSA_CONFIG_PATH='" + configuration + "' JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER=varnotek-test-no-server";
}

TEST_F(RenderProgramTest, PlayWithoutASoundDeviceSaysSo) {
  // A card that is not there, and no ALSA configuration at all (nullptr).
  for (const char* configuration : {"pcm.!default {\n  type hw\n  card 99\n}\n", static_cast<const char*>(nullptr)}) {
    const std::string config = configuration ? Write("asound.conf", configuration) : folder + "/none.conf";
    const ProgramRun run = RunProgram("--play --seconds 1 '" + kDemo + "'", AlsaEnvironment(config));
    EXPECT_EQ(run.status, 1) << config;
    EXPECT_EQ(run.err, "waveOutOpen failed, check WAVE-Output settings\n");
  }
}

TEST_F(RenderProgramTest, PlayStopsCleanlyWhenTheTimeIsUp) {
  const std::string capture = folder + "/capture.raw";
  const std::string config = Write("asound.conf", "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"" +
                                                      capture + "\"\n  format \"raw\"\n}\n");
  const ProgramRun run = RunProgram("--play --seconds 0.3 '" + kDemo + "'", AlsaEnvironment(config));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");  // not a terminal: no elapsed time shown
  EXPECT_GT(fs::file_size(capture), 3u * 16384);
}

TEST_F(RenderProgramTest, PlayStopsOnCtrlCWithTheSignalsStatus) {
  const std::string capture = folder + "/capture.raw";
  const std::string config = Write("asound.conf", "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"" +
                                                      capture + "\"\n  format \"raw\"\n}\n");
  const std::string command = "exec env " + AlsaEnvironment(config) + " '" VARNOTEK_RENDER "' --play '" + kDemo + "'";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Bounded waits: a player that ignores the signal is killed and fails the
  // test, instead of filling the disk with the file device's output.
  auto waitFor = [](auto condition) {
    for (int tick = 0; tick < 1000; ++tick) {
      if (condition()) return true;
      usleep(20000);
    }
    return false;
  };
  std::error_code noFileYet;
  const bool playing = waitFor([&] { return fs::file_size(capture, noFileYet) > 4 * 16384 && !noFileYet; });
  kill(child, SIGINT);
  int status = 0;
  const bool ended = waitFor([&] { return waitpid(child, &status, WNOHANG) == child; });
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  EXPECT_TRUE(playing);
  ASSERT_TRUE(ended) << "still playing after Ctrl-C";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
}

}  // namespace
