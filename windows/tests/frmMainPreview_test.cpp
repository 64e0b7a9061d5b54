// Preview on the print-summary panel of the check entry window.
#include "frmMainFixture.h"

#include "alignment/AlignmentFile.h"
#include "platform/testing/RecordingPrinter.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

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

    // The printer of each run the journal recorded.
    // The printers of the journal's runs, read through the program's own connection (the journal
    // holds its file exclusively).
    QStringList JournaledPrinters() {
        QStringList names;
        QSqlQuery query(QSqlDatabase::database(program->Journal().ConnectionName()));
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT printer FROM runs ORDER BY id")));
        while (query.next()) {
            names << query.value(0).toString();
        }
        return names;
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
    preview.answer = FakePrintPreview::Answer::Close;
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
    EXPECT_EQ(preview.printerNames, QStringList{printers.defaultName});
}

// Print Checks from the preview prints on the printer the preview showed, without asking again, and
// ends as Print Checks ends; the journal names that printer.
TEST_F(PreviewTest, printFromThePreviewIsPrintChecksOnThePrinterShown) {
    printers.defaultName = QStringLiteral("Inkjet");
    ThreeChecksReadyToPrint();
    UsePrinter();
    preview.answer = FakePrintPreview::Answer::Print;
    main->cmPrintSummary[2]->click();
    EXPECT_EQ(preview.shown, 1);
    EXPECT_EQ(printerDialog.shown, 0);
    EXPECT_EQ(log.calls.size(), 0);
    EXPECT_EQ(preview.printed.Count(PrinterCall::Kind::EndDoc), 1);
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1004"));
    EXPECT_FALSE(RegisterExists());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(JournaledPrinters(), QStringList{QStringLiteral("Inkjet")});
}

// The preview opens on the default printer with its offsets; the person chooses another printer
// there, sees its offsets, and the checks print on it with exactly what the preview last showed.
TEST_F(PreviewTest, previewNamesItsPrinterAndOffsets_andPrintsWhatItShowedLast) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kStyle3OnAPage, {10, -5});
    table.SetOffset(QStringLiteral("Inkjet"), kStyle3OnAPage, {-20, 0});
    ASSERT_TRUE(SaveAlignment(files, table));
    printers.defaultName = QStringLiteral("Inkjet");
    ThreeChecksReadyToPrint();
    UsePrinter();
    preview.chooseTimes = 1;
    preview.answer = FakePrintPreview::Answer::Print;
    main->cmPrintSummary[2]->click();

    EXPECT_EQ(preview.printerNames, (QStringList{QStringLiteral("Inkjet"), QStringLiteral("Laser")}));
    ASSERT_EQ(preview.descriptions.size(), 2);
    EXPECT_TRUE(preview.descriptions[0].contains(QStringLiteral("Inkjet (moved 0.20 in to the left,")))
        << qPrintable(preview.descriptions[0]);
    EXPECT_TRUE(preview.descriptions[1].contains(QStringLiteral("Laser (moved 0.10 in to the right and 0.05 in up,")))
        << qPrintable(preview.descriptions[1]);
    // The preview's last drawing and the printed checks are the same texts at the same places.
    const auto texts = [](const PrinterLog &printed) {
        QStringList placed;
        for (const PrinterCall &call : printed.Texts()) {
            placed << QStringLiteral("%1@%2,%3").arg(call.text).arg(call.x).arg(call.y);
        }
        return placed;
    };
    EXPECT_EQ(printerDialog.shown, 1);
    EXPECT_FALSE(texts(log).isEmpty());
    EXPECT_EQ(texts(preview.log), texts(log));
    EXPECT_TRUE(texts(log).join(u'|').contains(QStringLiteral("@%1,").arg(1440 + 144)));
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1004"));
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
