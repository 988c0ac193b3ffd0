// The module type catalogue: name lookups, which elements a panel offers and
// the documented defaults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "patch/ModuleCatalogue.h"

namespace {

using namespace ModuleTypeId;

TEST(ModuleCatalogue, NameLookupTakesTheFirstExactMatch) {
  const std::pair<const char*, ModuleType> cases[] = {{"xxx", 0},           {"---", 7},    {"OSC", kOSC},
                                                      {"S/H", kSampleHold}, {"OUT", kOUT}, {"osc", -1},
                                                      {"OSC ", -1},         {"OS", -1},    {"", -1}};
  for (const auto& [name, type] : cases) EXPECT_EQ(TypeOfName(name), type) << '"' << name << '"';
}

TEST(ModuleCatalogue, PanelOffersLabelledElements) {
  const std::pair<ModuleType, std::string> outputs[] = {{kOSC, "10001"}, {kVCF, "11100"}, {kMUL, "10000"},
                                                        {kCNT, "11111"}, {kDRM, "00000"}, {kOUT, "00000"}};
  for (const auto& [type, exists] : outputs)
    for (int32_t o = -1; o < 6; ++o) EXPECT_EQ(OutputExists(type, o), o >= 0 && o < 5 && exists[o] == '1') << type << o;
  // An empty caption is a caption; an uncaptioned input is offered through its controller.
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(InputOffered(kMIX, i) + InputOffered(kADD, i), i < 4 ? 2 : 0) << i;
  // A wire on the paired input replaces the controller, unless that input has a caption.
  const int32_t controllers[][4] = {{kOSC, 0, 1, 1}, {kOSC, 3, 1, 0}, {kOSC, 4, 1, 1}, {kOSC, 1, 0, 0},
                                    {kADD, 1, 1, 0}, {kENV, 4, 1, 0}, {kOUT, 5, 1, 1}, {kMIX, 1, 1, 1}};
  for (const auto& [type, controller, unwired, wired] : controllers) {
    EXPECT_EQ(ControllerOffered(type, controller, false), unwired == 1) << type << " " << controller;
    EXPECT_EQ(ControllerOffered(type, controller, true), wired == 1) << type << " " << controller;
  }
}

TEST(ModuleCatalogue, DefaultSourcesAndControllers) {
  // Every unwired input reads the zero slot or its own paired controller.
  for (ModuleType type = 0; type < kModuleTypeCount; ++type)
    for (int32_t i = 0; i < 5; ++i)
      EXPECT_TRUE(DefaultInputSource(type, i) == kZeroSlotSource || DefaultInputSource(type, i) == i + 1) << type << i;
  EXPECT_EQ((std::vector{DefaultInputSource(kADD, 3), DefaultInputSource(25, 1), DefaultInputSource(26, 0)}),
            (std::vector{4, 2, 1}));
  // MIX's uncaptioned controller 5 starts like the volumes; of OUT's three "Mid Vol" only the first does.
  const int32_t controllers[][3] = {{kMIX, 5, 26000}, {kOUT, 2, 0},    {kOUT, 3, 26000}, {kOUT, 4, 0},
                                    {kCLP, 1, 4096},  {kDLY, 2, 8192}, {kENV, 1, 28000}};
  for (const auto& [type, c, value] : controllers) EXPECT_EQ(DefaultController(type, c), value) << type << " " << c;
}

}  // namespace
