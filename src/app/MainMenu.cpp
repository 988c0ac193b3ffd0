#include "app/MainMenu.h"

namespace {

constexpr MenuRow Popup(const char* caption, bool rightAligned = false) {
  return {MenuRowKind::Popup, caption, 0, false, rightAligned};
}
constexpr MenuRow Item(const char* caption, uint16_t id, bool greyed) {
  return {MenuRowKind::Item, caption, id, greyed, false};
}
constexpr MenuRow kSeparator = {MenuRowKind::Separator, nullptr, 0, false, false};
constexpr bool kGreyed = true;
constexpr bool kEnabled = false;

// The module items start greyed; the panel refresh enables them on a free
// cell. Every other greyed item stays greyed and has no operation.
constexpr MenuRow kRows[] = {
    Popup("&File"),
    Item("&New", 40001, kEnabled),
    Item("&Open Patch", 40002, kEnabled),
    Item("&Insert Patch", 40037, kGreyed),
    kSeparator,
    Item("&Save Patch", 40003, kEnabled),
    Item("Save Patch &As", 40004, kEnabled),
    kSeparator,
    Item("E&xit program", 40005, kEnabled),
    Popup("&Edit"),
    Item("Cu&t", 40006, kGreyed),
    Item("&Copy", 40007, kGreyed),
    Item("&Paste", 40008, kGreyed),
    Item("De&lete", 50000, kEnabled),
    Popup("&Basic Modules"),
    Item("OSC - Multifunction Oscilator", 50001, kGreyed),
    Item("VCF - Voltage Controlled Filter", 50002, kGreyed),
    Item("FLT Variable filter", 50003, kGreyed),
    Item("VCA - Voltage Controlled Amplifier", 50004, kGreyed),
    Item("ADD - 4 input Adder", 50005, kGreyed),
    Item("MUL - Ring Modulator", 50006, kGreyed),
    Popup("&Controller Modules"),
    Item("ENV - Envelope", 50012, kGreyed),
    Item("S/H - Sample+Hold Gate", 50013, kGreyed),
    Item("GLI - Portamento", 50014, kGreyed),
    Item("SWI - Analog Switch", 50015, kGreyed),
    Item("SEQ - 16 stage Sequencer", 50016, kGreyed),
    Item("CNT - 5 stage counter", 50020, kGreyed),
    Popup("&Audio Modules"),
    Item("CLP - Clipper", 50024, kGreyed),
    Item("DLY - Delay Line", 50032, kGreyed),
    Item("FLA - Flanger and Chorus", 50033, kGreyed),
    Item("MIX - Mixer", 50034, kGreyed),
    Item("OUT - Realtime audio Output", 50035, kGreyed),
    Popup("&Special Modules"),
    Item("SID - 6581-Emulator", 40040, kGreyed),
    Popup("&Options"),
    Item("Configure Midi", 40036, kGreyed),
    Popup("&Windows"),
    Item("Patch Area", 40035, kGreyed),
    Item("Output Monitor", 40038, kGreyed),
    Popup("&Help", true),
    Item("Contents", 40033, kGreyed),
    kSeparator,
    Item("About Varnotek", 40032, kGreyed),
};

}  // namespace

const MenuResource kMainMenu = {kMainMenuResource, kRows, static_cast<int32_t>(sizeof kRows / sizeof kRows[0])};
