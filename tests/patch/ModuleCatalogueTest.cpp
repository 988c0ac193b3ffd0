// The module type catalogue: name lookups, absent versus empty labels, the
// element rules derived from them, default sources and the opcode rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "patch/ModuleCatalogue.h"

namespace {

using namespace ModuleTypeId;

TEST(ModuleCatalogue, NameLookupTakesFirstExactMatch) {
  struct Case {
    const char* name;
    ModuleType expected;
  };
  const Case cases[] = {
      {"---", 7},    {"xxx", 0},    {"OSC", kOSC}, {"osc", -1},  {"Osc", -1}, {"S/H", kSampleHold},
      {"OUT", kOUT}, {"DLY", kDLY}, {"", -1},      {"OSC ", -1}, {"OS", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(TypeOfName(c.name), c.expected) << '"' << c.name << '"';
}

TEST(ModuleCatalogue, EveryNameButPlaceholderNamesItsOwnType) {
  for (ModuleType type = 0; type < kModuleTypeCount; ++type) {
    const ModuleType found = TypeOfName(TypeName(type));
    if (std::strcmp(TypeName(type), "---") == 0) {
      EXPECT_EQ(found, 7) << type;
    } else {
      EXPECT_EQ(found, type) << TypeName(type);
    }
  }
  // Exactly the numbers without a kind of their own are placeholders.
  for (ModuleType type : {7, 8, 9, 10, 11, 21, 22, 23, 25, 26, 27, 28, 29, 30, 31})
    EXPECT_STREQ(TypeName(type), "---") << type;
}

TEST(ModuleCatalogue, OutputsExistExactlyWhereLabelled) {
  struct Case {
    ModuleType type;
    bool exists[5];
  };
  const Case cases[] = {
      {kOSC, {true, false, false, false, true}},   {kVCF, {true, true, true, false, false}},
      {kCNT, {true, true, true, true, true}},      {kSEQ, {true, false, false, false, true}},
      {kOUT, {false, false, false, false, false}}, {kDRM, {false, false, false, false, false}},
      {kFLA, {true, false, false, false, false}},
  };
  for (const Case& c : cases)
    for (int32_t o = 0; o < 5; ++o) EXPECT_EQ(OutputExists(c.type, o), c.exists[o]) << TypeName(c.type) << " " << o;
  EXPECT_FALSE(OutputExists(kCNT, -1));
  EXPECT_FALSE(OutputExists(kCNT, 5));
}

TEST(ModuleCatalogue, EmptyCaptionDiffersFromAbsentLabel) {
  for (int32_t input = 0; input < 4; ++input) {
    ASSERT_NE(ModuleLabel(kMIX, kLabelInput + input), nullptr);
    EXPECT_STREQ(ModuleLabel(kMIX, kLabelInput + input), "");
  }
  EXPECT_EQ(ModuleLabel(kMIX, kLabelInput + 4), nullptr);
  // MIX input 4 pairs with controller 5, which has no caption either.
  EXPECT_FALSE(InputOffered(kMIX, 4));
  for (int32_t input = 0; input < 4; ++input) EXPECT_TRUE(InputOffered(kMIX, input));
}

TEST(ModuleCatalogue, TypesWithoutKindOrCaptionsHaveNoLabels) {
  for (ModuleType type : {0, 7, 8, 9, 10, 11, 17, 18, 19, 21, 22, 23, 25, 26, 27, 28, 29, 30, 31})
    for (int32_t entry = 0; entry < kModuleLabelCount; ++entry)
      EXPECT_EQ(ModuleLabel(type, entry), nullptr) << type << " " << entry;
}

TEST(ModuleCatalogue, AdderInputsAreOfferedThroughTheirControllers) {
  for (int32_t input = 0; input < 4; ++input) {
    EXPECT_EQ(ModuleLabel(kADD, kLabelInput + input), nullptr);
    EXPECT_TRUE(InputOffered(kADD, input)) << input;
    // Unwired, input i reads controller i + 1.
    EXPECT_EQ(DefaultInputSource(kADD, input), input + 1);
  }
  EXPECT_FALSE(InputOffered(kADD, 4));
  EXPECT_EQ(DefaultInputSource(kADD, 4), kZeroSlotSource);
}

TEST(ModuleCatalogue, ControllerGivesWayToAWireOnAnUncaptionedPairedInput) {
  struct Case {
    ModuleType type;
    int32_t controller;
    bool unwired;
    bool wired;
  };
  const Case cases[] = {
      {kOSC, 0, true, true},    // controller 0 has no paired input
      {kOSC, 3, true, false},   // "DEPTH" replaced by a wire on uncaptioned input 2
      {kOSC, 4, true, true},    // "PW" stays: input 3 is captioned "PWM"
      {kOSC, 1, false, false},  // no caption
      {kADD, 1, true, false},  {kENV, 4, true, false}, {kOUT, 1, true, true},
      {kOUT, 5, true, true},   {kMIX, 1, true, true},  {kDLY, 0, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ControllerOffered(c.type, c.controller, false), c.unwired) << TypeName(c.type) << " " << c.controller;
    EXPECT_EQ(ControllerOffered(c.type, c.controller, true), c.wired) << TypeName(c.type) << " " << c.controller;
  }
}

TEST(ModuleCatalogue, DefaultSourcesAreZeroSlotOrOwnPairedController) {
  for (ModuleType type = 0; type < kModuleTypeCount; ++type)
    for (int32_t input = 0; input < 5; ++input) {
      const int32_t offset = DefaultInputSource(type, input);
      EXPECT_TRUE(offset == kZeroSlotSource || offset == input + 1) << type << " " << input << " " << offset;
    }
  EXPECT_EQ(DefaultInputSource(kOSC, 2), 3);
  EXPECT_EQ(DefaultInputSource(kOSC, 3), 4);
  EXPECT_EQ(DefaultInputSource(25, 1), 2);
  EXPECT_EQ(DefaultInputSource(26, 0), 1);
}

TEST(ModuleCatalogue, DefaultControllersOfTheSpecialRows) {
  // MIX's uncaptioned controller 5 starts like the volumes.
  EXPECT_EQ(DefaultController(kMIX, 5), 26000);
  EXPECT_EQ(ModuleLabel(kMIX, 5), nullptr);
  // Of OUT's three "Mid Vol" only the first starts audible.
  EXPECT_EQ(DefaultController(kOUT, 2), 0);
  EXPECT_EQ(DefaultController(kOUT, 3), 26000);
  EXPECT_EQ(DefaultController(kOUT, 4), 0);
  EXPECT_EQ(DefaultController(kCLP, 1), 4096);
  EXPECT_EQ(DefaultController(kDLY, 2), 8192);
  for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(DefaultController(kVCA, c), 0);
}

TEST(ModuleCatalogue, OpcodeRule) {
  struct Case {
    ModuleType type;
    int32_t mode;
    int32_t opcode;
  };
  const Case cases[] = {
      {kOSC, 256, 37}, {kOSC, 256 + 5, 42}, {kOSC, 3, 40}, {kFLT, 0, 43}, {kFLT, 2, 45},
      {kPAT, 0, 18},   {kSNG, 0, 19},       {kENV, 0, 12}, {kOUT, 0, 35}, {7, 0, 7},
  };
  for (const Case& c : cases) EXPECT_EQ(OpcodeOf(c.type, c.mode), c.opcode) << TypeName(c.type) << " " << c.mode;
}

TEST(ModuleCatalogue, PoolBuffersAndEditWindows) {
  for (ModuleType type = 0; type < kModuleTypeCount; ++type) {
    const PoolBuffer expected = (type == kDLY || type == kFLA) ? PoolBuffer::Delay
                                : type == kDRM                 ? PoolBuffer::DrumPattern
                                                               : PoolBuffer::None;
    EXPECT_EQ(PoolBufferOf(type), expected) << type;
    EXPECT_EQ(HasPatternEditWindow(type), type == kSEQ || type == kDRM) << type;
  }
}

}  // namespace
