#pragma once

#include "platform/Platform.h"
#include "platform/QtFiles.h"
#include "platform/testing/FakeProgress.h"
#include "platform/testing/RecordingPrinter.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// A message box as a test saw it.
struct ShownMessage {
    QString text;
    MsgButtons buttons;
    QString title;
    MsgResult defaultButton;
};

// Records every box and answers from a script; with the script used up it answers the default.
class FakeMessageBoxes final : public MessageBoxes {
public:
    using MessageBoxes::MsgBox;
    MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title, MsgResult defaultButton) override;
    void setNextAnswers(QList<MsgResult> answers) { answers_ = std::move(answers); }
    void setNextAnswer(MsgResult answer) { answers_.append(answer); }
    // Runs inside the box, e.g. to look at the windows while it is up.
    std::function<void(const ShownMessage &)> onShow;
    QList<ShownMessage> shown;

private:
    QList<MsgResult> answers_;
};

class FakeUrlOpener final : public UrlOpener {
public:
    void OpenURL(const QString &url) override { opened.append(url); }
    QStringList opened;
};

class FakeHelpViewer final : public HelpViewer {
public:
    void ShowHelp(const QString &helpFile, int command) override { calls.append({helpFile, command}); }
    struct Call {
        QString helpFile;
        int command;
    };
    QList<Call> calls;
};

class FakeClock final : public Clock {
public:
    QDate Today() const override { return today; }
    QDate today{2026, 12, 7};
};

class FakeEnder final : public Ender {
public:
    void End() override { ++ends; }
    bool Ended() const override { return ends > 0; }
    int ends = 0;
};

class FakeGuard final : public InstanceGuard {
public:
    bool PrevInstance() override { return running; }
    bool running = false;
};

// The real file layer with failures injected at the system calls: a full disk after a number of
// bytes, a failing flush, a failing rename.
class FaultyFiles final : public QtFiles {
public:
    using QtFiles::QtFiles;
    // Bytes that may still be written before writes fail with ENOSPC; negative = no limit.
    qint64 bytesBeforeFull = -1;
    bool failSync = false;
    bool failRename = false;
    int writeCalls = 0;

protected:
    qint64 sysWrite(int fd, const char *data, qint64 size, qint64 offset) override;
    bool sysSync(int fd) override;
    bool sysRename(const QString &from, const QString &to) override;
};

// The printer dialog of a test: hands out whatever printer the test makes, or cancels.
class FakePrinterDialog final : public PrinterDialog {
public:
    std::unique_ptr<Printer> ShowPrinter(const QString &preselect = QString()) override;
    std::function<std::unique_ptr<Printer>()> makePrinter;
    QString preselected; // the printer the dialog was last asked to open on
    bool cancel = false;
    int shown = 0;
};

// Answers the save and open dialogs from one script and records what was asked; with the script
// used up it cancels.
class FakeSaveFileDialog final : public SaveFileDialog {
public:
    QString GetSaveFileName(const QString &title, const QString &suggested, const QString &filter,
                            const QString &suffix) override {
        asked.append({title, suggested, filter, suffix});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString GetOpenFileName(const QString &title, const QString &folder, const QString &filter) override {
        asked.append({title, folder, filter, QString()});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    struct Question {
        QString title, suggested, filter, suffix;
    };
    QList<Question> asked;
    QStringList answers;
};

// The printers a test says the system has.
class FakePrinterList final : public PrinterList {
public:
    QStringList PrinterNames() const override { return names; }
    QString DefaultPrinterName() const override { return defaultName; }
    QStringList names;
    QString defaultName;
};

// A preview that runs its drawing on a recording printer, once per printer shown, lets the person
// choose a printer as often as told, and answers as told.
class FakePrintPreview final : public PrintPreview {
public:
    std::unique_ptr<Printer> ShowPreview(const QString &title, const QString &printerName, PrinterDialog &chooser,
                                         const Job &job) override;
    // What the preview's drawing printed, for the printer shown last.
    PrinterLog log;
    // Times the person presses "Choose Printer" before answering.
    int chooseTimes = 0;
    enum class Answer { Close, Print } answer = Answer::Close;
    // Printing a printer nobody chose in the dialog prints on a recording printer of that name.
    PrinterLog printed;
    // Where the preview's printer has the paper's corner.
    QPointF paperCorner;
    int shown = 0;
    QString lastTitle;
    // The printers shown, in order, and the line shown for each.
    QStringList printerNames;
    QStringList descriptions;
};

// Every platform service doubled, over the real file layer (with failure injection) in a fresh
// temporary program folder.
struct TestPlatform {
    TestPlatform();

    QTemporaryDir dir;
    AppObject app;
    FaultyFiles files;
    FakeMessageBoxes messages;
    FakePrinterDialog printerDialog;
    FakeUrlOpener urls;
    FakeHelpViewer help;
    FakeClock clock;
    FakeEnder ender;
    Forms forms;
    FakeProgress progress;
    FakeSaveFileDialog saveDialog;
    FakePrinterList printers;
    FakePrintPreview preview;
    Platform platform;
};
