// Print Checks over damaged alignment settings: the question before anything prints.
#include "frmMainFixture.h"

#include "alignment/AlignmentFile.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/WhenUp.h"
#include "windows/frmAlignment.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

// One good offset for the default printer, and check protection whose entry cannot be read.
const QByteArray kPartlyDamaged = "[Offsets]\nsize=1\n1\\Printer=Laser\n1\\Style=Deluxe 3-On-A-Page\n"
                                  "1\\Horizontal=+0.10\n1\\Vertical=0.00\n"
                                  "[CheckProtection]\nsize=1\n1\\Style=Deluxe 3-On-A-Page\n1\\On=yes please\n";

class DamagedAlignmentPrintTest : public EntryWindowTest {
protected:
    void SetUp() override {
        EntryWindowTest::SetUp();
        printers.names = QStringList{QStringLiteral("Laser")};
        printers.defaultName = QStringLiteral("Laser");
        printerDialog.makePrinter = [this] {
            auto printer = std::make_unique<RecordingPrinter>(log);
            printer->printerName = QStringLiteral("Laser");
            return printer;
        };
    }

    PrinterLog log;
};

TEST_F(DamagedAlignmentPrintTest, asksFirst_defaultOpensPrinterAlignmentAndPrintsNothing_noPrintsAsItStands) {
    const struct {
        const char *name;
        std::optional<MsgResult> answer; // empty: the default button
        bool printed;
    } rows[] = {{"default", std::nullopt, false}, {"Yes", MsgResult::Yes, false}, {"No", MsgResult::No, true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        log.calls.clear();
        printerDialog.shown = 0;
        QFile::remove(AlignmentFilePath(dir.path()));
        QFile ini(AlignmentFilePath(dir.path()));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(kPartlyDamaged);
        ini.close();
        WritePending(1);
        OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
        main->cmdExpense[6]->click();
        messages.shown.clear();
        if (row.answer) {
            messages.setNextAnswer(*row.answer);
        }
        // The alignment window, if it opens, shows what was kept, and is closed with Escape.
        QString shownOffset;
        bool opened = false;
        if (!row.printed) {
            WhenUp<frmAlignment>([&](frmAlignment &window) {
                opened = true;
                shownOffset = window.txtHorizontal->text();
                QTest::keyClick(&window, Qt::Key_Escape);
            });
        }
        main->cmPrintSummary[0]->click();

        ASSERT_GE(messages.shown.size(), 1);
        const ShownMessage &question = messages.shown[0];
        EXPECT_EQ(question.buttons, MsgButtons::YesNo);
        EXPECT_EQ(question.defaultButton, MsgResult::Yes);
        EXPECT_EQ(question.title, QStringLiteral("Printer Alignment"));
        // Both consequences, the file, and what was kept.
        for (const QString &part :
             {QDir::toNativeSeparators(AlignmentFilePath(dir.path())), QStringLiteral("check protection entry 1"),
              QStringLiteral("no asterisks"), QStringLiteral("other entries are kept"),
              QStringLiteral("Open Printer Alignment")}) {
            EXPECT_TRUE(question.text.contains(part))
                << qPrintable(part) << " missing from " << qPrintable(question.text);
        }
        EXPECT_EQ(opened, !row.printed);
        if (opened) {
            EXPECT_EQ(shownOffset, QStringLiteral("+0.10"));
        }
        EXPECT_EQ(printerDialog.shown, row.printed ? 1 : 0);
        EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), row.printed ? 1 : 0);
        EXPECT_EQ(RegisterExists(), !row.printed) << "the pending check stays until it is printed";
        // The file is left for the person to save again.
        QFile left(AlignmentFilePath(dir.path()));
        ASSERT_TRUE(left.open(QIODevice::ReadOnly));
        EXPECT_EQ(left.readAll(), kPartlyDamaged);
        forms.Hide(main);
        QFile::remove(dir.filePath(QStringLiteral("TempRegister.txt")));
    }
}

} // namespace
