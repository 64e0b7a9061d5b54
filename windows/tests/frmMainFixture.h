#pragma once

// The check entry window over real files in a temporary folder, with the other services doubled.

#include "checkbook/CheckbookSettings.h"
#include "platform/testing/FakePlatform.h"
#include "register/Register.h"
#include "windows/Program.h"
#include "windows/frmMain.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure output for Qt texts.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

// A printer that keeps what it is asked to print, and fails on the text given by failOnPrint
// (counted from 1) when that is set.
class RecordingPrinter final : public Printer {
public:
    struct Text {
        int sheet;
        double x;
        double y;
        QString text;
    };
    struct Log {
        QList<Text> texts;
        int sheets = 1;
        bool ended = false;
        bool aborted = false;
    };

    explicit RecordingPrinter(Log &log, int failOnPrint = 0) : log_(log), failOnPrint_(failOnPrint) {}

    void SetOrientation(Orientation) override {}
    void SetFontName(const QString &) override {}
    void SetFontSize(double) override {}
    void SetFontBold(bool) override {}
    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void SetCurrentX(double twips) override { x_ = twips; }
    void SetCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString &text) const override { return 100.0 * text.size(); }
    double LineHeight() const override { return 240; }
    void SetClipRight(double) override {}
    bool Print(const QString &text, bool endLine) override {
        if (failOnPrint_ > 0 && ++prints_ >= failOnPrint_) {
            return false;
        }
        log_.texts.append({log_.sheets, x_, y_, text});
        if (endLine) {
            x_ = 0;
            y_ += LineHeight();
        } else {
            x_ += TextWidth(text);
        }
        return true;
    }
    bool NewPage() override {
        ++log_.sheets;
        return true;
    }
    bool EndDoc() override {
        log_.ended = true;
        return true;
    }
    void Abort() override { log_.aborted = true; }
    QString ErrorText() const override { return QStringLiteral("The printer is out of paper."); }

private:
    Log &log_;
    int failOnPrint_;
    int prints_ = 0;
    double x_ = 0;
    double y_ = 0;
};

class EntryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        app.Path = dir.path();
        program = std::make_unique<Program>(platform);
        main = program->Main();
        startup = program->Startup();
        forms.Load(startup);
        forms.Load(main);
    }

    void TearDown() override {
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static CheckbookSettings Setup(const QString &checkNo, const QString &left, const QString &style = kStyle3OnAPage) {
        return {QStringLiteral("First Example Bank"), QStringLiteral("0012-345678"), checkNo, left, style};
    }

    void SaveSetup(const CheckbookSettings &settings) { ASSERT_TRUE(SaveSettings(files, settings).ok); }

    // The way the main menu opens the window: it shows the entry window, then hides itself.
    void OpenEntry(const CheckbookSettings &settings) {
        SaveSetup(settings);
        OpenEntry();
    }
    void OpenEntry() {
        forms.Show(startup);
        forms.Show(main);
        forms.Hide(startup);
        QCoreApplication::processEvents();
    }

    void TypeCheck(const QString &payee, const QString &amount, const QString &memo) {
        QTest::keyClicks(main->txtPayto, payee);
        QTest::keyClicks(main->txtCost, amount);
        QTest::keyClicks(main->txtCategory, memo);
    }

    // Types a check, enters it and accepts it.
    void AcceptCheck(const QString &payee, const QString &amount, const QString &memo) {
        TypeCheck(payee, amount, memo);
        main->cmdExpense[1]->click();
        ASSERT_TRUE(main->fraCheckImage->isVisibleTo(main)) << "verify panel not shown for " << payee.toStdString();
        main->cmdPrint->click();
    }

    // Writes pending checks straight into the register, as an earlier run would have left them.
    void WritePending(int count, int firstCheckNo = 901) {
        for (int i = 0; i < count; ++i) {
            RegisterRecord record{QString::number(firstCheckNo + i),
                                  QStringLiteral("12/01/2026"),
                                  QStringLiteral("Earlier Payee %1").arg(i + 1),
                                  QStringLiteral("10.00"),
                                  QStringLiteral("Earlier"),
                                  kStatusPrinted};
            ASSERT_TRUE(AppendRegisterRecord(files, record).ok);
        }
    }

    QList<RegisterRecord> Pending() {
        QList<RegisterRecord> records;
        EXPECT_TRUE(ReadAllRecords(files, records).ok);
        return records;
    }

    bool RegisterExists() const { return QFile::exists(dir.filePath(QStringLiteral("TempRegister.txt"))); }

    QByteArray SettingsFile() const {
        QFile file(dir.filePath(QStringLiteral("DraftMere.txt")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Which of the three panels shows.
    QString Panel() const {
        QStringList shown;
        for (QGroupBox *panel : {main->fraMain, main->fraCheckImage, main->fraPrintSummary}) {
            if (panel->isVisibleTo(main)) {
                shown << panel->objectName();
            }
        }
        return shown.join(QLatin1Char('+'));
    }

    QStringList Titles() const {
        QStringList titles;
        for (const ShownMessage &message : messages.shown) {
            titles << message.title;
        }
        return titles;
    }

    QTemporaryDir dir;
    AppObject app;
    FaultyFiles files{dir.path()};
    FakeMessageBoxes messages;
    FakePrinterDialog printerDialog;
    FakeUrlOpener urls;
    FakeHelpViewer help;
    FakeClock clock;
    FakeEnder ender;
    Forms forms;
    Platform platform{app, files, messages, printerDialog, urls, help, clock, ender, forms};
    std::unique_ptr<Program> program;
    frmMain *main = nullptr;
    frmStartup *startup = nullptr;
};
