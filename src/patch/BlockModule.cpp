#include "patch/BlockModule.h"

#include "dsp/DspMemory.h"
#include "dsp/MessageSink.h"
#include "dsp/Pools.h"

namespace {

using namespace BlockWord;

constexpr int32_t kControllerMin = -32768;
constexpr int32_t kControllerMax = 32767;

}  // namespace

BlockModule::BlockModule(ModuleType newType)
    : inputSource{},
      editControls{},
      type(ModuleTypeId::kNoModule),
      mode(0),
      posX(-1),
      posY(-1),
      dspBlock(kNone),
      editWindow(nullptr) {
  for (int32_t i = 0; i < kModuleInputCount; ++i) {
    inputSourceOutput[i] = -1;
    inputSourceY[i] = -1;
    inputSourceX[i] = -1;
  }
  SetBlockType(newType);
}

BlockModule::~BlockModule() { SetBlockType(ModuleTypeId::kNoModule); }

int32_t BlockModule::WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // Only a pattern edit window carries a module; the editors that opened it handle it.
  return patternEditWindowProc != nullptr ? patternEditWindowProc(*this, window, message, wParam, lParam) : 0;
}

void BlockModule::ResetInput(int32_t input) {
  inputSource[input] = nullptr;
  inputSourceOutput[input] = -1;
  inputSourceY[input] = -1;
  inputSourceX[input] = -1;
  if (dspBlock != kNone) DspMemory.Store(dspBlock + kInput + input, dspBlock + DefaultInputSource(type, input));
}

void BlockModule::SetBlockType(ModuleType newType) {
  if (!IsModuleType(newType)) newType = ModuleTypeId::kNoModule;

  // Stop the old algorithm before any other word of the block changes.
  if (dspBlock != kNone) SetOpcode(dspBlock, 0);

  if (editWindow != nullptr) {
    DestroyPlatformWindow(editWindow);
    editWindow = nullptr;
  }

  if (dspBlock != kNone) {
    const PoolBuffer oldBuffer = PoolBufferOf(type);
    if (oldBuffer == PoolBuffer::Delay) ReleaseDelayBuf(DspMemory.Load(dspBlock + kBufferNumber));
    if (oldBuffer == PoolBuffer::DrumPattern) ReleaseDRMBuffer(DspMemory.Load(dspBlock + kBufferNumber));
  }

  // Tested after the release above, so a DLY retyped to DLY finds its own
  // buffer free. FLA is tested like DLY, so no two modules share a buffer.
  const PoolBuffer newBuffer = PoolBufferOf(newType);
  if (newBuffer == PoolBuffer::Delay && DelayBufAvailable() == 0) {
    ShowMessage(nullptr, "Internal Varnotek Error: No Delay/Flanger buffers available, SetBlockType assignment failed",
                MessageIcon::Error);
    newType = ModuleTypeId::kNoModule;
  } else if (newBuffer == PoolBuffer::DrumPattern && DRMBufferAvailable() == 0) {
    ShowMessage(nullptr, "Internal Varnotek Error: No DrumPattern buffers available, SetBlockType assignment failed",
                MessageIcon::Error);
    newType = ModuleTypeId::kNoModule;
  }

  type = newType;
  mode = (newType == ModuleTypeId::kOSC) ? kOscHighRange : 0;

  if (newType == ModuleTypeId::kNoModule) {
    if (dspBlock != kNone) {
      for (int32_t i = 0; i < kModuleInputCount; ++i) ResetInput(i);
      ReleaseDSPBlock(dspBlock);
      dspBlock = kNone;
    }
    return;
  }

  if (dspBlock == kNone) {
    dspBlock = ReserveDSPBlock();
    if (dspBlock == kNone) {
      ShowMessage(nullptr, "Reserve DSPBlock failure", MessageIcon::None);
      return;
    }
  }

  if (PoolBufferOf(newType) == PoolBuffer::Delay) DspMemory.Store(dspBlock + kBufferNumber, ReserveDelayBuf());
  if (PoolBufferOf(newType) == PoolBuffer::DrumPattern) DspMemory.Store(dspBlock + kBufferNumber, ReserveDRMBuffer());

  for (int32_t i = 0; i < kModuleInputCount; ++i) ResetInput(i);
  for (int32_t c = 0; c < kModuleControllerCount; ++c)
    DspMemory.Store(dspBlock + kController + c, DefaultController(newType, c));
  DspMemory.Store(dspBlock + kRangeShift, 0);
  SetOpcode(dspBlock, OpcodeOf(newType, mode));
}

int32_t BlockModule::SetMode(int32_t newMode) {
  if (dspBlock == kNone) return 0;
  if (type == ModuleTypeId::kOSC) {
    if ((newMode & kOscWaveformMask) < kOscWaveformCount) {
      mode = newMode;
      SetOpcode(dspBlock, OpcodeOf(type, newMode));
    }
    // The range follows the given value even when its waveform was refused.
    DspMemory.Store(dspBlock + kRangeShift, (newMode & kOscHighRange) != 0 ? 0 : 8);
    return 1;
  }
  if (type == ModuleTypeId::kFLT) {
    if (newMode >= 0 && newMode < kFltModeCount) {
      mode = newMode;
      SetOpcode(dspBlock, OpcodeOf(type, newMode));
    }
    return 1;
  }
  return 0;
}

int32_t BlockModule::ConnectInput(BlockModule* source, int32_t output, int32_t input) {
  if (source == nullptr || source->dspBlock == kNone || dspBlock == kNone || input < 0 || input >= kModuleInputCount ||
      output < 0 || output >= kModuleOutputCount) {
    ShowMessage(nullptr, "Internal Varnotek Error: ConnectInput(*,i,i) failure", MessageIcon::None);
    return 0;
  }
  inputSource[input] = source;
  DspMemory.Store(dspBlock + kInput + input, source->dspBlock + kOutput + output);
  return 1;
}

int32_t BlockModule::DisConnectInput(int32_t input) {
  if (input < 0 || input >= kModuleInputCount) {
    ShowMessage(nullptr, "Internal Varnotek Error: DisConnectInput(i) failure", MessageIcon::None);
    return 0;
  }
  ResetInput(input);
  return 1;
}

int32_t BlockModule::GetController(int32_t index) const {
  if (dspBlock == kNone || index < 0 || index >= kModuleControllerCount) return 0;
  return DspMemory.Load(dspBlock + kController + index);
}

void BlockModule::SetController(int32_t index, int32_t value) {
  if (dspBlock == kNone || index < 0 || index >= kModuleControllerCount) return;
  if (value < kControllerMin || value > kControllerMax) return;
  DspMemory.Store(dspBlock + kController + index, value);
}

void BlockModule::OpenEditWindow(WindowHandle parent) {
  if (editWindow != nullptr) return;
  if (HasPatternEditWindow(type)) {
    // Seam for the pattern editors: they install openPatternEditWindow.
    if (openPatternEditWindow != nullptr) openPatternEditWindow(*this, parent);
    return;
  }
  ShowMessage(parent, "VARNOTEK: InternalError in BlockModule::OpenEditWindow()", MessageIcon::Error);
}
