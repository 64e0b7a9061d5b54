// The check entry window: layout, activation, the amount filter, Enter, Accept and Redo.
#include "frmMainFixture.h"

#include "windows/Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QPlainTextEdit>

namespace {

struct Placed {
    const char *name;
    const char *caption; // nullptr: not checked
    int left, top, width, height;
    double points; // 0: not checked
    bool bold;
    const char *tip;
};

// Every control of the three panels, positions in twips within its panel.
const Placed kLayout[] = {
    {"fraMain", "Check Creation", 600, 60, 5655, 2955, 8.25, true, ""},
    {"fraCheckImage", "Verify Information", 60, 60, 7095, 2955, 8.25, true, ""},
    {"fraPrintSummary", "Ready to Print Checks", 1830, 60, 3615, 2955, 8.25, true, ""},
    {"Shape4", nullptr, 120, 300, 3855, 2415, 0, false, ""},
    {"Label1(1)", "Pay to the Order of", 240, 360, 1635, 195, 8.25, true, ""},
    {"txtPayto", nullptr, 300, 660, 3495, 285, 8.25, false, ""},
    {"Label1(3)", "Amount", 240, 1200, 645, 195, 8.25, true, ""},
    {"txtCost", nullptr, 2340, 1140, 1455, 285, 8.25, false, "Enter Amount paid for this item"},
    {"Label1(0)", "Category/Memo", 240, 1500, 1350, 195, 8.25, true, ""},
    {"txtCategory", nullptr, 300, 1800, 3495, 315, 8.25, false, ""},
    {"lblCheck", "Check No", 2640, 360, 1215, 255, 9.75, true, ""},
    {"cmdExpense(6)", "&PrintChecks", 4200, 1980, 1095, 315, 8.25, false, "Print all created checks"},
    {"cmdExpense(1)", "&Enter", 2700, 2220, 1095, 315, 8.25, false, "Accept Check Entries"},
    {"cmdExpense(0)", "&Menu", 4200, 2400, 1095, 315, 8.25, false, "Return to the Main Menu"},
    {"lblBankName", "Bank Name", 180, 300, 990, 195, 8.25, true, ""},
    {"lblAcctNo", "AcctNo", 6240, 240, 645, 195, 8.25, true, ""},
    {"lblCheckNo", "CheckNo", 5760, 600, 1155, 255, 8.25, true, ""},
    {"lblPaidto", "Paid to", 240, 900, 615, 195, 8.25, true, ""},
    {"lblAmount", "Amount", 5880, 1080, 945, 300, 12, true, ""},
    {"txtConverted", nullptr, 240, 1560, 6615, 615, 8.25, true, ""},
    {"lblCategory", "Memo:", 360, 2640, 570, 195, 8.25, true, ""},
    {"cmdPrint", "Accept", 5820, 2220, 1095, 315, 8.25, false, "Create the Check"},
    {"cmdCancel", "&Redo", 5820, 2580, 1095, 315, 8.25, false, "Cancel this check"},
    {"cmPrintSummary(0)", "Print Checks", 2100, 2100, 1215, 315, 0, false, "Starts printing the checks"},
    {"cmPrintSummary(1)", "Cancel Print", 2100, 2520, 1215, 315, 0, false, "Cancels all checks"},
    {"lblPrintSummary", "Printsummary", 1560, 420, 1875, 1515, 0, false, "Displays check forms needed information"},
    {"Label3", "Leading Edge", 352, 960, 990, 195, 0, false, ""},
    {"Shape2(0)", nullptr, 240, 1200, 1215, 435, 0, false, ""},
    {"Shape2(1)", nullptr, 240, 1620, 1215, 435, 0, false, ""},
    {"Shape2(2)", nullptr, 240, 2040, 1215, 435, 0, false, ""},
};

QString Caption(const QWidget *control) {
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        return label->text();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        return button->text();
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(control)) {
        return frame->title();
    }
    return {};
}

// The control Tab moves to: the next one in the focus chain that takes the focus by Tab.
QWidget *NextTabStop(QWidget *from) {
    for (QWidget *w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
            return w;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(EntryWindowTest, everyControlHasItsNameCaptionFontAndPlace) {
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quillane"));
    EXPECT_EQ(main->size(), QSize(TwipsToPixels(7275), TwipsToPixels(3090)));
    for (const Placed &p : kLayout) {
        SCOPED_TRACE(p.name);
        const auto *control = main->findChild<QWidget *>(QLatin1String(p.name));
        ASSERT_NE(control, nullptr);
        if (p.caption != nullptr) {
            EXPECT_EQ(Caption(control), QLatin1String(p.caption));
        }
        const QRect r = control->geometry();
        EXPECT_EQ(r.topLeft(), QPoint(TwipsToPixels(p.left), TwipsToPixels(p.top)));
        EXPECT_EQ(r.height(), TwipsToPixels(p.height));
        // A caption wider than its box widens the control; it never shrinks.
        EXPECT_GE(r.width(), TwipsToPixels(p.width));
        if (p.points > 0) {
            EXPECT_DOUBLE_EQ(control->font().pointSizeF(), p.points);
            EXPECT_EQ(control->font().bold(), p.bold);
        }
        EXPECT_EQ(control->toolTip(), QLatin1String(p.tip));
    }
    EXPECT_EQ(main->txtConverted->toPlainText(), QStringLiteral("Converted Number shows here\n"));
    EXPECT_EQ(main->Picture1->toolTip(), QStringLiteral("Shows the proper direction of the checks"));
    EXPECT_FALSE(main->Picture1->pixmap().isNull());
    EXPECT_EQ(NextTabStop(main->txtPayto), main->txtCost);
    EXPECT_EQ(NextTabStop(main->txtCost), main->txtCategory);
    EXPECT_FALSE(main->cmdExpense[6]->isEnabled());
}

TEST_F(EntryWindowTest, boxesHoldNoMoreThanTheRegisterKeeps) {
    EXPECT_EQ(main->txtPayto->maxLength(), 25);
    EXPECT_EQ(main->txtCost->maxLength(), 15);
    EXPECT_EQ(main->txtCategory->maxLength(), 35);
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    QTest::keyClicks(main->txtPayto, QStringLiteral("A payee name of thirty chars"));
    EXPECT_EQ(main->txtPayto->text(), QStringLiteral("A payee name of thirty ch"));
}

TEST_F(EntryWindowTest, activationTakesTheSetupAndShowsTheEntryPanel) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("2")));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1001"));
    EXPECT_EQ(main->lblCheckNo->text(), QStringLiteral("1001"));
    EXPECT_EQ(main->lblBankName->text(), QStringLiteral("First Example Bank"));
    EXPECT_EQ(main->lblAcctNo->text(), QStringLiteral("0012-345678"));
    EXPECT_EQ(main->CurrentCheckNo, 1001);
    EXPECT_EQ(main->ChecksLeftOnForm, 2);
    EXPECT_EQ(main->ChecksCreated, 0);
    EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
    EXPECT_EQ(main->focusWidget(), main->txtPayto);
    EXPECT_FALSE(main->cmdExpense[6]->isEnabled());
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(startup->isVisible());
}

// Text in the box, the key typed, whether the key gets through, whether Enter is enabled after.
struct KeyCase {
    const char *text;
    int key; // a Qt::Key; characters as their Latin-1 code
    const char *after;
    bool enterEnabled;
};

TEST_F(EntryWindowTest, theAmountFilterTakesDigitsPointAndBackspaceOnly) {
    const KeyCase cases[] = {
        {"12.34", '5', "12.34", false},  // two digits behind the point: no more
        {"12.34", '.', "12.34.", false}, // the point always passes
        {"12.34", Qt::Key_Backspace, "12.3", false},
        {"1.5", '7', "1.57", true}, // the third from the end is "1"
        {"", '.', ".", false},      // a point does not enable Enter
        {"", '5', "5", true},
        {"12", '0', "120", true},
        {"1.50", '0', "1.50", false},
        {"", 'a', "", false},
        {"", '-', "", false},
        {"", ',', "", false},
        {"", '$', "", false},
        {"", ' ', "", false},
        {"12", Qt::Key_Return, "12", false},
    };
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    for (const KeyCase &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " + key " + std::to_string(c.key));
        main->txtCost->setText(QLatin1String(c.text));
        main->cmdExpense[1]->setEnabled(false);
        if (c.key < 0x100) {
            QTest::keyClick(main->txtCost, static_cast<char>(c.key));
        } else {
            QTest::keyClick(main->txtCost, static_cast<Qt::Key>(c.key));
        }
        EXPECT_EQ(main->txtCost->text(), QLatin1String(c.after));
        EXPECT_EQ(main->cmdExpense[1]->isEnabled(), c.enterEnabled);
    }
}

TEST_F(EntryWindowTest, pastingIsNotFilteredButEnterChecksIt) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    TypeCheck(QStringLiteral("Ann Example"), QStringLiteral("5"), QStringLiteral("Rent"));
    QApplication::clipboard()->setText(QStringLiteral("12abc"));
    main->txtCost->selectAll();
    QTest::keyClick(main->txtCost, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(main->txtCost->text(), QStringLiteral("12abc"));
    main->cmdExpense[1]->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Amount"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("\"12abc\" is not a number")));
    EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
    EXPECT_EQ(main->focusWidget(), main->txtCost);
}

TEST_F(EntryWindowTest, enterFocusesTheFirstEmptyFieldWithoutAMessage) {
    const struct {
        const char *payee, *amount, *memo, *focus;
    } cases[] = {
        {"", "5", "Rent", "txtPayto"},
        {"   ", "5", "Rent", "txtPayto"}, // a payee of blanks would leave the line
                                          // open
        {"Ann", "5", "", "txtCategory"},
        {"Ann", "", "Rent", "txtCost"},
        {"Ann", "", "", "txtCategory"},
    };
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.payee) + "/" + c.amount + "/" + c.memo);
        main->txtPayto->setText(QLatin1String(c.payee));
        main->txtCost->setText(QLatin1String(c.amount));
        main->txtCategory->setText(QLatin1String(c.memo));
        main->cmdExpense_Click(1);
        EXPECT_EQ(main->focusWidget()->objectName(), QLatin1String(c.focus));
        EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(EntryWindowTest, enterShowsTheCheckAsItWillBePrinted) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    TypeCheck(QStringLiteral("Ann Example"), QStringLiteral("1234.56"), QStringLiteral("Rent"));
    main->cmdExpense[1]->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(Panel(), QStringLiteral("fraCheckImage"));
    EXPECT_EQ(main->txtConverted->toPlainText(),
              QStringLiteral("One Thousand Two Hundred Thirty Four DOLLARS and Fifty Six CENTS"));
    EXPECT_EQ(main->lblAmount->text(), QStringLiteral("$1,234.56"));
    EXPECT_EQ(main->lblPaidto->text(), QStringLiteral("Ann Example"));
    EXPECT_EQ(main->lblCategory->text(), QStringLiteral("Memo: Rent"));
    EXPECT_EQ(main->lblCheckNo->text(), QStringLiteral("1001"));
    EXPECT_EQ(main->focusWidget(), main->cmdPrint);
    // The captions are widened to show all they hold, inside the panel.
    for (QLabel *label : {main->lblAmount, main->lblPaidto, main->lblCategory}) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->objectName().toStdString();
        EXPECT_LE(label->geometry().right(), main->fraCheckImage->width());
    }
}

TEST_F(EntryWindowTest, enterRefusesAmountsThatAreNotPlainDollarsAndCents) {
    const struct {
        const char *amount;
        const char *says;
    } cases[] = {
        {"1.2.3", "is not a number"},
        {".", "is not a number"},
        {"-5", "is negative"},
        {"-12.345", "is negative"},
        {"1.234", "more than two digits after the point"},
        {"1000000000", "larger than the largest amount a check can carry, $999,999,999.99"},
    };
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.amount);
        messages.shown.clear();
        TypeCheck(QStringLiteral("Ann"), QString(), QStringLiteral("Rent"));
        main->txtCost->setText(QLatin1String(c.amount)); // as pasted
        main->cmdExpense_Click(1);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Amount"));
        EXPECT_TRUE(messages.shown[0].text.contains(QLatin1String(c.says))) << messages.shown[0].text.toStdString();
        EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
        EXPECT_EQ(main->focusWidget(), main->txtCost);
        main->cmdCancel_Click();
    }
}

TEST_F(EntryWindowTest, enterTakesTheLargestAmountAndAmountsWithoutCents) {
    const struct {
        const char *amount, *figures, *words;
    } cases[] = {
        {"999999999.99", "$999,999,999.99",
         "Nine Hundred Ninety Nine Million Nine Hundred Ninety Nine Thousand Nine Hundred Ninety Nine DOLLARS and "
         "Ninety Nine CENTS"},
        {"12.", "$12.00", "Twelve DOLLARS and NO CENTS"},
        {".5", "$0.50", " NO DOLLARS and Fifty  CENTS"},
    };
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.amount);
        main->txtPayto->setText(QStringLiteral("Ann"));
        main->txtCategory->setText(QStringLiteral("Rent"));
        main->txtCost->setText(QLatin1String(c.amount));
        main->cmdExpense_Click(1);
        EXPECT_EQ(Panel(), QStringLiteral("fraCheckImage"));
        EXPECT_EQ(main->lblAmount->text(), QLatin1String(c.figures));
        EXPECT_EQ(main->txtConverted->toPlainText(), QLatin1String(c.words));
        main->cmdCancel_Click();
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(EntryWindowTest, enterRefusesCharactersTheDataFilesCannotHoldNamingTheField) {
    const struct {
        const char *payee, *memo, *field, *character, *focus;
    } cases[] = {
        {"\xC5\x81ukasz Nowak", "Rent", "\"Pay to the Order of\"", "\xC5\x81", "txtPayto"},
        {"Ann", "Rent \xF0\x9F\x98\x80", "\"Category/Memo\"", "\xF0\x9F\x98\x80", "txtCategory"},
    };
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        messages.shown.clear();
        main->txtPayto->setText(QString::fromUtf8(c.payee));
        main->txtCategory->setText(QString::fromUtf8(c.memo));
        main->txtCost->setText(QStringLiteral("10"));
        main->cmdExpense_Click(1);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains(QLatin1String(c.field)));
        EXPECT_TRUE(messages.shown[0].text.contains(QString::fromUtf8(c.character)));
        EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
        EXPECT_EQ(main->focusWidget()->objectName(), QLatin1String(c.focus));
    }
    // Accented Latin letters and the euro sign are in the code page.
    messages.shown.clear();
    main->txtPayto->setText(QString::fromUtf8("Zo\xC3\xAB Caf\xC3\xA9"));
    main->txtCategory->setText(QString::fromUtf8("\xE2\x82\xAC 10"));
    main->cmdExpense_Click(1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(Panel(), QStringLiteral("fraCheckImage"));
}

TEST_F(EntryWindowTest, acceptStoresTheCheckAndMovesToTheNextNumber) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("1")));
    AcceptCheck(QStringLiteral("Ann Example"), QStringLiteral("1234.56"), QStringLiteral("Rent"));

    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1002"));
    EXPECT_EQ(main->CurrentCheckNo, 1002);
    EXPECT_EQ(main->ChecksLeftOnForm, 3); // the last blank of the sheet was used: a new sheet of three
    EXPECT_EQ(main->ChecksCreated, 1);
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("TempRegister.txt"))).size(), 115);
    const QList<RegisterRecord> records = Pending();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].CheckNo, QStringLiteral("1001").leftJustified(20));
    EXPECT_EQ(records[0].CheckDate, QStringLiteral("12/07/2026"));
    EXPECT_EQ(records[0].PayTo, QStringLiteral("Ann Example").leftJustified(25));
    EXPECT_EQ(records[0].Amount, QStringLiteral("1234.56").leftJustified(15));
    EXPECT_EQ(records[0].Memo, QStringLiteral("Rent").leftJustified(35));
    EXPECT_EQ(records[0].Status, QStringLiteral("Printed   "));

    EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
    EXPECT_TRUE(main->txtPayto->text().isEmpty());
    EXPECT_TRUE(main->txtCost->text().isEmpty());
    EXPECT_TRUE(main->txtCategory->text().isEmpty());
    EXPECT_FALSE(main->cmdExpense[1]->isEnabled());
    EXPECT_TRUE(main->cmdExpense[6]->isEnabled());
    EXPECT_EQ(main->focusWidget(), main->txtPayto);
}

TEST_F(EntryWindowTest, threeAcceptsLeaveThreeNumberedRecords) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("2")));
    AcceptCheck(QStringLiteral("One"), QStringLiteral("1"), QStringLiteral("a"));
    AcceptCheck(QStringLiteral("Two"), QStringLiteral("2"), QStringLiteral("b"));
    AcceptCheck(QStringLiteral("Three"), QStringLiteral("3"), QStringLiteral("c"));
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("TempRegister.txt"))).size(), 345);
    const QList<RegisterRecord> records = Pending();
    ASSERT_EQ(records.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i].CheckNo.trimmed(), QString::number(1001 + i));
    }
    EXPECT_EQ(main->ChecksLeftOnForm, 2); // 2 -> 1 -> 3 -> 2
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1004"));
}

// The checks-left counter goes round the checks per sheet of the setup's form: a voucher form holds
// one, whatever the setup's number says.
TEST_F(EntryWindowTest, checksLeftFollowTheFormsChecksPerSheet) {
    struct Row {
        const char *style;
        const char *left;
        QList<int> counts; // on opening, then after each accepted check
    };
    for (const Row &row :
         {Row{"Deluxe Wallet-Size", "2", {2, 1, 3, 2}}, Row{"Voucher, Check on Top", "3", {1, 1, 1, 1}},
          Row{"Voucher, Check on Bottom", "1", {1, 1, 1, 1}}}) {
        SCOPED_TRACE(row.style);
        QFile::remove(dir.filePath(QStringLiteral("TempRegister.txt")));
        OpenEntry(Setup(QStringLiteral("1001"), QString::fromLatin1(row.left), QString::fromLatin1(row.style)));
        EXPECT_EQ(main->ChecksLeftOnForm, row.counts[0]);
        for (int i = 1; i < row.counts.size(); ++i) {
            AcceptCheck(QStringLiteral("Ann"), QStringLiteral("10"), QStringLiteral("Rent"));
            EXPECT_EQ(main->ChecksLeftOnForm, row.counts[i]) << "after check " << i;
        }
        main->cmdCancel_Click();
    }
}

TEST_F(EntryWindowTest, redoStoresNothingAndLeavesPrintChecksOff) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    TypeCheck(QStringLiteral("Ann"), QStringLiteral("10"), QStringLiteral("Rent"));
    main->cmdExpense[1]->click();
    main->cmdCancel->click();
    EXPECT_EQ(Panel(), QStringLiteral("fraMain"));
    EXPECT_TRUE(main->txtPayto->text().isEmpty());
    EXPECT_TRUE(main->txtCategory->text().isEmpty());
    EXPECT_TRUE(main->txtCost->text().isEmpty());
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1001"));
    EXPECT_FALSE(main->cmdExpense[6]->isEnabled());
    EXPECT_FALSE(main->cmdExpense[1]->isEnabled());
    EXPECT_FALSE(RegisterExists());
}

TEST_F(EntryWindowTest, checksPendingFromAnEarlierRunComeFirst) {
    WritePending(2);
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("2")));
    // 1001 and 1002 are taken by the pending checks, and so is the first sheet.
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1003"));
    EXPECT_EQ(main->ChecksLeftOnForm, 3);
    EXPECT_EQ(main->ChecksCreated, 0);
    EXPECT_TRUE(main->cmdExpense[6]->isEnabled());
    AcceptCheck(QStringLiteral("Ann"), QStringLiteral("10"), QStringLiteral("Rent"));
    EXPECT_EQ(Pending().value(2).CheckNo.trimmed(), QStringLiteral("1003"));
    // Redo does not switch PrintChecks off while checks are pending.
    main->cmdCancel_Click();
    EXPECT_TRUE(main->cmdExpense[6]->isEnabled());
}

TEST_F(EntryWindowTest, aSetupThatCannotBeUsedSendsThePersonBackToTheMainMenu) {
    const struct {
        const char *checkNo, *left, *style;
    } cases[] = {
        {"abc", "2", "Deluxe 3-On-A-Page"},        {"0", "2", "Deluxe 3-On-A-Page"},
        {"1000000000", "2", "Deluxe 3-On-A-Page"}, {"40000", "x", "Deluxe 3-On-A-Page"},
        {"40000", "4", "Deluxe 3-On-A-Page"},      {"1001", "2", "Other Style"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.checkNo) + "/" + c.left + "/" + c.style);
        messages.shown.clear();
        // As edited outside the program.
        QFile file(dir.filePath(QStringLiteral("DraftMere.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("\"Bank\"\r\n\"Acct\"\r\n\"%1\"\r\n\"%2\"\r\n\"%3\"\r\n")
                       .arg(QLatin1String(c.checkNo), QLatin1String(c.left), QLatin1String(c.style))
                       .toLatin1());
        file.close();
        OpenEntry();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Checkbook Setup"));
        EXPECT_FALSE(main->isVisible());
        EXPECT_TRUE(startup->isVisible());
        EXPECT_FALSE(ender.Ended());
    }
}

TEST_F(EntryWindowTest, checkNumbersAboveOneBillionAreRefused) {
    // Pending checks would carry the next number past the largest one.
    WritePending(2);
    OpenEntry(Setup(QStringLiteral("999999998"), QStringLiteral("3")));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("1000000000")));
    EXPECT_FALSE(main->isVisible());

    // The last number that can be kept: the check before it can be accepted, that one cannot.
    ASSERT_TRUE(DeleteRegister(files).ok);
    messages.shown.clear();
    OpenEntry(Setup(QStringLiteral("999999998"), QStringLiteral("3")));
    ASSERT_TRUE(messages.shown.isEmpty());
    AcceptCheck(QStringLiteral("Ann"), QStringLiteral("1"), QStringLiteral("a"));
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("999999999"));
    AcceptCheck(QStringLiteral("Bob"), QStringLiteral("2"), QStringLiteral("b"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Check Not Stored"));
    EXPECT_EQ(Panel(), QStringLiteral("fraCheckImage"));
    EXPECT_EQ(Pending().size(), 1);
    EXPECT_EQ(main->CurrentCheckNo, 999999999);
}

TEST_F(EntryWindowTest, countersAreNotSixteenBit) {
    OpenEntry(Setup(QStringLiteral("32767"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Ann"), QStringLiteral("1"), QStringLiteral("a"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("32768"));
    EXPECT_EQ(Pending().value(0).CheckNo.trimmed(), QStringLiteral("32767"));
}

TEST_F(EntryWindowTest, aFailedAppendKeepsTheCheckOnTheVerifyPanel) {
    const struct {
        const char *name;
        qint64 bytesBeforeFull;
        bool failSync;
    } faults[] = {{"disk full", 0, false}, {"half a record", 50, false}, {"flush fails", -1, true}};
    for (const auto &f : faults) {
        SCOPED_TRACE(f.name);
        files.bytesBeforeFull = -1;
        files.failSync = false;
        ASSERT_TRUE(DeleteRegister(files).ok);
        WritePending(2);
        messages.shown.clear();
        OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
        TypeCheck(QStringLiteral("Ann Example"), QStringLiteral("10"), QStringLiteral("Rent"));
        main->cmdExpense[1]->click();
        files.bytesBeforeFull = f.bytesBeforeFull;
        files.failSync = f.failSync;
        main->cmdPrint->click();
        files.bytesBeforeFull = -1;
        files.failSync = false;

        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Check Not Stored"));
        EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("TempRegister.txt")));
        EXPECT_EQ(Panel(), QStringLiteral("fraCheckImage"));
        EXPECT_EQ(main->CurrentCheckNo, 1003);
        EXPECT_EQ(main->ChecksCreated, 0);
        EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1003"));
        EXPECT_EQ(main->txtPayto->text(), QStringLiteral("Ann Example"));
        EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("TempRegister.txt"))).size(), 230);

        // Once the disk has room, Accept stores it.
        main->cmdPrint->click();
        EXPECT_EQ(Pending().size(), 3);
        EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1004"));
    }
}

TEST_F(EntryWindowTest, aDamagedRegisterIsReportedOnArrival_andAcceptAddsNothingToIt) {
    RegisterRecord good{QStringLiteral("901"),   QStringLiteral("12/01/2026"), QStringLiteral("Earlier Payee"),
                        QStringLiteral("10.00"), QStringLiteral("Earlier"),    kStatusPrinted};
    const QByteArray record = EncodeRecord(good);
    RegisterRecord lettered = good;
    lettered.PayTo = QStringLiteral("Bob");
    lettered.Amount = QStringLiteral("12abc");
    const struct {
        const char *name;
        QByteArray bytes;
        int pending; // checks the window counts, the damaged one included
        const char *damage;
    } registers[] = {
        {"1 byte", QByteArray(1, 'x'), 1, "is damaged: check number 1 is cut short (1 of 115 bytes)"},
        {"114 bytes", record.left(114), 1, "is damaged: check number 1 is cut short (114 of 115 bytes)"},
        {"200 bytes", record + QByteArray(85, 'x'), 2, "is damaged: check number 2 is cut short (85 of 115 bytes)"},
        {"NUL bytes", record + QByteArray(115, '\0'), 2, "is damaged: check number 2 holds NUL bytes"},
        // A record the print run would refuse stops Accept as well, before more checks are typed.
        {"bad amount", record + EncodeRecord(lettered) + record, 3,
         "cannot be printed: check number 2 (to \"Bob\") has the amount \"12abc\", which is not a number"},
    };
    const QString path = QDir::toNativeSeparators(dir.filePath(QStringLiteral("TempRegister.txt")));
    for (const auto &r : registers) {
        SCOPED_TRACE(r.name);
        QFile file(dir.filePath(QStringLiteral("TempRegister.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(r.bytes), r.bytes.size());
        file.close();
        messages.shown.clear();
        OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Register Damaged"));
        EXPECT_TRUE(messages.shown[0].text.contains(path + u' ' + QLatin1String(r.damage)))
            << messages.shown[0].text.toStdString();
        EXPECT_EQ(main->CurrentCheckNo, 1001 + r.pending) << "a damaged register is not an empty one";
        EXPECT_TRUE(main->cmdExpense[6]->isEnabled());

        TypeCheck(QStringLiteral("Ann Example"), QStringLiteral("10"), QStringLiteral("Rent"));
        main->cmdExpense[1]->click();
        main->cmdPrint->click();
        ASSERT_EQ(messages.shown.size(), 2);
        EXPECT_EQ(messages.shown[1].title, QStringLiteral("Check Not Stored"));
        EXPECT_TRUE(messages.shown[1].text.contains(path + u' ' + QLatin1String(r.damage)))
            << messages.shown[1].text.toStdString();
        EXPECT_EQ(Panel(), QStringLiteral("fraCheckImage"));
        EXPECT_EQ(main->CurrentCheckNo, 1001 + r.pending);
        EXPECT_EQ(main->ChecksCreated, 0);
        EXPECT_EQ(main->txtPayto->text(), QStringLiteral("Ann Example"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), r.bytes) << "nothing appended";
        file.close();
        main->cmdCancel_Click();
        forms.Hide(main);
    }
}

TEST_F(EntryWindowTest, aFolderInTheRegistersPlaceIsReportedOnArrivalAndAtAccept_namingIt) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("TempRegister.txt")));
    const QString path = QDir::toNativeSeparators(dir.filePath(QStringLiteral("TempRegister.txt")));
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Register Damaged"));
    EXPECT_TRUE(messages.shown[0].text.contains(path + QStringLiteral(" is a folder")))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("Move or rename it")));
    EXPECT_EQ(main->CurrentCheckNo, 1001);

    TypeCheck(QStringLiteral("Ann Example"), QStringLiteral("10"), QStringLiteral("Rent"));
    main->cmdExpense[1]->click();
    main->cmdPrint->click();
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].title, QStringLiteral("Check Not Stored"));
    EXPECT_TRUE(messages.shown[1].text.contains(path + QStringLiteral(" is a folder")));
    EXPECT_EQ(main->ChecksCreated, 0);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("TempRegister.txt"))).isDir());
}

TEST_F(EntryWindowTest, aWholeRegisterIsNotReportedOnArrival) {
    WritePending(2);
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    EXPECT_TRUE(messages.shown.isEmpty());
}
