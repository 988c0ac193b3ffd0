// The File menu's commands through the main window, with the dialog replaced
// by a scripted one; then the Qt dialog itself, set up from the record and
// answered with keys.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QTemporaryDir>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/CommandLine.h"
#include "platform/qt/QtWindowTypes.h"

#include "GuiTestSupport.h"

namespace {

using namespace ModuleTypeId;

constexpr char kFilter[] = "Varnotek Files (*.PCH)\0*.pch\0";

// Answers each dialog with the next name of its script ("" cancels) and
// remembers what the record held when the dialog opened.
struct ScriptedDialog {
  std::vector<std::string> answers;
  int shown = 0;
  FileDialogKind kind{};
  std::string proposed;
  bool recordComplete = true;  // every dialog so far got the whole record

  static bool Run(FileDialogKind kind, FileDialogState& state);
};
ScriptedDialog script;

bool ScriptedDialog::Run(FileDialogKind kind, FileDialogState& state) {
  MainWindow& main = Editor();
  const uint32_t flags = kOfnNoChangeDir | (kind == FileDialogKind::Save ? kOfnOverwritePrompt : 0);
  script.recordComplete &= state.owner == main.window && std::memcmp(state.filter, kFilter, sizeof kFilter) == 0 &&
                           state.customFilter == nullptr && state.filterIndex == 0 && state.file == main.area->filePath &&
                           state.fileSize == 1024 && state.fileTitle == main.area->fileTitle &&
                           state.fileTitleSize == 512 && state.initialFolder == nullptr &&
                           state.dialogTitle == nullptr && state.flags == flags &&
                           std::strcmp(state.defaultExtension, "pch") == 0;
  ++script.shown;
  script.kind = kind;
  script.proposed = state.file;
  const std::string answer = script.answers.at(script.shown - 1);
  if (answer.empty()) return false;
  std::snprintf(state.file, state.fileSize, "%s", answer.c_str());
  std::snprintf(state.fileTitle, state.fileTitleSize, "%s", QFileInfo(answer.c_str()).fileName().toLocal8Bit().data());
  return true;
}

// The scripted dialog in the adapter's place while it lives.
struct ScriptedDialogInPlace {
  FileDialogFunction adapters = fileDialogHandler;
  ScriptedDialogInPlace() { fileDialogHandler = ScriptedDialog::Run; }
  ~ScriptedDialogInPlace() { fileDialogHandler = adapters; }
};

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

QString WindowTitle(MainWindow& main) { return Surface(main)->window()->windowTitle(); }

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Editor(); }
  void commandsKeepFieldsTitleAndFiles();
  void readerMessagesAreBoxes();
  void qtDialogFollowsTheRecord();
  void commandLine();
};

void FileCommandsTest::commandsKeepFieldsTitleAndFiles() {
  QTemporaryDir folder;
  const std::string dir = folder.path().toStdString();
  const std::string saved = dir + "/saved.pch", other = dir + "/other.pch", unreadable = dir + "/folder.pch";
  QDir().mkpath(QString::fromStdString(unreadable));  // opens, but reads fail
  const std::string longName = dir + "/" + std::string(300, 'n') + ".pch";
  enum : uint32_t { New = 40001, Open = 40002, Save = 40003, SaveAs = 40004 };
  struct Case {
    const char* name;
    std::vector<uint32_t> commands;   // after a New, with an OSC placed at (5, 5) before the last one
    std::vector<std::string> answers;  // one per dialog
    int dialogs;
    const char* lastProposed;  // nullptr: not checked
    std::string titleEnd;
    std::string fileWritten;   // a file the commands must have written ("" : none)
    bool oscStays;
  };
  const Case cases[] = {
      {"Save of a new patch asks; cancel writes nothing", {Save}, {""}, 1, "", "new patch", "", true},
      {"Save As writes, the title stays", {SaveAs}, {saved}, 1, "", "new patch", saved, true},
      {"cancelled Open changes nothing", {SaveAs, Open}, {saved, ""}, 2, saved.c_str(), "new patch", "", true},
      {"Open then Save writes back without a dialog", {Open, Save}, {saved}, 1, "", "saved.pch", saved, true},
      {"Save As after Open keeps the opened name", {Open, SaveAs}, {saved, other}, 2, saved.c_str(), "saved.pch",
       other, true},
      {"after New nothing is proposed", {Open, New, SaveAs}, {saved, ""}, 2, "", "new patch", "", true},
      {"an unreadable file leaves the patch under its name", {Open}, {unreadable}, 1, "", "folder.pch", "", true},
      {"Open reads the file", {Open}, {saved}, 1, "", "saved.pch", "", false},
      {"a long name is cut", {Open}, {longName}, 1, "", std::string(300, 'n').substr(0, 255 - 35), "", true},
  };
  {  // saved.pch: an empty patch
    PatchArea empty;
    std::snprintf(empty.filePath, sizeof empty.filePath, "%s", saved.c_str());
    empty.SavePatch();
  }
  const std::string emptyPatch = ReadText(saved);
  const ScriptedDialogInPlace scripted;
  for (const Case& c : cases) {
    MainWindow& main = FreshEditor();
    SendWindowMessage(main.window, kWmCommand, New, 0);
    std::ofstream(saved) << emptyPatch;
    QFile::remove(QString::fromStdString(other));
    script = ScriptedDialog{};
    script.answers = c.answers;
    for (size_t i = 0; i < c.commands.size(); ++i) {
      if (i + 1 == c.commands.size()) Place(main, 5, 5, kOSC);
      SendWindowMessage(main.window, kWmCommand, c.commands[i], 0);
    }
    QVERIFY2(script.recordComplete, c.name);
    QCOMPARE(script.shown, c.dialogs);
    if (c.lastProposed != nullptr && c.dialogs > 0) QCOMPARE(script.proposed, std::string(c.lastProposed));
    const std::string title = main.area->title;
    QVERIFY2(title.size() <= 255 && title.ends_with(c.titleEnd) && title.starts_with(kTitlePrefix), c.name);
    QCOMPARE(WindowTitle(main), QString::fromLatin1(title.c_str()));
    QCOMPARE(main.area->ModuleAt(5, 5) != nullptr, c.oscStays);
    if (!c.fileWritten.empty()) QVERIFY2(ReadText(c.fileWritten).find("OSC") != std::string::npos, c.name);
    if (c.fileWritten != saved) QVERIFY2(ReadText(saved) == emptyPatch, c.name);
    if (c.fileWritten != other) QVERIFY2(!QFile::exists(QString::fromStdString(other)), c.name);
  }
}

void FileCommandsTest::readerMessagesAreBoxes() {
  QTemporaryDir folder;
  const std::string broken = folder.path().toStdString() + "/broken.pch";
  std::ofstream(broken) << "PATCHSIZE 99,24\n";
  const ScriptedDialogInPlace scripted;
  script = ScriptedDialog{};
  script.answers = {broken};
  MainWindow& main = FreshEditor();
  MessageBoxCatcher catcher;
  SendWindowMessage(main.window, kWmCommand, 40002, 0);
  QCOMPARE(catcher.boxes.size(), size_t{1});
  QCOMPARE(catcher.boxes[0].text, QString("Load-Error: Patch wrong size"));
}

// The real dialog, opened on the record the file commands fill: checked
// while it is open, then answered by typing a name without extension.
void FileCommandsTest::qtDialogFollowsTheRecord() {
  QTemporaryDir folder;
  const QString proposed = folder.path() + "/first.pch";
  const QString before = QDir::currentPath();
  struct Case {
    FileDialogKind kind;
    bool typeName;  // false: cancel
  };
  for (const Case c : {Case{FileDialogKind::Save, true}, Case{FileDialogKind::Open, true}, Case{FileDialogKind::Save, false}}) {
    MainWindow& main = FreshEditor();
    PatchArea& area = *main.area;
    std::snprintf(area.filePath, sizeof area.filePath, "%s", proposed.toLocal8Bit().data());
    std::snprintf(area.fileTitle, sizeof area.fileTitle, "first.pch");
    QString seenFilter, seenSuffix, seenFolder, seenName;
    bool asksBeforeReplacing = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      seenFilter = dialog->selectedNameFilter();
      seenSuffix = dialog->defaultSuffix();
      seenFolder = dialog->directory().absolutePath();
      asksBeforeReplacing = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      seenName = name != nullptr ? name->text() : QString();
      if (!c.typeName || name == nullptr) return dialog->reject();
      name->clear();
      QTest::keyClicks(name, "chosen");
      QTest::keyClick(name, Qt::Key_Return);
    });
    const auto kind = c.kind;
    area.dialogState = FileDialogState{main.window, kFilter,  nullptr, 0, 0, area.filePath, 1024, area.fileTitle, 512,
                                       nullptr,     nullptr, kOfnNoChangeDir | (kind == FileDialogKind::Save ? kOfnOverwritePrompt : 0u),
                                       "pch"};
    const bool chosen = ShowFileDialog(kind, area.dialogState);
    QCOMPARE(seenFilter, QString("Varnotek Files (*.PCH)"));
    QCOMPARE(seenSuffix, QString("pch"));
    QCOMPARE(seenFolder, QDir(folder.path()).absolutePath());
    QCOMPARE(seenName, QString("first.pch"));
    QCOMPARE(asksBeforeReplacing, kind == FileDialogKind::Save);
    QCOMPARE(chosen, c.typeName);
    QCOMPARE(QString(area.filePath), c.typeName ? folder.path() + "/chosen.pch" : proposed);
    QCOMPARE(QString(area.fileTitle), QString(c.typeName ? "chosen.pch" : "first.pch"));
    QCOMPARE(QDir::currentPath(), before);
  }
}

void FileCommandsTest::commandLine() {
  const std::string here = QDir::currentPath().toStdString();
  const std::string tooLong(1100, 'x');
  struct Case {
    std::vector<std::string> arguments;
    bool ok;
    std::string patchPath;
  };
  const Case cases[] = {
      {{}, true, ""},
      {{"p.pch"}, true, here + "/p.pch"},
      {{"/patches/p.pch"}, true, "/patches/p.pch"},
      {{"a.pch", "b.pch"}, false, ""},
      {{"--help"}, false, ""},
      {{tooLong}, false, ""},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv{const_cast<char*>("varnotek")};
    for (const std::string& argument : c.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    const EditorArguments parsed = ParseEditorArguments(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(parsed.ok, c.ok);
    QCOMPARE(parsed.ok ? parsed.patchPath : "", c.patchPath);
    QCOMPARE(parsed.error.empty(), c.ok);
  }
}

VARNOTEK_GUI_TEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
