// Qt adapter: icon resources.
//
// Implements the icon resources by number from the XPM sources in
// resources/icons, which Qt reads as they are; each is turned into a pixmap
// once, on first use.
#include <map>

#include "platform/qt/QtWindowTypes.h"

// clang-format off
#include "resources/icons/program-105.xpm"
#include "resources/icons/program-106.xpm"
#include "resources/icons/icon-110-osc.xpm"
#include "resources/icons/icon-114-filter.xpm"
#include "resources/icons/icon-115-envelope.xpm"
#include "resources/icons/icon-119-speaker.xpm"
#include "resources/icons/icon-120-adder.xpm"
#include "resources/icons/icon-121-multiplier.xpm"
#include "resources/icons/icon-123-amplifier.xpm"
#include "resources/icons/icon-124-sample-hold.xpm"
#include "resources/icons/icon-125-mixer.xpm"
#include "resources/icons/mode-126.xpm"
#include "resources/icons/mode-127.xpm"
#include "resources/icons/mode-128.xpm"
#include "resources/icons/mode-129.xpm"
#include "resources/icons/mode-130.xpm"
#include "resources/icons/mode-131.xpm"
#include "resources/icons/mode-132.xpm"
#include "resources/icons/mode-133.xpm"
#include "resources/icons/mode-134.xpm"
#include "resources/icons/mode-135.xpm"
#include "resources/icons/mode-136.xpm"
#include "resources/icons/mode-137.xpm"
#include "resources/icons/mode-138.xpm"
#include "resources/icons/mode-139.xpm"
#include "resources/icons/mode-140.xpm"
#include "resources/icons/mode-141.xpm"
#include "resources/icons/mode-143.xpm"
#include "resources/icons/mode-144.xpm"
#include "resources/icons/mode-145.xpm"
#include "resources/icons/mode-146.xpm"
#include "resources/icons/mode-147.xpm"
#include "resources/icons/mode-148.xpm"
// clang-format on

namespace {

struct IconResource {
  int32_t number;
  const char* const* xpm;
};

constexpr IconResource kIcons[] = {
    {105, program_large_xpm},
    {106, program_small_xpm},
    {110, osc_xpm},
    {114, filter_xpm},
    {115, envelope_xpm},
    {119, speaker_xpm},
    {120, adder_xpm},
    {121, multiplier_xpm},
    {123, amplifier_xpm},
    {124, sample_hold_xpm},
    {125, mixer_xpm},
    {126, mode_126_xpm},
    {127, mode_127_xpm},
    {128, mode_128_xpm},
    {129, mode_129_xpm},
    {130, mode_130_xpm},
    {131, mode_131_xpm},
    {132, mode_132_xpm},
    {133, mode_133_xpm},
    {134, mode_134_xpm},
    {135, mode_135_xpm},
    {136, mode_136_xpm},
    {137, mode_137_xpm},
    {138, mode_138_xpm},
    {139, mode_139_xpm},
    {140, mode_140_xpm},
    {141, mode_141_xpm},
    {143, mode_143_xpm},
    {144, mode_144_xpm},
    {145, mode_145_xpm},
    {146, mode_146_xpm},
    {147, mode_147_xpm},
    {148, mode_148_xpm},
};

}  // namespace

const QPixmap& IconPixmap(int32_t icon) {
  static std::map<int32_t, QPixmap> loaded;
  static const QPixmap none;
  const auto found = loaded.find(icon);
  if (found != loaded.end()) return found->second;
  for (const IconResource& resource : kIcons) {
    if (resource.number == icon) return loaded.emplace(icon, QPixmap(resource.xpm)).first->second;
  }
  return none;
}
