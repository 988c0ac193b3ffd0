// The module type catalogue: the read-only description of every module type,
// indexed by its type number 0..35. Nothing in it changes at run time.
#pragma once

#include <cstdint>

using ModuleType = int32_t;

inline constexpr int32_t kModuleTypeCount = 36;
inline constexpr int32_t kModuleLabelCount = 16;      // 6 controllers, 5 inputs, 5 outputs
inline constexpr int32_t kLabelController = 0;        // entries 0..5
inline constexpr int32_t kLabelInput = 6;             // entries 6..10
inline constexpr int32_t kLabelOutput = 11;           // entries 11..15
inline constexpr int32_t kModuleCommandBase = 50000;  // command id of type t is 50000 + t

// Types with a behaviour of their own; every other number names "---".
namespace ModuleTypeId {
inline constexpr ModuleType kNoModule = 0;
inline constexpr ModuleType kOSC = 1;
inline constexpr ModuleType kVCF = 2;
inline constexpr ModuleType kFLT = 3;
inline constexpr ModuleType kVCA = 4;
inline constexpr ModuleType kADD = 5;
inline constexpr ModuleType kMUL = 6;
inline constexpr ModuleType kENV = 12;
inline constexpr ModuleType kSampleHold = 13;
inline constexpr ModuleType kGLI = 14;
inline constexpr ModuleType kSWI = 15;
inline constexpr ModuleType kSEQ = 16;
inline constexpr ModuleType kDRM = 17;
inline constexpr ModuleType kPAT = 18;
inline constexpr ModuleType kSNG = 19;
inline constexpr ModuleType kCNT = 20;
inline constexpr ModuleType kCLP = 24;
inline constexpr ModuleType kDLY = 32;
inline constexpr ModuleType kFLA = 33;
inline constexpr ModuleType kMIX = 34;
inline constexpr ModuleType kOUT = 35;
}  // namespace ModuleTypeId

// OSC mode: waveform in the low 8 bits, high range while bit 8 is set.
inline constexpr int32_t kOscWaveformMask = 255;
inline constexpr int32_t kOscWaveformCount = 6;
inline constexpr int32_t kOscHighRange = 256;
inline constexpr int32_t kFltModeCount = 3;
inline constexpr int32_t kOscOpcodeBase = 37;
inline constexpr int32_t kFltOpcodeBase = 43;

// Offset of the block's constant-zero word; unwired inputs that have no
// controller of their own read it.
inline constexpr int32_t kZeroSlotSource = 35;

extern const char* const ModuleTypeName[kModuleTypeCount];
// nullptr = absent (no such element); "" = an element without a caption.
extern const char* const ModuleLabels[kModuleTypeCount][kModuleLabelCount];
// Offsets from the module's block: 35 (zeroSlot) or i + 1 (its own controller).
extern const int32_t DefaultInputSources[kModuleTypeCount][5];
extern const int32_t DefaultControllers[kModuleTypeCount][6];

enum class PoolBuffer { None, Delay, DrumPattern };

// Every lookup takes a type 0..35; callers check numbers from outside first.
inline bool IsModuleType(int32_t type) { return type >= 0 && type < kModuleTypeCount; }

const char* TypeName(ModuleType type);
// First exact, case-sensitive match in type order, or -1.
ModuleType TypeOfName(const char* name);
// nullptr when the entry (0..15) is absent.
const char* ModuleLabel(ModuleType type, int32_t entry);
int32_t DefaultInputSource(ModuleType type, int32_t input);
int32_t DefaultController(ModuleType type, int32_t controller);
// The opcode under which the render loop runs the type; mode must be a mode
// the type accepts (OSC: waveform 0..5 plus the range flag, FLT: 0..2).
int32_t OpcodeOf(ModuleType type, int32_t mode);
bool OutputExists(ModuleType type, int32_t output);
// Whether the panel offers input i: it has a caption or its paired controller i + 1 has one.
bool InputOffered(ModuleType type, int32_t input);
// Whether the panel offers controller c; a wire on the paired input c - 1
// replaces the value unless that input has a caption of its own.
bool ControllerOffered(ModuleType type, int32_t controller, bool pairedInputWired);
PoolBuffer PoolBufferOf(ModuleType type);
bool HasPatternEditWindow(ModuleType type);
