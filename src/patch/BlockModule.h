// BlockModule: one placed module, bound to one DSPBlock in DspMemory. It is
// the only writer of that block's controller, input, opcode, buffer-number
// and range-shift words, and it owns the block, the module's pool buffer and
// its pattern edit window.
#pragma once

#include <cstdint>

#include "patch/ModuleCatalogue.h"
#include "platform/Window.h"

inline constexpr int32_t kModuleInputCount = 5;
inline constexpr int32_t kModuleOutputCount = 5;
inline constexpr int32_t kModuleControllerCount = 6;
inline constexpr int32_t kEditControlCount = 256;

class BlockModule;

// Opens the SEQ or DRM pattern edit window for a module and stores it in
// `editWindow` and `editControls`. Installed by the pattern editors; while
// none is installed, OpenEditWindow on a SEQ or DRM opens nothing.
using OpenPatternWindowFunction = void (*)(BlockModule& module, WindowHandle parent);
inline OpenPatternWindowFunction openPatternEditWindow = nullptr;
// Handles the messages of a module's pattern edit window; installed with
// openPatternEditWindow.
using PatternWindowProcedure = int32_t (*)(BlockModule& module, WindowHandle window, uint32_t message,
                                           uintptr_t wParam, intptr_t lParam);
inline PatternWindowProcedure patternEditWindowProc = nullptr;

// Final: the destructor is not virtual, and modules are deleted as BlockModule.
class BlockModule final : public WindowObject {
 public:
  // Live references that ConnectInput sets; nullptr = the input reads its default.
  BlockModule* inputSource[kModuleInputCount];
  // The wire as recorded by the patch area or the file reader: source output
  // and the source's grid position at that time; -1 = none. The panel shows an
  // input as wired while its recorded output is not -1.
  int32_t inputSourceOutput[kModuleInputCount];
  int32_t inputSourceY[kModuleInputCount];
  int32_t inputSourceX[kModuleInputCount];
  // SEQ: the 16 value labels; DRM: the 256 step buttons (track * 64 + step).
  WindowHandle editControls[kEditControlCount];
  ModuleType type;
  int32_t mode;      // OSC: waveform in bits 0..7, high range in bit 8; FLT: 0..2; else 0
  int32_t posX;      // anchor column 0..36, set by the patch area
  int32_t posY;      // anchor row 0..20
  int32_t dspBlock;  // index of the block's first word; -1 = none
  WindowHandle editWindow;

  explicit BlockModule(ModuleType newType);
  ~BlockModule();
  BlockModule(const BlockModule&) = delete;
  BlockModule& operator=(const BlockModule&) = delete;

  // Handles the messages of the module's pattern edit window.
  int32_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  // A type outside 0..35 is taken as 0. Clears the opcode first and writes it
  // last, so the render loop never runs a half-written block.
  void SetBlockType(ModuleType newType);
  int32_t SetMode(int32_t newMode);
  // Points input word 8 + input at the source's output word. Writes neither
  // the recorded fields nor asks whether the output or input exists.
  int32_t ConnectInput(BlockModule* source, int32_t output, int32_t input);
  int32_t DisConnectInput(int32_t input);
  int32_t GetController(int32_t index) const;
  // Drops values outside -32768..32767 without a message.
  void SetController(int32_t index, int32_t value);
  void OpenEditWindow(WindowHandle parent);
  // Defined by the pattern editors, called only through openPatternEditWindow
  // while editWindow is none.
  void OpenSequencerWindow(WindowHandle parent);
  void OpenDrumWindow(WindowHandle parent);

 private:
  void ResetInput(int32_t input);
};
