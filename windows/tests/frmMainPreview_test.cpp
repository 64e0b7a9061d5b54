// Preview on the print-summary panel of the check entry window.
#include "frmMainFixture.h"

#include "alignment/AlignmentFile.h"
#include "platform/testing/RecordingPrinter.h"

#include <QFileInfo>

class PreviewTest : public EntryWindowTest {
protected:
    void UsePrinter() {
        printerDialog.makePrinter = [this] {
            auto printer = std::make_unique<RecordingPrinter>(log);
            printer->printerName = QStringLiteral("Laser");
            return printer;
        };
    }

    void ThreeChecksReadyToPrint() {
        OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
        for (int i = 1; i <= 3; ++i) {
            AcceptCheck(QStringLiteral("Payee %1").arg(i), QString::number(i * 10), QStringLiteral("Memo %1").arg(i));
        }
        main->cmdExpense[6]->click();
        ASSERT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    }

    PrinterLog log;
};

TEST_F(PreviewTest, isTheThirdButtonOfThePanel) {
    QPushButton *button = main->cmPrintSummary[2];
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->objectName(), QStringLiteral("cmPrintSummary(2)"));
    EXPECT_EQ(button->text(), QStringLiteral("Pre&view"));
    EXPECT_EQ(button->parentWidget(), main->fraPrintSummary);
    EXPECT_EQ(main->cmPrintSummary[1]->nextInFocusChain(), button);
}

TEST_F(PreviewTest, closingThePreviewChangesNothing) {
    ThreeChecksReadyToPrint();
    const QByteArray settingsBefore = SettingsFile();
    const QList<RegisterRecord> pendingBefore = Pending();
    preview.answer = PrintPreview::Answer::Close;
    // The access key presses the button visibly; the click comes a moment later.
    QTest::keyClick(main, Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.shown == 1; }, 2000));
    EXPECT_EQ(printerDialog.shown, 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(SettingsFile(), settingsBefore);
    EXPECT_EQ(Pending().size(), pendingBefore.size());
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_TRUE(main->isVisible());
    // The preview drew the three checks on the default printer's behalf.
    QStringList payees;
    for (const PrinterCall &call : preview.log.Texts()) {
        if (call.text.startsWith(QStringLiteral("Payee"))) {
            payees << call.text.trimmed();
        }
    }
    EXPECT_EQ(payees, (QStringList{QStringLiteral("Payee 1"), QStringLiteral("Payee 2"), QStringLiteral("Payee 3")}));
    EXPECT_EQ(preview.lastPrinterName, printers.defaultName);
}

TEST_F(PreviewTest, printFromThePreviewIsPrintChecks) {
    ThreeChecksReadyToPrint();
    UsePrinter();
    preview.answer = PrintPreview::Answer::Print;
    main->cmPrintSummary[2]->click();
    EXPECT_EQ(preview.shown, 1);
    EXPECT_EQ(printerDialog.shown, 1);
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1004"));
    EXPECT_FALSE(RegisterExists());
    EXPECT_FALSE(main->isVisible());
}

TEST_F(PreviewTest, previewAndPrintUseTheSavedOffsetsOfTheirPrinters) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kStyle3OnAPage, {10, -5});
    table.SetOffset(QStringLiteral("Inkjet"), kStyle3OnAPage, {-20, 0});
    ASSERT_TRUE(SaveAlignment(AlignmentFilePath(dir.path()), table));
    printers.defaultName = QStringLiteral("Inkjet");
    ThreeChecksReadyToPrint();
    UsePrinter();
    preview.answer = PrintPreview::Answer::Print;
    main->cmPrintSummary[2]->click();

    const auto payeeX = [](const PrinterLog &printed) {
        for (const PrinterCall &call : printed.Texts()) {
            if (call.text.startsWith(QStringLiteral("Payee 1"))) {
                return call.x;
            }
        }
        return -1.0;
    };
    EXPECT_DOUBLE_EQ(payeeX(preview.log), 1440 - 288);
    EXPECT_DOUBLE_EQ(payeeX(log), 1440 + 144);
}

TEST_F(PreviewTest, damagedAlignmentIsReported_andChecksPrintWithoutOffsets) {
    QFile ini(AlignmentFilePath(dir.path()));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("not an alignment file\n");
    ini.close();
    ThreeChecksReadyToPrint();
    UsePrinter();
    // The question before printing: No prints the checks as they stand.
    messages.setNextAnswer(MsgResult::No);
    main->cmPrintSummary[0]->click();
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Printer Alignment"));
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(AlignmentFilePath(dir.path()))));
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    EXPECT_FALSE(RegisterExists());
}

TEST_F(PreviewTest, nothingPendingSaysSoAndShowsNoPreview) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    messages.shown.clear();
    main->cmPrintSummary_Click(2);
    EXPECT_EQ(preview.shown, 0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Nothing to Print"));
}
