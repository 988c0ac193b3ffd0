// Puts the whole engine back as it is when the program starts: every
// DspMemory word, delay sample and drum-pattern byte zero, the noise source at
// its seed, then InitDspMemory. For a process that renders several patches
// from scratch (tests, fuzzing, benchmarks); only valid while no module
// exists and no render runs.
#pragma once

void ResetEngineToProgramStart();
