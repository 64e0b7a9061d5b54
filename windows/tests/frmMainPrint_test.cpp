// Leaving the check entry window: Menu, the print-summary panel, Print Checks, Cancel Print, closing.
#include "frmMainFixture.h"

#include "platform/testing/RecordingPrinter.h"
#include "print/PrintRun.h"

#include <QComboBox>
#include <QFileInfo>

namespace {

const QString kQuestion = QStringLiteral(
    "Checks remain Unprinted\r\nExiting Now will Delete all Check Entries\r\nDo you want to Print the Checks?");

} // namespace

class LeavingTest : public EntryWindowTest {
protected:
    // Every printer the dialog hands out records into `log`.
    void UsePrinter(int failAtCall = 0) {
        printerDialog.makePrinter = [this, failAtCall] {
            auto printer = std::make_unique<RecordingPrinter>(log);
            printer->charWidth = 100;
            printer->lineHeight = 240;
            printer->failAtCall = failAtCall;
            return printer;
        };
    }

    // From check 1001 with 2 blank checks on the sheet, four checks accepted, on the summary panel.
    void FourChecksReadyToPrint() {
        OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("2")));
        for (int i = 1; i <= 4; ++i) {
            AcceptCheck(QStringLiteral("Payee %1").arg(i), QString::number(i * 10), QStringLiteral("Memo %1").arg(i));
        }
        main->cmdExpense[6]->click();
        ASSERT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
        ASSERT_TRUE(messages.shown.isEmpty());
    }

    // The number of the printer call that ends the first sheet of the pending checks (its page end),
    // found by a trial run on another recording printer.
    int FirstPageEndCall() {
        PrinterLog probe;
        FakePrinterDialog probeDialog;
        probeDialog.makePrinter = [&probe] {
            auto printer = std::make_unique<RecordingPrinter>(probe);
            printer->charWidth = 100;
            printer->lineHeight = 240;
            return printer;
        };
        FakeMessageBoxes quiet;
        Platform probePlatform = platform.With(quiet).With(probeDialog);
        const PrintResult trial =
            PrintPendingChecks(probePlatform, {kStyle3OnAPage, QStringLiteral("x"), 2, {}, {}, 0, {}});
        EXPECT_EQ(trial.outcome, PrintOutcome::Printed);
        int firstSheet = 0;
        for (const PrinterCall &call : probe.Texts()) {
            firstSheet += call.sheet == 1 ? 1 : 0;
        }
        return firstSheet + 1;
    }

    QList<QString> PrintedPayees() const {
        QList<QString> payees;
        for (const PrinterCall &call : log.Texts()) {
            if (call.text.contains(QStringLiteral("Payee"))) {
                payees << call.text.trimmed();
            }
        }
        return payees;
    }

    PrinterLog log;
};

TEST_F(LeavingTest, menuWithoutARegisterGoesToTheSplashWithoutAsking) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    main->cmdExpense[0]->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(forms.IsLoaded(main));
    EXPECT_TRUE(program->Splash()->isVisible());
    EXPECT_FALSE(ender.Ended());
}

TEST_F(LeavingTest, menuWithPendingChecksAsksAndYesOpensThePrintSummary) {
    WritePending(2);
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    messages.setNextAnswer(MsgResult::Yes);
    main->cmdExpense[0]->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Checks are NOT Printed"));
    EXPECT_EQ(messages.shown[0].text, kQuestion);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].defaultButton, MsgResult::Yes);
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(Pending().size(), 2);

    // The checks of the earlier run are what prints, and the setup moves past them.
    UsePrinter();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(PrintedPayees(), (QList<QString>{QStringLiteral("Earlier Payee 1"), QStringLiteral("Earlier Payee 2")}));
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1003"));
    EXPECT_EQ(startup->Settings().ChecksOnForm, QStringLiteral("1"));
    EXPECT_FALSE(RegisterExists());
}

TEST_F(LeavingTest, menuWithPendingChecksAndNoDeletesThemAndGoesToTheSplash) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Ann"), QStringLiteral("10"), QStringLiteral("Rent"));
    messages.setNextAnswer(MsgResult::No);
    main->cmdExpense[0]->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, kQuestion);
    EXPECT_FALSE(RegisterExists());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(program->Splash()->isVisible());
}

TEST_F(LeavingTest, theSummarySaysWhichFormsToLoad) {
    const struct {
        const char *left;
        int pending;
        const char *text;
        bool boxes[3];
    } cases[] = {
        {"2",
         4,
         "Load your First Check Form with 2 blank checks beginning with Check No. 1001 into the printer\n"
         "Add an additional Check Form",
         {true, true, false}},
        {"1",
         8,
         "Load your First Check Form with 1 blank checks beginning with Check No. 1001 into the printer\n"
         "Add an additional 3 Check Forms",
         {true, false, false}},
        {"3",
         3,
         "Load your First Check Form with 3 blank checks beginning with Check No. 1001 into the printer",
         {true, true, true}},
        {"3",
         1,
         "Load your First Check Form with 3 blank checks beginning with Check No. 1001 into the printer",
         {true, true, true}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(DeleteRegister(files).ok);
        WritePending(c.pending);
        OpenEntry(Setup(QStringLiteral("1001"), QLatin1String(c.left)));
        ASSERT_TRUE(main->cmdExpense[6]->isEnabled());
        main->cmdExpense[6]->click();
        EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
        EXPECT_EQ(main->lblPrintSummary->text(), QLatin1String(c.text));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(main->Shape2[i]->isVisibleTo(main), c.boxes[i]) << i;
        }
        EXPECT_EQ(main->focusWidget(), main->cmPrintSummary[0]);
    }
}

TEST_F(LeavingTest, printChecksPrintsAdvancesTheSetupAndEmptiesTheRegister) {
    FourChecksReadyToPrint();
    UsePrinter();
    main->cmPrintSummary[0]->click();

    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(printerDialog.shown, 1);
    EXPECT_EQ(PrintedPayees(), (QList<QString>{QStringLiteral("Payee 1"), QStringLiteral("Payee 2"),
                                               QStringLiteral("Payee 3"), QStringLiteral("Payee 4")}));
    EXPECT_EQ(log.Count(PrinterCall::Kind::NewPage), 1);
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    // 2 -> 1 -> 3 -> 2 -> 1
    EXPECT_EQ(startup->txtCheckNo->text(), QStringLiteral("1005"));
    EXPECT_EQ(startup->cboChecks->currentText(), QStringLiteral("1"));
    CheckbookSettings saved = Setup(QStringLiteral("1005"), QStringLiteral("1"));
    EXPECT_EQ(SettingsFile(), EncodeSettings(saved));
    EXPECT_FALSE(RegisterExists());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(startup->isVisible());
}

TEST_F(LeavingTest, aCancelledPrinterDialogChangesNothingAndSaysNothing) {
    FourChecksReadyToPrint();
    const QByteArray settingsBefore = SettingsFile();
    printerDialog.cancel = true;
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(printerDialog.shown, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(Pending().size(), 4);
    EXPECT_EQ(SettingsFile(), settingsBefore);
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1001"));
}

TEST_F(LeavingTest, cancelInTheProgressWindowChangesNothingLikeACancelledDialog) {
    FourChecksReadyToPrint();
    const QByteArray settingsBefore = SettingsFile();
    UsePrinter();
    progress.cancelAt = 3;
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(printerDialog.shown, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 0);
    EXPECT_TRUE(log.delivered.isEmpty());
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(Pending().size(), 4);
    EXPECT_EQ(SettingsFile(), settingsBefore);
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1001"));
}

TEST_F(LeavingTest, aPrinterErrorWithNoEjectKeepsEveryCheckPending) {
    FourChecksReadyToPrint();
    const QByteArray settingsBefore = SettingsFile();
    UsePrinter(1);
    messages.setNextAnswers({MsgResult::OK, MsgResult::No});
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(Titles(), (QStringList{QStringLiteral("Print Error"), QStringLiteral("Form in Printer"),
                                     QStringLiteral("Checks Not Printed")}));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("All 4 checks are still waiting")));
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_EQ(Pending().size(), 4);
    EXPECT_EQ(SettingsFile(), settingsBefore);
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1001"));
}

TEST_F(LeavingTest, aPrinterErrorWithEjectCountsTheChecksSentAndKeepsTheRest) {
    FourChecksReadyToPrint();
    UsePrinter(FirstPageEndCall());
    messages.setNextAnswers({MsgResult::OK, MsgResult::Yes});
    main->cmPrintSummary[0]->click();

    ASSERT_EQ(Titles(), (QStringList{QStringLiteral("Print Error"), QStringLiteral("Form in Printer"),
                                     QStringLiteral("Checks Partly Printed")}));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("Check No. 1001 to 1002 (2 checks)")));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("2 checks still wait")));
    // Exactly the two checks sent leave the register; the setup moves past them.
    const QList<RegisterRecord> rest = Pending();
    ASSERT_EQ(rest.size(), 2);
    EXPECT_EQ(rest[0].PayTo.trimmed(), QStringLiteral("Payee 3"));
    EXPECT_EQ(rest[1].CheckNo.trimmed(), QStringLiteral("1004"));
    EXPECT_EQ(SettingsFile(), EncodeSettings(Setup(QStringLiteral("1003"), QStringLiteral("3"))));
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_EQ(main->lblPrintSummary->text(),
              QStringLiteral("Load your First Check Form with 3 blank checks beginning with Check No. 1003 into the "
                             "printer"));
    EXPECT_EQ(main->CurrentCheckNo, 1005);

    // The rest prints on a second try, and the setup ends where one clean run would have left it.
    messages.shown.clear();
    log.calls.clear();
    UsePrinter();
    main->cmPrintSummary[0]->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(PrintedPayees(), (QList<QString>{QStringLiteral("Payee 3"), QStringLiteral("Payee 4")}));
    EXPECT_EQ(SettingsFile(), EncodeSettings(Setup(QStringLiteral("1005"), QStringLiteral("1"))));
    EXPECT_FALSE(RegisterExists());
}

TEST_F(LeavingTest, nothingToPrintSaysSoAndGoesBackToTheEntryPanel) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Ann"), QStringLiteral("10"), QStringLiteral("Rent"));
    main->cmdExpense[6]->click();
    // Removed behind the program's back.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("TempRegister.txt"))));
    UsePrinter();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(Titles(), QStringList{QStringLiteral("Nothing to Print")});
    EXPECT_EQ(printerDialog.shown, 0);
    EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1001"));
    EXPECT_FALSE(main->cmdExpense[6]->isEnabled());
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1001"));
}

TEST_F(LeavingTest, aSettingsSaveThatFailsAfterPrintingGivesTheNewValues) {
    FourChecksReadyToPrint();
    const QByteArray settingsBefore = SettingsFile();
    UsePrinter();
    files.failRename = true;
    main->cmPrintSummary[0]->click();
    files.failRename = false;
    ASSERT_EQ(Titles(), QStringList{QStringLiteral("Setup Not Saved")});
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("next check number 1005")));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("blank checks left on the form in the printer 1")));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("DraftMere.txt")));
    // The printed checks leave the register all the same: they must not print twice.
    EXPECT_FALSE(RegisterExists());
    EXPECT_EQ(SettingsFile(), settingsBefore);
    EXPECT_TRUE(startup->isVisible());
}

TEST_F(LeavingTest, aRegisterThatCannotBeRewrittenAfterAPartRunIsReported) {
    FourChecksReadyToPrint();
    UsePrinter(1);
    // Fail the print and keep everything, then fail the rewrite of the register on the next part run.
    messages.setNextAnswers({MsgResult::OK, MsgResult::No});
    main->cmPrintSummary[0]->click();
    messages.shown.clear();
    UsePrinter(FirstPageEndCall());
    messages.setNextAnswers({MsgResult::OK, MsgResult::Yes});
    // Room for the settings file, not for the shortened register.
    files.bytesBeforeFull = EncodeSettings(Setup(QStringLiteral("1003"), QStringLiteral("3"))).size();
    main->cmPrintSummary[0]->click();
    files.bytesBeforeFull = -1;
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_TRUE(messages.shown[2].text.contains(QStringLiteral("could not be taken off the register")));
    EXPECT_TRUE(messages.shown[2].text.contains(QStringLiteral("TempRegister.txt")));
    EXPECT_EQ(Pending().size(), 4);
}

TEST_F(LeavingTest, cancelPrintKeepsEverythingAndTheNextVisitCountsThePendingChecks) {
    FourChecksReadyToPrint();
    const QByteArray settingsBefore = SettingsFile();
    main->cmPrintSummary[1]->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(startup->isVisible());
    EXPECT_EQ(Pending().size(), 4);
    EXPECT_EQ(SettingsFile(), settingsBefore);

    OpenEntry();
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1005"));
    EXPECT_EQ(main->ChecksLeftOnForm, 1);
    EXPECT_EQ(main->ChecksCreated, 0);
    EXPECT_TRUE(main->cmdExpense[6]->isEnabled());
}

TEST_F(LeavingTest, theCloseBoxEndsTheProgramAndKeepsThePendingChecks) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Ann"), QStringLiteral("10"), QStringLiteral("Rent"));
    main->close();
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(Pending().size(), 1);
}

TEST_F(LeavingTest, aDamagedRegisterPrintsNothingAndChangesNothing) {
    WritePending(2);
    QFile file(dir.filePath(QStringLiteral("TempRegister.txt")));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(50, 'x'));
    file.close();
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    const QByteArray settingsBefore = SettingsFile();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Register Damaged"));
    main->cmdExpense[6]->click();
    UsePrinter();
    main->cmPrintSummary[0]->click();
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].title, QStringLiteral("Checks Not Printed"));
    EXPECT_EQ(printerDialog.shown, 0);
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_EQ(QFileInfo(file).size(), 280);
    EXPECT_EQ(SettingsFile(), settingsBefore);
}
