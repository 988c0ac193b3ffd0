// PatchArea: the one patch of the program, a grid of 40 x 24 cells on which
// modules of 3 x 3 cells stand. It owns every BlockModule, keeps the cursor
// and the chosen wire source, and offers the editing operations of the UI.
// Operations return 1 for success and 0 for a refusal, which changes nothing.
#pragma once

#include <cstdint>

#include "patch/BlockModule.h"
#include "patch/ModuleCatalogue.h"

inline constexpr int32_t kGridColumns = 40;
inline constexpr int32_t kGridRows = 24;
inline constexpr int32_t kModuleSize = 3;
// Anchors stop one cell short of the edge, so the last column and the last
// row are never covered: at most 13 x 7 modules fit.
inline constexpr int32_t kLastAnchorColumn = 36;
inline constexpr int32_t kLastAnchorRow = 20;

// The beginning of every main window title and the main window's class name.
inline constexpr char kTitlePrefix[] = "Varnotek 1.01 - www.varnotek.org - ";
inline constexpr char kNewPatchName[] = "new patch";

inline constexpr int32_t kTitleSize = 256;
inline constexpr int32_t kFileTitleSize = 512;
inline constexpr int32_t kFilePathSize = 1024;

// How the last LoadPatch ended.
enum class LoadResult {
  Loaded,      // the file was read; messages (version warning, wiring failures) may have been shown
  CannotOpen,  // the file could not be opened; the patch is untouched
  CannotRead,  // the file was opened but could not be read to its end; the patch is untouched
  LoadError,   // a "Load-Error: ..." was shown and the patch is empty
};

class PatchArea {
 public:
  char title[kTitleSize];
  char fileTitle[kFileTitleSize];
  char filePath[kFilePathSize];
  // Set by every LoadPatch, for callers without a window to watch (the offline renderer).
  LoadResult lastLoadResult = LoadResult::Loaded;
  // The system's error number behind CannotOpen or CannotRead, else 0.
  int lastLoadError = 0;
  // Filled completely before each file dialog.
  FileDialogState dialogState{};

  PatchArea();
  ~PatchArea();
  PatchArea(const PatchArea&) = delete;
  PatchArea& operator=(const PatchArea&) = delete;

  void Clear();
  // title = prefix + name, cut to the 255 characters the field holds.
  void SetTitle(const char* name);

  int32_t CursorUp();
  int32_t CursorDown();
  int32_t CursorLeft();
  int32_t CursorRight();
  int32_t Select(int32_t column, int32_t row);
  int32_t MoveSelected(int32_t column, int32_t row);

  int32_t BeginConnection(int32_t output);
  int32_t CompleteConnection(int32_t input);
  int32_t DisconnectSelectedInput(int32_t input);
  int32_t IsSelectedInputConnected(int32_t input) const;

  ModuleType GetSelectedType() const;
  int32_t GetSelectedMode() const;
  int32_t SetSelectedMode(int32_t newMode);
  int32_t GetSelectedController(int32_t index) const;
  void SetSelectedController(int32_t index, int32_t value);
  void OpenSelectedEditWindow(WindowHandle parent);

  // Creates, retypes or (type 0) deletes the module anchored at the cell.
  // Refuses a cell outside the grid, a type outside 0..35, and a new module
  // whose square would leave the grid or cover another module.
  int32_t SetModuleAt(int32_t column, int32_t row, ModuleType newType);
  int32_t ReplaceSelected(ModuleType newType);

  // Reads filePath into the patch; the outcome is in lastLoadResult.
  // ownerWindow owns the message boxes. Defined by the patch file layer.
  void LoadPatch(void* ownerWindow);
  // Writes the patch to filePath: beside it first, then renamed over it, so
  // that a failed save leaves the old file as it was. A failure is reported
  // to the message sink, owned by ownerWindow, with the file and the reason.
  void SavePatch(void* ownerWindow = nullptr);

  // The file commands, defined by the patch file layer. The owner window
  // owns the dialogs and the reader's message boxes. A cancelled dialog
  // changes nothing; Save As never changes the title.
  void FileNew();
  void FileOpen(WindowHandle owner);
  void FileSave(WindowHandle owner);
  void FileSaveAs(WindowHandle owner);
  // What Open does once a dialog has set filePath and fileTitle: the title
  // names the file, then the file is read.
  void OpenChosenFile(WindowHandle owner);

  // nullptr outside the grid or where no module is anchored / covers.
  BlockModule* ModuleAt(int32_t column, int32_t row) const;
  BlockModule* ModuleCovering(int32_t column, int32_t row) const;
  BlockModule* SelectedModule() const { return anchorGrid[cursorY][cursorX]; }

  int32_t CursorX() const { return cursorX; }
  int32_t CursorY() const { return cursorY; }
  int32_t ConnectSourceX() const { return connectSourceX; }
  int32_t ConnectSourceY() const { return connectSourceY; }
  int32_t ConnectSourceOutput() const { return connectSourceOutput; }

  // Whether a new module could be anchored at the cell: inside the grid and
  // clear of every module. `ignore` is a module whose cells do not count.
  bool FitsNewModule(int32_t column, int32_t row, const BlockModule* ignore = nullptr) const;

 private:
  BlockModule* anchorGrid[kGridRows][kGridColumns];
  BlockModule* occupancyGrid[kGridRows][kGridColumns];
  int32_t cursorX = 0;
  int32_t cursorY = 0;
  int32_t connectSourceY = -1;
  int32_t connectSourceX = -1;
  int32_t connectSourceOutput = -1;

  void FillSquare(int32_t column, int32_t row, BlockModule* module);
  void ForgetConnectSource();
  // Row by row, every input whose live source is `source` reads its default again.
  void UnwireInputsFedBy(const BlockModule* source);
};
