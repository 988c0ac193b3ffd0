#include "patch/ModuleCatalogue.h"

#include <cstring>

namespace {
constexpr const char* x = nullptr;  // an absent label entry, so the rows line up
constexpr int32_t Z = kZeroSlotSource;
}  // namespace

// The tables keep one row per type.
// clang-format off
const char* const ModuleTypeName[kModuleTypeCount] = {
    "xxx", "OSC", "VCF", "FLT", "VCA", "ADD", "MUL", "---", "---", "---", "---", "---",
    "ENV", "S/H", "GLI", "SWI", "SEQ", "DRM", "PAT", "SNG", "CNT", "---", "---", "---",
    "CLP", "---", "---", "---", "---", "---", "---", "---", "DLY", "FLA", "MIX", "OUT",
};

// Per row: controllers 0..5 | inputs 0..4 | outputs 0..4.
const char* const ModuleLabels[kModuleTypeCount][kModuleLabelCount] = {
    /* 0 xxx */ {},
    /* 1 OSC */
    {"Frequency", x, x, "DEPTH", "PW", x, "FM1", "FM2", x, "PWM", "SyncIn", "OUTPUT", x, x, x, "SyncOut"},
    /* 2 VCF */
    {"CUTOFF FRQ.", x, "CUTOFF CTR1", "CUTOFF CTR2", "RES", x, "AUDIO", x, x, x, x, "LP-OUT", "HP-OUT", "BP-OUT", x, x},
    /* 3 FLT */
    {"CUTOFF FRQ", x, "CUTOFF CTR1", "CUTOFF CTR2", "COLOR", x, "AUDIO", x, x, x, x, "Low-PASS", x, x, x, x},
    /* 4 VCA */
    {"Amplitude", x, "AM 1", "AM 2", x, x, "AUDIO", x, x, x, x, "OUTPUT", x, x, x, x},
    /* 5 ADD */
    {x, "Value 1", "Value 2", "Value 3", "Value 4", x, x, x, x, x, x, "OUTPUT", x, x, x, x},
    /* 6 MUL */
    {x, "Value 1", "Value 2", x, x, x, x, x, x, x, x, "OUTPUT", x, x, x, x},
    /* 7..11 --- */ {}, {}, {}, {}, {},
    /* 12 ENV */
    {"Amplitude", "ATTACK", "DECAY 1", "BREAK POINT", "DECAY 2", x, x, x, x, x, "GATE", "OUTPUT", x, x, x, x},
    /* 13 S/H */
    {x, x, x, x, x, x, "INPUT", x, x, x, "GATE", "OUTPUT", x, x, x, x},
    /* 14 GLI */
    {x, x, "Follow Speed", x, x, x, "INPUT", x, x, x, x, "OUTPUT", x, x, x, x},
    /* 15 SWI */
    {x, "Input 1", "Input 2", "SWITCH", x, x, x, x, x, x, x, "OUTPUT", x, x, x, x},
    /* 16 SEQ */
    {"Sequence Length", x, x, x, x, x, x, x, x, "RESTART", "STEP", "OUTPUT", x, x, x, "Res-Out"},
    /* 17 DRM, 18 PAT, 19 SNG */ {}, {}, {},
    /* 20 CNT */
    {x, x, x, x, x, x, x, x, x, "RESET", "TRIG", "OUT 0", "OUT 1", "OUT 2", "OUT 3", "OUT 4"},
    /* 21..23 --- */ {}, {}, {},
    /* 24 CLP */
    {x, x, "Amplitude", x, x, x, "INPUT", x, x, x, x, "OUTPUT", x, x, x, x},
    /* 25..31 --- */ {}, {}, {}, {}, {}, {}, {},
    /* 32 DLY */
    {"Line Length", x, "FeedBack", "Direct Sound", x, x, "AUDIO", x, x, x, x, "OUTPUT", x, x, x, x},
    /* 33 FLA */
    {x, x, "MODULATION", "Direct Sound", x, x, "AUDIO", x, x, x, x, "AUDIO", x, x, x, x},
    /* 34 MIX */
    {"MASTER VOL", "Volume 1", "Volume 2", "Volume 3", "Volume 4", x, "", "", "", "", x, "OUTPUT", x, x, x, x},
    /* 35 OUT */
    {x, "Left Vol", "Mid Vol", "Mid Vol", "Mid Vol", "Right Vol", "LEFT", "CENTER", "CENTER", "CENTER", "RIGHT", x, x,
     x, x, x},
};

const int32_t DefaultInputSources[kModuleTypeCount][5] = {
    /* 0 */ {Z, Z, Z, Z, Z},
    /* 1 OSC */ {Z, Z, 3, 4, Z},
    /* 2 VCF */ {Z, Z, Z, 4, Z},
    /* 3 FLT */ {Z, Z, Z, 4, Z},
    /* 4 VCA */ {Z, Z, Z, Z, Z},
    /* 5 ADD */ {1, 2, 3, 4, Z},
    /* 6 MUL */ {1, 2, Z, Z, Z},
    /* 7..11 */ {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z},
    /* 12 ENV */ {1, 2, 3, 4, Z},
    /* 13 S/H */ {Z, Z, Z, Z, Z},
    /* 14 GLI */ {Z, 2, Z, Z, Z},
    /* 15 SWI */ {1, 2, Z, Z, Z},
    /* 16..23 */ {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z},
    {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z},
    /* 24 CLP */ {Z, 2, 3, Z, Z},
    /* 25 --- */ {Z, 2, Z, Z, Z},
    /* 26 --- */ {1, Z, Z, Z, Z},
    /* 27..31 */ {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z}, {Z, Z, Z, Z, Z},
    /* 32 DLY */ {Z, 2, 3, Z, Z},
    /* 33 FLA */ {Z, 2, 3, Z, Z},
    /* 34 MIX */ {Z, Z, Z, Z, Z},
    /* 35 OUT */ {Z, Z, Z, Z, Z},
};

// Rows not named here start at all zeros. MIX's uncaptioned controller 5
// starts at 26000 too, and only the first of OUT's three "Mid Vol" does.
const int32_t DefaultControllers[kModuleTypeCount][6] = {
    /* 0 */ {},
    /* 1 OSC */ {22000, 0, 0, 32767, 0, 0},
    /* 2 VCF */ {22000, 0, 0, 0, 16383, 0},
    /* 3 FLT */ {22000, 0, 0, 0, 8192, 0},
    /* 4 VCA */ {},
    /* 5 ADD */ {32767, 0, 0, 0, 0, 0},
    /* 6..11 */ {}, {}, {}, {}, {}, {},
    /* 12 ENV */ {32767, 28000, 28000, 0, 0, 0},
    /* 13..23 */ {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
    /* 24 CLP */ {0, 4096, 0, 0, 0, 0},
    /* 25..31 */ {}, {}, {}, {}, {}, {}, {},
    /* 32 DLY */ {4096, 0, 8192, 0, 0, 0},
    /* 33 FLA */ {},
    /* 34 MIX */ {32767, 26000, 26000, 26000, 26000, 26000},
    /* 35 OUT */ {0, 0, 0, 26000, 0, 0},
};

// clang-format on

const char* TypeName(ModuleType type) { return ModuleTypeName[type]; }

ModuleType TypeOfName(const char* name) {
  for (ModuleType type = 0; type < kModuleTypeCount; ++type)
    if (std::strcmp(ModuleTypeName[type], name) == 0) return type;
  return -1;
}

const char* ModuleLabel(ModuleType type, int32_t entry) { return ModuleLabels[type][entry]; }

int32_t DefaultInputSource(ModuleType type, int32_t input) { return DefaultInputSources[type][input]; }

int32_t DefaultController(ModuleType type, int32_t controller) { return DefaultControllers[type][controller]; }

int32_t OpcodeOf(ModuleType type, int32_t mode) {
  if (type == ModuleTypeId::kOSC) return kOscOpcodeBase + (mode & kOscWaveformMask);
  if (type == ModuleTypeId::kFLT) return kFltOpcodeBase + mode;
  return type;
}

bool OutputExists(ModuleType type, int32_t output) {
  return output >= 0 && output < 5 && ModuleLabels[type][kLabelOutput + output] != nullptr;
}

bool InputOffered(ModuleType type, int32_t input) {
  if (input < 0 || input >= 5) return false;
  return ModuleLabels[type][kLabelInput + input] != nullptr ||
         ModuleLabels[type][kLabelController + input + 1] != nullptr;
}

bool ControllerOffered(ModuleType type, int32_t controller, bool pairedInputWired) {
  if (controller < 0 || controller >= 6) return false;
  if (ModuleLabels[type][kLabelController + controller] == nullptr) return false;
  if (controller >= 1 && pairedInputWired && ModuleLabels[type][kLabelInput + controller - 1] == nullptr) return false;
  return true;
}

PoolBuffer PoolBufferOf(ModuleType type) {
  if (type == ModuleTypeId::kDLY || type == ModuleTypeId::kFLA) return PoolBuffer::Delay;
  if (type == ModuleTypeId::kDRM) return PoolBuffer::DrumPattern;
  return PoolBuffer::None;
}

bool HasPatternEditWindow(ModuleType type) { return type == ModuleTypeId::kSEQ || type == ModuleTypeId::kDRM; }
