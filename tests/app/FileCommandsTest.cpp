// The File menu's commands through the main window, with the dialog
// replaced by a scripted one: what each command asks, proposes, writes and
// titles, and the record it fills for the dialog. Then the command line.
#include <QDir>
#include <QTemporaryDir>
#include <cstring>

#include "app/CommandLine.h"
#include "support/TestFiles.h"

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

constexpr char kFilter[] = "Varnotek Files (*.PCH)\0*.pch\0";
enum : uint32_t { New = 40001, Open = 40002, Save = 40003, SaveAs = 40004 };

// Answers each dialog with the next name of its script ("" cancels), and
// remembers the name proposed and whether every record was whole: the
// owner, the filter, the name fields with their sizes, the flags and the extension.
struct ScriptedDialog { std::vector<std::string> answers; int shown = 0; std::string proposed; bool recordComplete = true; } script;

bool RunScript(FileDialogKind kind, FileDialogState& state) {
  MainWindow& main = Editor();
  const uint32_t flags = kOfnNoChangeDir | (kind == FileDialogKind::Save ? kOfnOverwritePrompt : 0);
  script.recordComplete &= state.owner == main.window && std::memcmp(state.filter, kFilter, sizeof kFilter) == 0 &&
                           state.file == main.area->filePath && state.fileSize == 1024 && state.fileTitle == main.area->fileTitle &&
                           state.fileTitleSize == 512 && state.flags == flags && std::strcmp(state.defaultExtension, "pch") == 0;
  script.proposed = state.file;
  const std::string answer = script.answers.at(script.shown++);
  if (answer.empty()) return false;
  std::snprintf(state.file, state.fileSize, "%s", answer.c_str());
  return std::snprintf(state.fileTitle, state.fileTitleSize, "%s", QFileInfo(answer.c_str()).fileName().toLocal8Bit().data()) > 0;
}

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(), fileDialogHandler = RunScript; }

  void commandsKeepFieldsTitleAndFiles() {
    QTemporaryDir folder;
    const std::string saved = folder.filePath("saved.pch").toStdString(), broken = folder.filePath("broken.pch").toStdString();
    std::ofstream(broken) << "PATCHSIZE 99,24\n";
    // The commands run after a New, with an OSC placed at (5, 5) before the
    // last one; the script has one answer per dialog. Afterwards: the name the
    // last dialog proposed, the title's end, the file written ("": none),
    // whether the OSC is still there, and the one message box shown.
    struct Case { const char* name; std::vector<uint32_t> commands; std::vector<std::string> answers;
                  std::string lastProposed, titleEnd, fileWritten; bool oscStays; QString box; };
    const Case cases[] = {
        {"Save of a new patch asks; cancel writes nothing", {Save}, {""}, "", "new patch", "", true, {}},
        {"Save As writes, the title stays", {SaveAs}, {saved}, "", "new patch", saved, true, {}},
        {"cancelled Open changes nothing", {SaveAs, Open}, {saved, ""}, saved, "new patch", "", true, {}},
        {"Open then Save writes back without a dialog", {Open, Save}, {saved}, "", "saved.pch", saved, true, {}},
        {"after New nothing is proposed", {Open, New, SaveAs}, {saved, ""}, "", "new patch", "", true, {}},
        {"Open reads the file", {Open}, {saved}, "", "saved.pch", "", false, {}},
        {"a broken file: its message and name", {Open}, {broken}, "", "broken.pch", "", false, "Load-Error: Patch wrong size"},
    };
    PatchArea empty;  // saved.pch: an empty patch
    std::snprintf(empty.filePath, sizeof empty.filePath, "%s", saved.c_str()), empty.SavePatch();
    const std::string emptyPatch = ReadWholeFile(saved);
    for (const Case& c : cases) {
      MainWindow& main = FreshEditor();
      Command(main, New), std::ofstream(saved) << emptyPatch;
      script = ScriptedDialog{c.answers, 0, {}, true};
      MessageBoxCatcher catcher;
      for (size_t i = 0; i < c.commands.size(); ++i) {
        if (i + 1 == c.commands.size()) Place(main, 5, 5, kOSC);
        Command(main, c.commands[i]);
      }
      QVERIFY2(script.recordComplete && script.shown == static_cast<int>(c.answers.size()) && script.proposed == c.lastProposed, c.name);
      const QString title = Surface(main)->window()->windowTitle();
      QVERIFY2(title == QString(kTitlePrefix) + c.titleEnd.c_str() && (main.area->ModuleAt(5, 5) != nullptr) == c.oscStays, c.name);
      QVERIFY2(c.fileWritten.empty() ? ReadWholeFile(saved) == emptyPatch : ReadWholeFile(c.fileWritten).find("OSC") != std::string::npos, c.name);
      QVERIFY2(catcher.boxes.size() == (c.box.isEmpty() ? 0u : 1u) && (c.box.isEmpty() || catcher.boxes[0].text == c.box), c.name);
    }
  }

  void commandLine() {
    const std::string here = QDir::currentPath().toStdString();
    // Folder and file name lengths that make the path and the name one less than their fields hold.
    const std::string d(kFilePathSize - 8, 'd'), n(kFileTitleSize - 5, 'n');
    struct Case { std::vector<std::string> arguments; bool ok; std::string patchPath; };
    const Case cases[] = {
        {{}, true, ""},           {{"p.pch"}, true, here + "/p.pch"},           {{"/patches/p.pch"}, true, "/patches/p.pch"},
        {{"a.pch", "b.pch"}, false, ""}, {{"--help"}, false, ""},              {{"/" + d + "/p.pch"}, true, "/" + d + "/p.pch"},
        {{"/" + d + "d/p.pch"}, false, ""}, {{"/" + n + ".pch"}, true, "/" + n + ".pch"}, {{"/" + n + "n.pch"}, false, ""},
    };
    for (const Case& c : cases) {
      std::vector<char*> argv{const_cast<char*>("varnotek")};
      for (const std::string& argument : c.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      const EditorArguments parsed = ParseEditorArguments(static_cast<int>(argv.size()), argv.data());
      QVERIFY2(parsed.ok == c.ok && (parsed.ok ? parsed.patchPath : "") == c.patchPath && parsed.error.empty() == c.ok, RowName(cases, c));
    }
  }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
