// The reader: keywords and value formats, the eight load errors and the empty
// patch they leave, the version warning, late wiring, and hostile input.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "PatchFileTestSupport.h"
#include "dsp/DspMemory.h"
#include "dsp/Pools.h"

namespace {

using namespace ModuleTypeId;
using namespace BlockWord;

const char kVersionWarning[] = "This is an Patchfile of unknown type, results are unpredicable!";
const char kConnectFailure[] = "Internal Varnotek Error: ConnectInput(*,i,i) failure";

using PatchReaderTest = PatchFileTest;

int32_t Controller(const PatchArea& area, int32_t column, int32_t row, int32_t c) {
  return Word(area.ModuleAt(column, row)->dspBlock + kController + c);
}

struct LoadErrorCase {
  const char* name;
  const char* text;
  const char* error;
};

// Each text follows a prefix that builds a patch and fills drum bytes, and is
// followed by a module block that must never be read.
const LoadErrorCase kLoadErrors[] = {
    {"WidthTooLarge", "PATCHSIZE 41,24", "Load-Error: Patch wrong size"},
    {"WidthZero", "PATCHSIZE 0,24", "Load-Error: Patch wrong size"},
    {"HeightTooLarge", "PATCHSIZE 40,25", "Load-Error: Patch wrong size"},
    {"HeightNegative", "PATCHSIZE 40,-1", "Load-Error: Patch wrong size"},
    {"SizeMissing", "PATCHSIZE }}}PATCH", "Load-Error: Patch wrong size"},
    {"SizeBeyond32Bits", "PATCHSIZE 4294967336,24", "Load-Error: Patch wrong size"},
    {"ColumnAtWidth", "PATCHSIZE 40,24 {{{MODULE 40,0,OSC", "Load-Error: Module out of patch area"},
    {"ColumnPastLastAnchor", "PATCHSIZE 40,24 {{{MODULE 37,0,OSC", "Load-Error: Module out of patch area"},
    {"RowPastLastAnchor", "PATCHSIZE 40,24 {{{MODULE 0,21,OSC", "Load-Error: Module out of patch area"},
    {"NegativeColumn", "PATCHSIZE 40,24 {{{MODULE -1,0,OSC", "Load-Error: Module out of patch area"},
    {"ColumnAboveDeclaredWidth", "PATCHSIZE 10,10 {{{MODULE 11,0,OSC", "Load-Error: Module out of patch area"},
    {"PositionMissing", "PATCHSIZE 40,24 {{{MODULE OSC", "Load-Error: Module out of patch area"},
    {"OverlapsEarlierModule", "PATCHSIZE 40,24 {{{MODULE 10,10,OSC }}}MODULE {{{MODULE 12,12,VCA",
     "Load-Error: Module out of patch area"},
    {"InputOutsideBlock", "PATCHSIZE 40,24 {{{MODULE 10,10,OSC }}}MODULE INPUT 0,0,0,0",
     "Load-Error: INPUT only allowed in MODULE block"},
    {"InputInUnknownBlock", "PATCHSIZE 40,24 {{{MODULE 10,10,XYZ INPUT 0,0,0,0",
     "Load-Error: INPUT only allowed in MODULE block"},
    {"ControllersOutsideBlock", "CONTROLLERS 1,2,3,4,5,6", "Load-Error: CONTROLLERS only allowed in MODULE block"},
    {"ModeOutsideBlock", "MODE 1", "Load-Error: MODE only allowed in MODULE Block"},
    {"SeqStepsInOscillator", "PATCHSIZE 40,24 {{{MODULE 10,10,OSC SEQSTEPS 1,2",
     "Load-Error: SEQSTEPS only allowed in SEQ-Block"},
    {"SeqStepsOutsideBlock", "SEQSTEPS 1,2", "Load-Error: SEQSTEPS only allowed in SEQ-Block"},
    {"TrackInSequencer", "PATCHSIZE 40,24 {{{MODULE 10,10,SEQ TRACK 0,0 1",
     "Load-Error: TRACK only allowed in DRM-Block"},
    {"TrackOutsideBlock", "TRACK 0,0 1", "Load-Error: TRACK only allowed in DRM-Block"},
    {"TrackFour", "PATCHSIZE 40,24 {{{MODULE 10,10,DRM TRACK 4,0 1", "Load-Error: TRACK number out of range"},
    {"Bank32", "PATCHSIZE 40,24 {{{MODULE 10,10,DRM TRACK 0,32 1", "Load-Error: TRACK number out of range"},
    {"NegativeTrack", "PATCHSIZE 40,24 {{{MODULE 10,10,DRM TRACK -1,0 1", "Load-Error: TRACK number out of range"},
    {"BankMissing", "PATCHSIZE 40,24 {{{MODULE 10,10,DRM TRACK 0 1", "Load-Error: TRACK number out of range"},
};

class LoadErrorTest : public PatchReaderTest, public ::testing::WithParamInterface<LoadErrorCase> {};

TEST_P(LoadErrorTest, ShowsItsTextAndLeavesAnEmptyPatch) {
  const LoadErrorCase& c = GetParam();
  PatchArea area;
  area.SetModuleAt(20, 20, kVCA);  // the patch that was open before
  area.Select(20, 20);
  area.BeginConnection(0);
  const std::string text = std::string("FILETYPE PCH\r\n{{{MODULE 0,0,DLY\n}}}MODULE\n") + c.text +
                           "\n{{{MODULE 30,15,OSC\n}}}MODULE\nPATCHSIZE 99,99\n";
  // Bytes of a bank the file never names, from an earlier patch.
  SetDrumByte(DrumByteOffset(0, 7, 1, 1), 1);

  EXPECT_EQ(LoadText(area, text), LoadResult::LoadError);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, c.error);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
  EXPECT_EQ(messages.shown[0].owner, &ownerWindow);
  EXPECT_EQ(CountModules(area), 0);
  EXPECT_EQ(CountFreeBlocks(), kDspBlockCount);
  EXPECT_EQ(DelayBufAvailable(), 1);
  EXPECT_EQ(delayBufInUse[0], 0);
  EXPECT_EQ(DRMBufferAvailable(), 1);
  EXPECT_TRUE(DrumPatternIsClear());
  EXPECT_EQ(area.CursorX(), 0);
  EXPECT_EQ(area.CursorY(), 0);
  EXPECT_EQ(area.ConnectSourceOutput(), -1);
}

INSTANTIATE_TEST_SUITE_P(EveryLoadError, LoadErrorTest, ::testing::ValuesIn(kLoadErrors),
                         [](const ::testing::TestParamInfo<LoadErrorCase>& info) { return info.param.name; });

TEST_F(PatchReaderTest, WithoutPatchSizeOnlyTheFirstCellTakesAModule) {
  PatchArea area;
  EXPECT_EQ(LoadText(area, "{{{MODULE 0,0,OSC }}}MODULE"), LoadResult::Loaded);
  EXPECT_NE(area.ModuleAt(0, 0), nullptr);
  EXPECT_EQ(LoadText(area, "{{{MODULE 1,0,OSC }}}MODULE"), LoadResult::LoadError);
  EXPECT_EQ(LoadText(area, "{{{MODULE 0,1,OSC }}}MODULE"), LoadResult::LoadError);
  EXPECT_EQ(CountModules(area), 0);
  // A small declared size still admits its own edge.
  EXPECT_EQ(LoadText(area, "PATCHSIZE 5,3 {{{MODULE 5,3,OSC"), LoadResult::Loaded);
  EXPECT_NE(area.ModuleAt(5, 3), nullptr);
}

TEST_F(PatchReaderTest, VersionWarning) {
  struct Case {
    const char* text;
    int32_t warnings;
    bool moduleLoaded;
  };
  const Case cases[] = {
      {"VERSION 1.02 {{{MODULE 0,0,OSC", 1, true},
      {"{{{MODULE 0,0,OSC", 0, true},
      {"VERSION 1.01 {{{MODULE 0,0,OSC", 0, true},
      {"VERSION 1.010 {{{MODULE 0,0,OSC", 1, true},
      {"VERSION 1.02 VERSION 1.02", 2, false},
      {"VERSION 1.01 VERSION 1.02", 0, false},  // once known, the version stays known
      {"VERSION", 1, false},
  };
  for (const Case& c : cases) {
    messages.shown.clear();
    PatchArea area;
    EXPECT_EQ(LoadText(area, c.text), LoadResult::Loaded) << c.text;
    EXPECT_EQ(static_cast<int32_t>(messages.shown.size()), c.warnings) << c.text;
    for (const ShownMessage& m : messages.shown) {
      EXPECT_EQ(m.text, kVersionWarning);
      EXPECT_EQ(m.icon, MessageIcon::Warning);
      EXPECT_EQ(m.owner, &ownerWindow);
    }
    EXPECT_EQ(area.ModuleAt(0, 0) != nullptr, c.moduleLoaded) << c.text;
  }
}

TEST_F(PatchReaderTest, WiresMayNameModulesLaterInTheFile) {
  PatchArea area;
  ASSERT_EQ(LoadText(area,
                     "PATCHSIZE 40,24\n"
                     "{{{MODULE 0,0,OUT\nINPUT 0,20,10,4\nINPUT 4,4,0,0\n}}}MODULE\n"
                     "{{{MODULE 4,0,FLA\nINPUT 0,20,10,0\n}}}MODULE\n"
                     "{{{MODULE 20,10,CNT\nINPUT 4,20,10,2\n}}}MODULE\n"),
            LoadResult::Loaded);
  const BlockModule* out = area.ModuleAt(0, 0);
  const BlockModule* fla = area.ModuleAt(4, 0);
  const BlockModule* cnt = area.ModuleAt(20, 10);
  EXPECT_EQ(out->inputSource[0], cnt);
  EXPECT_EQ(Word(out->dspBlock + kInput + 0), cnt->dspBlock + kOutput + 4);
  EXPECT_EQ(out->inputSource[4], fla);
  EXPECT_EQ(fla->inputSource[0], cnt);
  EXPECT_EQ(cnt->inputSource[4], cnt);  // a module may feed itself
  EXPECT_EQ(Word(cnt->dspBlock + kInput + 4), cnt->dspBlock + kOutput + 2);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchReaderTest, UnmakeableWiresAreReportedAndKeepTheirRecord) {
  PatchArea area;
  ASSERT_EQ(LoadText(area,
                     "PATCHSIZE 40,24\n{{{MODULE 0,0,OUT\n"
                     "INPUT 0,10,10,0\n"  // no module there
                     "INPUT 1,50,50,0\n"  // outside the grid
                     "INPUT 2,0,0,7\n"    // no output 7
                     "INPUT 3,1,1,0\n"    // covered, not an anchor
                     "INPUT 4,0,0,-1\n"   // a negative output records nothing
                     "}}}MODULE\n"),
            LoadResult::Loaded);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>(4, kConnectFailure));
  const BlockModule* out = area.ModuleAt(0, 0);
  EXPECT_EQ(out->inputSourceOutput[0], 0);
  EXPECT_EQ(out->inputSourceX[1], 50);
  EXPECT_EQ(out->inputSourceOutput[2], 7);
  EXPECT_EQ(out->inputSourceOutput[4], -1);
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(out->inputSource[i], nullptr);
    EXPECT_EQ(Word(out->dspBlock + kInput + i), out->dspBlock + kZeroSlot);
  }
}

TEST_F(PatchReaderTest, InputNumberOutsideTheModuleIsSkipped) {
  PatchArea area;
  ASSERT_EQ(LoadText(area, "{{{MODULE 0,0,OSC INPUT 5,0,0,0 INPUT -1,0,0,0 INPUT 99999999999,0,0,0 }}}MODULE"),
            LoadResult::Loaded);
  const BlockModule* osc = area.ModuleAt(0, 0);
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(osc->inputSourceOutput[i], -1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchReaderTest, ControllersAreStoredAsRead) {
  PatchArea area;
  ASSERT_EQ(LoadText(area, "{{{MODULE 0,0,VCA\nCONTROLLERS 40000,-99999,32767,-32768,2147483647,-2147483648\n"),
            LoadResult::Loaded);
  const int32_t expected[] = {40000, -99999, 32767, -32768, INT32_MAX, INT32_MIN};
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(Controller(area, 0, 0, c), expected[c]) << c;
}

TEST_F(PatchReaderTest, NumbersBeyond32BitsAreClamped) {
  PatchArea area;
  const std::string manyDigits(300, '9');
  ASSERT_EQ(LoadText(area, "{{{MODULE 0,0,VCA\nCONTROLLERS 2147483648,-2147483649,4294967296,+" + manyDigits + ",-" +
                               manyDigits + ",+00000000000000000000042\n"),
            LoadResult::Loaded);
  const int32_t expected[] = {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 42};
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(Controller(area, 0, 0, c), expected[c]) << c;
  // A huge position clamps and is out of the area rather than wrapping into it.
  EXPECT_EQ(LoadText(area, "{{{MODULE 4294967296,0,OSC"), LoadResult::LoadError);
}

TEST_F(PatchReaderTest, ShortValueLinesStoreWhatWasRead) {
  struct Case {
    const char* controllers;
    int32_t expected[6];
  };
  // VCA starts at all zeros; 7 marks each value that was read.
  const Case cases[] = {
      {"CONTROLLERS 7,7", {7, 7, 0, 0, 0, 0}},
      {"CONTROLLERS 7 ,7,7", {7, 0, 0, 0, 0, 0}},    // no white space before a comma
      {"CONTROLLERS 7, 7,\n7", {7, 7, 7, 0, 0, 0}},  // but before a number
      {"CONTROLLERS 7;7", {7, 0, 0, 0, 0, 0}},
      {"CONTROLLERS -,7", {0, 0, 0, 0, 0, 0}},
      {"CONTROLLERS", {0, 0, 0, 0, 0, 0}},
      {"CONTROLLERS 7,7,7,7,7,7,7", {7, 7, 7, 7, 7, 7}},
  };
  for (const Case& c : cases) {
    PatchArea area;
    ASSERT_EQ(LoadText(area, std::string("{{{MODULE 0,0,VCA ") + c.controllers + " MODE 1 }}}MODULE"),
              LoadResult::Loaded)
        << c.controllers;
    for (int32_t k = 0; k < 6; ++k) EXPECT_EQ(Controller(area, 0, 0, k), c.expected[k]) << c.controllers << " " << k;
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchReaderTest, ModeGoesThroughSetModeAndRefusesSilently) {
  PatchArea area;
  ASSERT_EQ(LoadText(area,
                     "PATCHSIZE 40,24 {{{MODULE 0,0,OSC MODE 5 }}}MODULE {{{MODULE 3,0,FLT MODE 7 }}}MODULE "
                     "{{{MODULE 6,0,VCA MODE 2 }}}MODULE {{{MODULE 9,0,OSC MODE 262 }}}MODULE"),
            LoadResult::Loaded);
  EXPECT_EQ(area.ModuleAt(0, 0)->mode, 5);
  EXPECT_EQ(Word(area.ModuleAt(0, 0)->dspBlock + kRangeShift), 8);
  EXPECT_EQ(area.ModuleAt(3, 0)->mode, 0);
  EXPECT_EQ(area.ModuleAt(6, 0)->mode, 0);
  EXPECT_EQ(area.ModuleAt(9, 0)->mode, 256);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchReaderTest, SequencerStepsAndDrumTracks) {
  PatchArea area;
  std::string track = "TRACK 2,31 ";
  for (int32_t s = 0; s < 64; ++s) {
    if (s > 0) track += ',';
    track += std::to_string(s == 1 ? 257 : s == 2 ? -1 : s == 63 ? 2147483647 : 0);
  }
  ASSERT_EQ(LoadText(area, "PATCHSIZE 40,24 {{{MODULE 0,0,SEQ SEQSTEPS -5,40000,3 }}}MODULE {{{MODULE 3,0,DRM " +
                               track + " TRACK 0,0 1,1 }}}MODULE"),
            LoadResult::Loaded);
  const int32_t seq = area.ModuleAt(0, 0)->dspBlock;
  EXPECT_EQ(Word(seq + kStep), -5);
  EXPECT_EQ(Word(seq + kStep + 1), 40000);
  EXPECT_EQ(Word(seq + kStep + 2), 3);
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 31, 2, 1)), 1);    // 257: low 8 bits
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 31, 2, 2)), -1);   // 255
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 31, 2, 63)), -1);  // 0x7fffffff: low 8 bits
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 0, 0, 0)), 1);
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 0, 0, 1)), 1);
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 0, 0, 2)), 0);
}

TEST_F(PatchReaderTest, LoadingClearsTheWholeDrumPattern) {
  for (int32_t bank : {0, 5, 31}) SetDrumByte(DrumByteOffset(0, bank, 3, 10), 1);
  PatchArea area;
  ASSERT_EQ(LoadText(area, "{{{MODULE 0,0,DRM TRACK 1,0 0,1 }}}MODULE"), LoadResult::Loaded);
  for (int32_t bank : {0, 5, 31}) EXPECT_EQ(GetDrumByte(DrumByteOffset(0, bank, 3, 10)), 0) << bank;
  EXPECT_EQ(GetDrumByte(DrumByteOffset(0, 0, 1, 1)), 1);
}

TEST_F(PatchReaderTest, NameValueAndOtherWords) {
  PatchArea area;
  // Further words of a path with spaces are skipped; FILETYPE, PROGRAM and NAME
  // swallow the next word even if it is a keyword.
  EXPECT_EQ(LoadText(area, "NAME C:\\My Patches\\a b.pch FILETYPE MODE PROGRAM PATCHSIZE {{{MODULE 0,0,OSC"),
            LoadResult::Loaded);
  EXPECT_NE(area.ModuleAt(0, 0), nullptr);
  // A later word of the path that is a keyword is taken as that keyword.
  EXPECT_EQ(LoadText(area, "NAME /home/me/MODE 3/x.pch"), LoadResult::Loaded);
  EXPECT_EQ(LoadText(area, "NAME /home/me/ MODE 3/x.pch"), LoadResult::LoadError);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Load-Error: MODE only allowed in MODULE Block"});
}

TEST_F(PatchReaderTest, LaterBlocksRetypeOrDeleteAnEarlierModule) {
  PatchArea area;
  ASSERT_EQ(LoadText(area,
                     "PATCHSIZE 40,24 {{{MODULE 3,3,OSC CONTROLLERS 1,1,1,1,1,1 }}}MODULE "
                     "{{{MODULE 10,3,OSC }}}MODULE {{{MODULE 10,3,VCA }}}MODULE "
                     "{{{MODULE 3,3,xxx }}}MODULE {{{MODULE 20,3,xxx }}}MODULE"),
            LoadResult::Loaded);
  EXPECT_EQ(area.ModuleAt(3, 3), nullptr);
  EXPECT_EQ(area.ModuleCovering(5, 5), nullptr);
  EXPECT_EQ(area.ModuleAt(10, 3)->type, kVCA);
  EXPECT_EQ(CountModules(area), 1);
  EXPECT_EQ(CountFreeBlocks(), kDspBlockCount - 1);
}

TEST_F(PatchReaderTest, UnknownNameCreatesNothingButAnEarlierModuleStillTakesTheLines) {
  PatchArea area;
  ASSERT_EQ(LoadText(area, "{{{MODULE 0,0,VCA }}}MODULE {{{MODULE 0,0,osc CONTROLLERS 9,9,9,9,9,9 }}}MODULE"),
            LoadResult::Loaded);
  EXPECT_EQ(area.ModuleAt(0, 0)->type, kVCA);
  EXPECT_EQ(Controller(area, 0, 0, 0), 9);
}

TEST_F(PatchReaderTest, PoolExhaustionWhileLoadingGoesOn) {
  PatchArea area;
  std::string text = "PATCHSIZE 40,24 ";
  for (int32_t k = 0; k < 5; ++k)
    text += "{{{MODULE " + std::to_string(3 * k) + ",0," + (k % 2 ? "FLA" : "DLY") + " }}}MODULE ";
  text += "{{{MODULE 0,6,OSC }}}MODULE";
  ASSERT_EQ(LoadText(area, text), LoadResult::Loaded);
  EXPECT_EQ(messages.Texts(),
            std::vector<std::string>{
                "Internal Varnotek Error: No Delay/Flanger buffers available, SetBlockType assignment failed"});
  EXPECT_EQ(area.ModuleAt(12, 0)->type, kNoModule);
  EXPECT_EQ(area.ModuleAt(0, 6)->type, kOSC);
}

TEST_F(PatchReaderTest, CrLfReadsLikeLf) {
  const std::string lf =
      "FILETYPE PCH\nVERSION 1.01\nNAME x.pch\nPATCHSIZE 40,24\n{{{MODULE 0,0,OSC\nCONTROLLERS 1,2,3,4,5,6\nMODE 3\n"
      "}}}MODULE\n{{{MODULE 4,0,OUT\nINPUT 2,0,0,0\n}}}MODULE\n{{{MODULE 8,0,SEQ\nSEQSTEPS 1,2,3,4,5,6,7,8,9,10,11,"
      "12,13,14,15,16\n}}}MODULE\n{{{MODULE 12,0,DRM\nTRACK 0,0 1,0,1\n}}}MODULE\n}}}PATCH\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  PatchArea area;
  ASSERT_EQ(LoadText(area, lf), LoadResult::Loaded);
  const std::string fromLf = SaveToText(area);
  ASSERT_EQ(LoadText(area, crlf), LoadResult::Loaded);
  EXPECT_EQ(SaveToText(area), fromLf);
  EXPECT_NE(fromLf.find("SEQSTEPS 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n"), std::string::npos);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PatchReaderTest, OverlongWordsAreCutWithoutSpillingIntoTheNextWord) {
  PatchArea area;
  const std::string longWord(199, 'A');
  const std::string text = "PATCHSIZE 40,24 " + longWord + "PATCHSIZE 41,24 " + std::string(100000, 'B') + " VERSION " +
                           std::string(5000, '1') + "\n{{{MODULE 0,0," + std::string(50, 'O') +
                           " }}}MODULE {{{MODULE 3,0,OSCOSCOSCOSC }}}MODULE {{{MODULE 6,0,VCA\n";
  EXPECT_EQ(LoadText(area, text), LoadResult::Loaded);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{kVersionWarning});
  EXPECT_EQ(area.ModuleAt(0, 0), nullptr);
  EXPECT_EQ(area.ModuleAt(3, 0), nullptr);
  EXPECT_EQ(area.ModuleAt(6, 0)->type, kVCA);
}

TEST_F(PatchReaderTest, NulBytesNeverMatchAName) {
  PatchArea area;
  const char raw[] = "{{{MODULE 0,0,OSC\0X }}}MODULE PATCH\0SIZE 99,99 {{{MODULE 0,0,VCA\0 }}}MODULE MODE\0 1";
  const std::string text(raw, sizeof(raw) - 1);
  EXPECT_EQ(LoadText(area, text), LoadResult::Loaded);
  EXPECT_EQ(CountModules(area), 0);
  EXPECT_TRUE(messages.shown.empty());
}

// Every prefix of a rich patch file: the reader stops anywhere without
// harm, and shows only messages of its own.
TEST_F(PatchReaderTest, TruncatedFilesLoadSafely) {
  PatchArea source;
  source.SetModuleAt(0, 0, kOSC);
  source.SetModuleAt(4, 0, kOUT);
  source.SetModuleAt(8, 0, kSEQ);
  source.SetModuleAt(12, 0, kDRM);
  source.SetModuleAt(16, 0, kFLT);
  source.Select(0, 0);
  source.BeginConnection(0);
  source.Select(4, 0);
  source.CompleteConnection(1);
  SetDrumByte(DrumByteOffset(0, 0, 1, 1), 1);
  const std::string text = SaveToText(source);
  source.Clear();

  const std::set<std::string> known = {kVersionWarning, kConnectFailure, "Load-Error: Patch wrong size",
                                       "Load-Error: Module out of patch area", "Load-Error: TRACK number out of range"};
  PatchArea area;
  for (size_t length = 0; length <= text.size(); ++length) {
    messages.shown.clear();
    const LoadResult result = LoadPatchFromText(area, text.data(), length, nullptr);
    for (const std::string& m : messages.Texts()) EXPECT_TRUE(known.count(m) == 1) << length << ": " << m;
    if (result == LoadResult::LoadError) {
      EXPECT_EQ(CountModules(area), 0);
    }
  }
  EXPECT_EQ(CountModules(area), 5);
}

}  // namespace
