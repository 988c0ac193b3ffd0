#!/usr/bin/env bash
# varnotek-play-raw under Wine, through waveOut, Wine's ALSA driver and
# ALSA's file plugin over its null device, which records every byte the
# device is given (as a WAV file, so that its header tells the format Wine
# opened ALSA with). The null device takes data as fast as it comes, so the
# ring turns as fast as it renders.
#
#   play-capture.sh capture NATIVE_RENDER_RAW PLAY_RAW.exe PATCH
#     the capture, in the ring's own format, holds the Linux render's frames
#     in order, with nothing but silence between them
#   play-capture.sh no-device PLAY_RAW.exe PATCH
#     without a device to open, the one message and no sound
set -euo pipefail
mode=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ALSA_CONFIG_PATH="$work/asound.conf"
# Wine picks the first audio driver that works; a PulseAudio server would win.
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
seconds=2
fail() { echo "$*" >&2; exit 1; }

case $mode in
capture)
  native=$1 play=$2 patch=$3
  cat >"$ALSA_CONFIG_PATH" <<CONF
pcm.!default {
  type file
  slave.pcm { type null }
  file "$work/capture.wav"
  format "wav"
}
CONF
  wine "$play" "$patch" "$seconds" || fail "varnotek-play-raw exited with $?"
  capture=$work/capture.wav
  [ -f "$capture" ] || fail "nothing was captured: Wine did not play through ALSA"
  # WAVE, a 16-byte fmt chunk: PCM, 2 channels, 44100 Hz, 176400 bytes/s,
  # 4-byte frames, 16 bits; then the data chunk.
  header=$(od -An -tx1 -j8 -N32 "$capture" | tr -d ' \n')
  [ "$header" = 57415645666d7420100000000100020044ac000010b102000400100064617461 ] ||
    fail "ALSA was not opened as 16-bit stereo PCM at 44100 Hz: fmt $header"
  bytes=$(($(stat -c %s "$capture") - 44))
  # The plugin writes the length on close: the device was closed in order.
  [ "$(od -An -tu4 -j40 -N4 "$capture" | tr -d ' ')" -eq "$bytes" ] || fail "data length not written"
  [ $((bytes % 4)) -eq 0 ] || fail "$bytes bytes is no whole number of frames"
  frames=$((bytes / 4))
  "$native" "$patch" "$frames" "$work/render.raw"
  # Whenever Wine's driver runs dry (at the end, or when the renderer is
  # starved on a busy machine) it pads with a period of silence. So the
  # capture is compared with the render without their silent frames: every
  # rendered frame must arrive, in order and unchanged, and nothing but
  # silence may come between them.
  sounding() { od -An -v -w4 -tx4 | grep -v -x ' 00000000' || true; }
  tail -c +45 "$capture" | sounding >"$work/capture.words"
  sounding <"$work/render.raw" >"$work/render.words"
  played=$(wc -l <"$work/capture.words")
  # Far more than the three buffers queued at start: the ring went round.
  [ "$played" -ge 44100 ] || fail "only $played sounding frames played in $seconds s"
  head -n "$played" "$work/render.words" | cmp -s - "$work/capture.words" ||
    fail "the capture differs from the Linux render"
  echo "$frames frames played, $((frames - played)) of them silence: the Linux render's frames, in order"
  ;;
no-device)
  play=$1 patch=$2
  # A default device that names a card no machine has.
  echo 'pcm.!default { type hw card 99 }' >"$ALSA_CONFIG_PATH"
  status=0
  out=$(wine "$play" "$patch" "$seconds") || status=$?
  [ "$status" -eq 3 ] || fail "exit status $status, not 3 (audio did not start)"
  out=$(printf '%s' "$out" | tr -d '\r')
  [ "$out" = "waveOutOpen failed, check WAVE-Output settings" ] || fail "messages were: $out"
  echo "one message: $out"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
