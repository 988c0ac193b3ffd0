#include "audio/win32/WaveOutWin32.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <cstddef>

static_assert(sizeof(WaveHeader) == sizeof(WAVEHDR));
static_assert(offsetof(WaveHeader, data) == offsetof(WAVEHDR, lpData));
static_assert(offsetof(WaveHeader, bufferLength) == offsetof(WAVEHDR, dwBufferLength));
static_assert(offsetof(WaveHeader, bytesRecorded) == offsetof(WAVEHDR, dwBytesRecorded));
static_assert(offsetof(WaveHeader, user) == offsetof(WAVEHDR, dwUser));
static_assert(offsetof(WaveHeader, flags) == offsetof(WAVEHDR, dwFlags));
static_assert(offsetof(WaveHeader, loops) == offsetof(WAVEHDR, dwLoops));
static_assert(offsetof(WaveHeader, next) == offsetof(WAVEHDR, lpNext));
static_assert(offsetof(WaveHeader, reserved) == offsetof(WAVEHDR, reserved));
static_assert(kHeaderDone == WHDR_DONE && kHeaderPrepared == WHDR_PREPARED && kHeaderInQueue == WHDR_INQUEUE);
static_assert(kWaveOutOpen == MM_WOM_OPEN && kWaveOutDone == MM_WOM_DONE && kWaveOutClose == MM_WOM_CLOSE);
static_assert(kWaveOk == MMSYSERR_NOERROR && kWaveError == MMSYSERR_ERROR && kWaveBadDevice == MMSYSERR_BADDEVICEID &&
              kWaveNoMemory == MMSYSERR_NOMEM && kWaveBadFormat == WAVERR_BADFORMAT);

namespace {

HWAVEOUT Handle(void* handle) { return static_cast<HWAVEOUT>(handle); }
LPWAVEHDR Native(WaveHeader* header) { return reinterpret_cast<LPWAVEHDR>(header); }

}  // namespace

WaveOutWin32::~WaveOutWin32() { Close(); }

uint32_t WaveOutWin32::Open(const WaveFormat& format, ThreadMessageQueue* notify) {
  if (handle_ != nullptr) return MMSYSERR_ALLOCATED;
  // Without a thread to notify, no buffer would ever come back.
  if (notify == nullptr || notify->OwnerThreadId() == 0) return MMSYSERR_INVALPARAM;
  WAVEFORMATEX native{};
  native.wFormatTag = format.formatTag;
  native.nChannels = format.channels;
  native.nSamplesPerSec = format.samplesPerSecond;
  native.nAvgBytesPerSec = format.averageBytesPerSecond;
  native.nBlockAlign = format.blockAlign;
  native.wBitsPerSample = format.bitsPerSample;
  native.cbSize = 0;
  HWAVEOUT handle = nullptr;
  const MMRESULT result =
      waveOutOpen(&handle, WAVE_MAPPER, &native, notify->OwnerThreadId(), 0, CALLBACK_THREAD);
  if (result == MMSYSERR_NOERROR) handle_ = handle;
  return result;
}

uint32_t WaveOutWin32::PrepareHeader(WaveHeader* header) {
  const MMRESULT result = waveOutPrepareHeader(Handle(handle_), Native(header), sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) return result;
  WaveHeader** empty = nullptr;
  for (WaveHeader*& entry : prepared_) {
    if (entry == header) return result;
    if (entry == nullptr && empty == nullptr) empty = &entry;
  }
  if (empty != nullptr) *empty = header;
  return result;
}

uint32_t WaveOutWin32::Write(WaveHeader* header) {
  return waveOutWrite(Handle(handle_), Native(header), sizeof(WAVEHDR));
}

uint32_t WaveOutWin32::UnprepareHeader(WaveHeader* header) {
  const MMRESULT result = waveOutUnprepareHeader(Handle(handle_), Native(header), sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) return result;
  for (WaveHeader*& entry : prepared_) {
    if (entry == header) entry = nullptr;
  }
  return result;
}

void WaveOutWin32::Close() {
  if (handle_ == nullptr) return;
  // The reset hands every queued buffer back at once; only then will they unprepare.
  waveOutReset(Handle(handle_));
  for (WaveHeader*& entry : prepared_) {
    if (entry != nullptr) waveOutUnprepareHeader(Handle(handle_), Native(entry), sizeof(WAVEHDR));
    entry = nullptr;
  }
  waveOutClose(Handle(handle_));
  handle_ = nullptr;
}

WaveOutWin32& DefaultWaveOutWin32() {
  static WaveOutWin32 device;
  return device;
}
