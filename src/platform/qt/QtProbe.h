// Counts of what the shell asked of the Qt adapter, for the GUI tests: they
// tell a repaint with the background cleared from one that keeps it, and a
// panel refresh (which sets every caption and value text) from none.
#pragma once

#include <cstdint>

struct QtWindowActivity {
  int32_t invalidations = 0;
  int32_t erasingInvalidations = 0;
  int32_t textsSet = 0;
};

QtWindowActivity& QtActivity();
