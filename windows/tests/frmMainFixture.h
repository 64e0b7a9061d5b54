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
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

class EntryWindowTest : public ::testing::Test, protected TestPlatform {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = std::make_unique<Program>(platform);
        // The review after a run answers from `reviewMarks` (all printed well when empty).
        program->ReviewPrintedChecks = [this](const QList<JournalCheck> &checks) {
            reviewed.append(checks);
            QList<PrintMark> marks =
                reviewMarks.isEmpty() ? QList<PrintMark>(checks.size(), PrintMark::Good) : reviewMarks.takeFirst();
            return marks;
        };
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

    std::unique_ptr<Program> program;
    QList<QList<JournalCheck>> reviewed;
    QList<QList<PrintMark>> reviewMarks;
    frmMain *main = nullptr;
    frmStartup *startup = nullptr;
};
