#include "WindowFixture.h"
#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QStringList kSaved{QStringLiteral("First Example Bank, Main St"), QStringLiteral("0012-345678"),
                         QStringLiteral("1041"), QStringLiteral("2"), QStringLiteral("Deluxe Wallet-Size")};

class StartupTest : public WindowFixture {
protected:
    // The panel that shows: "menu", "type", "info", or a list when more than one does.
    QString panel(frmStartup *w) const {
        QStringList shown;
        if (w->fraDraftmere->isVisible()) {
            shown << QStringLiteral("menu");
        }
        if (w->fraCreate->isVisible()) {
            shown << QStringLiteral("type");
        }
        if (w->fraPrintChecks->isVisible()) {
            shown << QStringLiteral("info");
        }
        return shown.join(QLatin1Char('+'));
    }

    // First run up to the Check Information panel with valid values in every control.
    frmStartup *informationPanelFilled() {
        frmStartup *w = startAndContinue();
        QTest::mouseClick(w->cmdBookInfo, Qt::LeftButton);
        w->txtBankName->setText(QStringLiteral("First Example Bank"));
        w->txtAcctNo->setText(QStringLiteral("0012-345678"));
        w->txtCheckNo->setText(QStringLiteral("1001"));
        w->cboChecks->setEditText(QStringLiteral("2"));
        return w;
    }
};

TEST_F(StartupTest, controlsHaveTheirNamesCaptionsTooltipsAndTwipsPlaces) {
    frmStartup *w = program->Startup();
    forms.Load(w);
    const ControlLayout layouts[] = {
        {"fraDraftmere", QString(), QString(), 60, 120, 4395, 2415},
        {"Label1", QStringLiteral("Quillane Routines"), QString(), 840, 420, 3135, 375},
        {"Image1(0)", QString(), QStringLiteral("Ends Program"), 240, 360, 645, 615},
        {"optMainMenuSub(0)", QStringLiteral("&Print Checks"), QStringLiteral("Create and Print Checks"), 1380, 840,
         1695, 195},
        {"optMainMenuSub(1)", QStringLiteral("&Create Checkbook"), QStringLiteral("Setup Your Checkbook"), 1380, 1140,
         1695, 195},
        {"cmdGoto(0)", QStringLiteral("&Goto"), QStringLiteral("Envoke the Selected Routine"), 1380, 1560, 1275, 315},
        {"cmdGoto(1)", QStringLiteral("&Menu"), QStringLiteral("Return to the Menu"), 1380, 1920, 1275, 315},
        {"fraCreate", QStringLiteral("Checkbook Type"), QString(), 60, 120, 4395, 2415},
        {"optCreate(1)", QStringLiteral("Create a Business  type Checkbook."),
         QStringLiteral("Select if your checkbook is primarily for Business use"), 300, 1440, 2895, 255},
        {"optCreate(0)", QStringLiteral("Create a Personal (Home) type Checkbook."),
         QStringLiteral("Select if your Checkbook is primarily for home use"), 300, 1740, 3495, 255},
        {"cmdBookInfo", QStringLiteral("Create"), QStringLiteral("Creates the Checkbook with Default Settings"), 1440,
         2100, 1095, 255},
        {"Label2", QString(), QString(), 600, 360, 3255, 855},
        {"fraPrintChecks", QStringLiteral("Check Information"), QString(), 60, 120, 4395, 2415},
        {"Label7(0)", QStringLiteral("Bank Name"), QString(), 180, 240, 915, 195},
        {"txtBankName", QStringLiteral("Enter your Bank,s Name here"), QString(), 120, 420, 2535, 315},
        {"Label7(1)", QStringLiteral("Account Number"), QString(), 180, 900, 1275, 195},
        {"txtAcctNo", QStringLiteral("Enter your Checkbook Account No"), QString(), 240, 1140, 2415, 345},
        {"Label6(3)", QStringLiteral("# of Checks on 1st Form"), QString(), 180, 1560, 1740, 195},
        {"cboChecks", QString(), QString(), 2100, 1560, 555, 315},
        {"Label6(0)", QStringLiteral("Check Style"), QString(), 240, 1800, 855, 195},
        {"lstCheckStyle", QString(), QStringLiteral("Select the Syle that you wish to use"), 180, 2040, 2475, 255},
        {"Label6(4)", QStringLiteral("Next Check #"), QString(), 3060, 240, 990, 195},
        {"txtCheckNo", QStringLiteral("Enter the number of the first check on your Check Forms"), QString(), 2940, 480,
         1215, 285},
        {"cmdAccept", QStringLiteral("&Accept"), QStringLiteral("Accept the Information and Continue"), 3000, 1740, 975,
         375},
    };
    for (const ControlLayout &layout : layouts) {
        const auto *control = w->findChild<QWidget *>(QString::fromLatin1(layout.name));
        ASSERT_NE(control, nullptr) << layout.name;
        ExpectPlaced(control, layout);
        QString caption;
        if (const auto *label = qobject_cast<const QLabel *>(control)) {
            caption = label->text();
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
            caption = button->text();
        } else if (const auto *box = qobject_cast<const QLineEdit *>(control)) {
            caption = box->text();
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(control)) {
            caption = frame->title();
        }
        if (!layout.caption.isEmpty()) {
            EXPECT_EQ(caption, layout.caption) << layout.name;
        }
    }
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillane Main Menu"));
    EXPECT_EQ(w->findChild<QWidget *>(QStringLiteral("client"))->size(),
              QSize(TwipsToPixels(4530), TwipsToPixels(2655)));
    EXPECT_EQ(w->Label2->text(), QStringLiteral("Select the type of Checkbook that you wish to Create.") +
                                     QString(51, QLatin1Char(' ')) +
                                     QStringLiteral("The Check Style will be automatically selected, but you can "
                                                    "change if desired."));
    EXPECT_TRUE(w->fraCreate->font().bold());
    EXPECT_FALSE(w->optCreate[1]->font().bold());
    EXPECT_TRUE(w->cmdGoto[0]->font().bold());
    EXPECT_EQ(w->Label1->font().pointSizeF(), 13.5);
    EXPECT_EQ(w->mnuHelp->text(), QStringLiteral("Help"));
    EXPECT_EQ(w->cdbPrint.HelpFile, QStringLiteral("C:\\Tarnwick Software\\Help Files\\Checkbook\\CHECKBOOK.HLP"));
    EXPECT_EQ(w->cboChecks->count(), 3);
    EXPECT_TRUE(w->cboChecks->isEditable());
    // The built-in forms, the two Deluxe styles first.
    QStringList styles;
    for (int row = 0; row < w->lstCheckStyle->count(); ++row) {
        styles << w->lstCheckStyle->item(row)->text();
    }
    EXPECT_EQ(styles, QStringList({QStringLiteral("Deluxe 3-On-A-Page"), QStringLiteral("Deluxe Wallet-Size"),
                                   QStringLiteral("Voucher, Check on Top"), QStringLiteral("Voucher, Check in Middle"),
                                   QStringLiteral("Voucher, Check on Bottom")}));
}

TEST_F(StartupTest, eachPanelReadsCleanly) {
    frmStartup *w = startAndContinue();
    for (const QWidget *panel : {static_cast<QWidget *>(w->fraDraftmere), static_cast<QWidget *>(w->fraCreate),
                                 static_cast<QWidget *>(w->fraPrintChecks)}) {
        ExpectReadable(panel);
    }
    // Each panel's caption stays above its first row of controls.
    for (const QGroupBox *panel : {w->fraCreate, w->fraPrintChecks}) {
        EXPECT_LE(panel->fontMetrics().height(), TwipsToPixels(240)) << panel->objectName().toStdString();
    }
}

TEST_F(StartupTest, setupControlsFollowTheirTabIndexes) {
    frmStartup *w = program->Startup();
    forms.Load(w);
    QList<int> order;
    QWidget *control = w->txtBankName;
    do {
        if (control->property("TabIndex").isValid()) {
            order.append(control->property("TabIndex").toInt());
        }
        control = control->nextInFocusChain();
    } while (control != w->txtBankName && order.size() < 20);
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4, 5, 7, 8, 9}));
}

TEST_F(StartupTest, firstRunOpensOnTheCheckbookTypePanel) {
    frmStartup *w = startAndContinue();
    EXPECT_EQ(panel(w), QStringLiteral("type"));
    EXPECT_TRUE(w->optMainMenuSub[1]->isChecked());
    EXPECT_EQ(w->cboChecks->currentText(), QStringLiteral("3"));
    EXPECT_TRUE(w->optCreate[1]->isChecked());
    EXPECT_TRUE(w->lstCheckStyle->selectedItems().isEmpty());
    EXPECT_EQ(w->txtBankName->text(), QStringLiteral("Enter your Bank,s Name here"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("DraftMere.txt"))));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(StartupTest, createSelectsTheStyleOfTheCheckbookType) {
    const struct {
        int option;
        QString style;
    } cases[] = {{1, QStringLiteral("Deluxe 3-On-A-Page")}, {0, QStringLiteral("Deluxe Wallet-Size")}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.option);
        frmStartup *w = startAndContinue();
        QTest::mouseClick(w->optCreate[c.option], Qt::LeftButton);
        QTest::mouseClick(w->cmdBookInfo, Qt::LeftButton);
        EXPECT_EQ(panel(w), QStringLiteral("info"));
        EXPECT_EQ(w->Settings().CheckStyle, c.style);
        EXPECT_EQ(w->cboChecks->currentText(), QStringLiteral("3"));
        EXPECT_EQ(w->txtAcctNo->text(), QStringLiteral("Enter your Checkbook Account No"));
        restart();
    }
}

TEST_F(StartupTest, acceptSavesTheFiveValuesInOrderAndReturnsToTheMenu) {
    frmStartup *w = informationPanelFilled();
    w->lstCheckStyle->setCurrentRow(1);
    QTest::mouseClick(w->cmdAccept, Qt::LeftButton);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(
        readFile(QStringLiteral("DraftMere.txt")),
        QByteArray("\"First Example Bank\"\r\n\"0012-345678\"\r\n\"1001\"\r\n\"2\"\r\n\"Deluxe Wallet-Size\"\r\n"));
    EXPECT_EQ(panel(w), QStringLiteral("menu"));
    EXPECT_TRUE(w->optMainMenuSub[0]->isChecked());
}

TEST_F(StartupTest, acceptRefusesAValueItCannotUseAndSavesNothing) {
    const struct {
        const char *field;
        std::function<void(frmStartup *)> spoil;
        std::function<QWidget *(frmStartup *)> control;
        QString named;
    } cases[] = {
        {"check number not whole", [](frmStartup *w) { w->txtCheckNo->setText(QStringLiteral("12.5")); },
         [](frmStartup *w) { return w->txtCheckNo; }, QStringLiteral("Next Check #")},
        {"check number zero", [](frmStartup *w) { w->txtCheckNo->setText(QStringLiteral("0")); },
         [](frmStartup *w) { return w->txtCheckNo; }, QStringLiteral("999999999")},
        {"check number too big", [](frmStartup *w) { w->txtCheckNo->setText(QStringLiteral("1000000000")); },
         [](frmStartup *w) { return w->txtCheckNo; }, QStringLiteral("999999999")},
        {"check number prompt", [](frmStartup *) {}, [](frmStartup *w) { return w->txtCheckNo; },
         QStringLiteral("Next Check #")},
        {"four checks on the form", [](frmStartup *w) { w->cboChecks->setEditText(QStringLiteral("4")); },
         [](frmStartup *w) { return w->cboChecks; }, QStringLiteral("# of Checks on 1st Form")},
        {"no checks on the form", [](frmStartup *w) { w->cboChecks->setEditText(QString()); },
         [](frmStartup *w) { return w->cboChecks; }, QStringLiteral("# of Checks on 1st Form")},
        {"quote in the bank name", [](frmStartup *w) { w->txtBankName->setText(QStringLiteral("The \"Best\" Bank")); },
         [](frmStartup *w) { return w->txtBankName; }, QStringLiteral("Bank Name")},
        {"Greek letter in the account", [](frmStartup *w) { w->txtAcctNo->setText(QStringLiteral("\u03A9-1234")); },
         [](frmStartup *w) { return w->txtAcctNo; }, QStringLiteral("Account Number")},
        {"no style", [](frmStartup *w) { w->lstCheckStyle->clearSelection(); },
         [](frmStartup *w) { return w->lstCheckStyle; }, QStringLiteral("Check Style")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        frmStartup *w = informationPanelFilled();
        if (std::string(c.field) == "check number prompt") {
            w->txtCheckNo->setText(QStringLiteral("Enter the number of the first check on your Check Forms"));
        }
        c.spoil(w);
        const QString before = w->txtBankName->text();
        QTest::mouseClick(w->cmdAccept, Qt::LeftButton);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown.first().text.contains(c.named)) << messages.shown.first().text.toStdString();
        EXPECT_EQ(messages.shown.first().buttons, MsgButtons::OK);
        EXPECT_TRUE(c.control(w)->hasFocus());
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("DraftMere.txt"))));
        EXPECT_EQ(panel(w), QStringLiteral("info"));
        EXPECT_EQ(w->txtBankName->text(), before);
        restart();
    }
}

TEST_F(StartupTest, acceptThatCannotWriteTheFileSaysWhyAndKeepsEverything) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    w->optMainMenuSub_DblClick(1);
    QTest::mouseClick(w->cmdBookInfo, Qt::LeftButton);
    w->txtBankName->setText(QStringLiteral("Second Example Bank"));
    files.bytesBeforeFull = 10;
    QTest::mouseClick(w->cmdAccept, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1);
    const QString text = messages.shown.first().text;
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(path(QStringLiteral("DraftMere.txt"))))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << text.toStdString();
    EXPECT_EQ(readFile(QStringLiteral("DraftMere.txt")), settingsBytes(kSaved));
    EXPECT_EQ(panel(w), QStringLiteral("info"));
    EXPECT_EQ(w->txtBankName->text(), QStringLiteral("Second Example Bank"));
}

TEST_F(StartupTest, savedSettingsOpenTheMenuPanelWithPrintChecksSelected) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    EXPECT_EQ(panel(w), QStringLiteral("menu"));
    EXPECT_TRUE(w->optMainMenuSub[0]->isChecked());
    CheckbookSettings expected{kSaved[0], kSaved[1], kSaved[2], kSaved[3], kSaved[4]};
    const CheckbookSettings shown = w->Settings();
    EXPECT_EQ(shown.BankName, expected.BankName);
    EXPECT_EQ(shown.AcctNo, expected.AcctNo);
    EXPECT_EQ(shown.CheckNo, expected.CheckNo);
    EXPECT_EQ(shown.ChecksOnForm, expected.ChecksOnForm);
    EXPECT_EQ(shown.CheckStyle, expected.CheckStyle);
    EXPECT_EQ(w->lstCheckStyle->currentRow(), 1);
}

TEST_F(StartupTest, settingsOnlyInBackupAreRestoredAndLoaded) {
    writeFile(QStringLiteral("Backup/DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    EXPECT_EQ(panel(w), QStringLiteral("menu"));
    EXPECT_EQ(w->txtAcctNo->text(), kSaved[1]);
    EXPECT_EQ(readFile(QStringLiteral("DraftMere.txt")), settingsBytes(kSaved));
}

TEST_F(StartupTest, aDamagedSettingsFileIsReportedThenSetupStartsAsOnAFirstRun) {
    const QByteArray damaged[] = {QByteArray("\"Only Bank\"\r\n\"123\"\r\n"), QByteArray("\"Bank\r\n"), QByteArray()};
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        writeFile(QStringLiteral("DraftMere.txt"), bytes);
        frmStartup *w = startAndContinue();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(
            messages.shown.first().text.contains(QDir::toNativeSeparators(path(QStringLiteral("DraftMere.txt")))));
        EXPECT_EQ(panel(w), QStringLiteral("type"));
        EXPECT_TRUE(w->optMainMenuSub[1]->isChecked());
        EXPECT_EQ(w->cboChecks->currentText(), QStringLiteral("3"));
        EXPECT_EQ(ender.ends, 0);
        restart();
    }
}

// A stored style that names no form (a removed form file, a hand-edited line) shows as missing and
// Accept asks for a form; the person's own forms are listed after the built-ins.
TEST_F(StartupTest, aStoredStyleNamingNoForm_showsAsMissingUntilAFormIsPicked) {
    QStringList values = kSaved;
    values[4] = QStringLiteral("Shop Voucher");
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(values));
    frmStartup *w = startAndContinue();
    EXPECT_EQ(panel(w), QStringLiteral("menu"));
    ASSERT_EQ(w->lstCheckStyle->selectedItems().size(), 1);
    EXPECT_EQ(w->lstCheckStyle->selectedItems().first()->text(), QStringLiteral("Shop Voucher (missing)"));
    EXPECT_EQ(w->Settings().CheckStyle, QStringLiteral("Shop Voucher"));
    QTest::mouseClick(w->cmdAccept, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown.first().text.contains(QStringLiteral("\"Shop Voucher\"")));
    EXPECT_TRUE(messages.shown.first().text.contains(QStringLiteral("Pick the form")));
    EXPECT_TRUE(w->lstCheckStyle->hasFocus());
    EXPECT_EQ(readFile(QStringLiteral("DraftMere.txt")), settingsBytes(values));
    restart();

    // Once the form is there again, it is listed and chosen; a one-per-sheet form fixes the checks
    // left on the first sheet at 1, a three-per-sheet one offers 1 to 3 again.
    CheckForm shop = *BuiltInForm(kFormVoucherTop);
    shop.Name = QStringLiteral("Shop Voucher");
    shop.BuiltIn = false;
    ASSERT_TRUE(SaveForm(FormsFolder(dir.path()), shop));
    w = startAndContinue();
    ASSERT_EQ(w->lstCheckStyle->count(), 6);
    EXPECT_EQ(w->lstCheckStyle->currentItem()->text(), QStringLiteral("Shop Voucher"));
    EXPECT_EQ(w->cboChecks->count(), 1);
    EXPECT_EQ(w->cboChecks->currentText(), QStringLiteral("1"));
    EXPECT_FALSE(w->cboChecks->isEnabled());
    w->lstCheckStyle->setCurrentRow(0);
    EXPECT_EQ(w->cboChecks->count(), 3);
    EXPECT_TRUE(w->cboChecks->isEnabled());
}

TEST_F(StartupTest, gotoWithPrintChecksShowsTheEntryWindowAndHidesTheMenu) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    QTest::mouseClick(w->cmdGoto[0], Qt::LeftButton);
    EXPECT_TRUE(program->Main()->isVisible());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(forms.IsLoaded(w));
}

TEST_F(StartupTest, doubleClickingPrintChecksShowsTheEntryWindow) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    QTest::mouseDClick(w->optMainMenuSub[0], Qt::LeftButton);
    EXPECT_TRUE(program->Main()->isVisible());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StartupTest, accessKeysWorkTheMenuAndTheSetup) {
    // A button's access key presses it visibly, so the click comes a moment later.
    const auto press = [](QWidget *window, Qt::Key key, const std::function<bool()> &done) {
        QTest::keyClick(window, key, Qt::AltModifier);
        return QTest::qWaitFor(done, 2000);
    };
    frmStartup *w = informationPanelFilled();
    EXPECT_TRUE(press(w, Qt::Key_A, [&] { return panel(w) == QStringLiteral("menu"); }));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(press(w, Qt::Key_C, [&] { return w->optMainMenuSub[1]->isChecked(); }));
    EXPECT_TRUE(press(w, Qt::Key_G, [&] { return panel(w) == QStringLiteral("type"); }));
    restart();
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    w = startAndContinue();
    EXPECT_TRUE(press(w, Qt::Key_G, [&] { return program->Main()->isVisible(); }));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StartupTest, singleClickOnAnOptionOnlySelectsIt) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    QTest::mouseClick(w->optMainMenuSub[1], Qt::LeftButton);
    EXPECT_TRUE(w->optMainMenuSub[1]->isChecked());
    EXPECT_EQ(panel(w), QStringLiteral("menu"));
    EXPECT_FALSE(program->Main()->isVisible());
}

TEST_F(StartupTest, createCheckbookFromTheMenuKeepsTheSavedValues) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    QTest::mouseDClick(w->optMainMenuSub[1], Qt::LeftButton);
    EXPECT_EQ(panel(w), QStringLiteral("type"));
    QTest::mouseClick(w->cmdBookInfo, Qt::LeftButton);
    EXPECT_EQ(w->txtBankName->text(), kSaved[0]);
    EXPECT_EQ(w->txtCheckNo->text(), kSaved[2]);
    EXPECT_EQ(w->cboChecks->currentText(), kSaved[3]);
    EXPECT_EQ(w->Settings().CheckStyle, QStringLiteral("Deluxe 3-On-A-Page"));
}

TEST_F(StartupTest, gotoWithCreateCheckbookOpensTheTypePanel) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    w->optMainMenuSub[1]->setChecked(true);
    QTest::mouseClick(w->cmdGoto[0], Qt::LeftButton);
    EXPECT_EQ(panel(w), QStringLiteral("type"));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(StartupTest, menuGoesToANewSplashAndContinueComesBackReloading) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    w->txtBankName->setText(QStringLiteral("Edited but never accepted"));
    QTest::mouseClick(w->cmdGoto[1], Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(forms.IsLoaded(w));
    frmSplash *splash = program->Splash();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->lblVersion->text(), QStringLiteral("Version 2.0.0"));
    ASSERT_EQ(forms.Count(), 3);
    EXPECT_EQ(forms.at(2), splash);

    QTest::mouseClick(splash->cmdContinue, Qt::LeftButton);
    flushDeletes();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(program->Startup(), w);
    EXPECT_EQ(w->txtBankName->text(), kSaved[0]);
    EXPECT_EQ(panel(w), QStringLiteral("menu"));
}

TEST_F(StartupTest, goingBackTwiceGivesANewSplashEachTime) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        w->cmdGoto_Click(1);
        QPointer<frmSplash> splash = program->Splash();
        EXPECT_TRUE(forms.IsLoaded(splash));
        splash->cmdContinue_Click();
        // No event loop ran: the unloaded splash still waits for deletion, yet the next one is new.
        EXPECT_FALSE(splash.isNull());
        EXPECT_NE(program->Splash(), splash.data());
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_EQ(forms.Count(), 2);
}

TEST_F(StartupTest, helpShowsItsNoticeThenTheContents) {
    frmStartup *w = startAndContinue();
    messages.onShow = [this](const ShownMessage &) { EXPECT_TRUE(help.calls.isEmpty()); };
    w->mnuHelp->trigger();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.first().title, QStringLiteral("Help Files"));
    EXPECT_EQ(messages.shown.first().text,
              QStringLiteral("The Help File contains many Features that\r\nare not used in the Free Version"));
    EXPECT_EQ(messages.shown.first().buttons, MsgButtons::OK);
    ASSERT_EQ(help.calls.size(), 1);
    EXPECT_EQ(help.calls.first().helpFile, app.HelpFile);
    EXPECT_EQ(help.calls.first().command, 15);
}

TEST_F(StartupTest, focusEmptiesPromptsAndCheckNumbersBelowOne) {
    const struct {
        const char *box;
        QString text;
        bool emptied;
    } cases[] = {
        {"txtBankName", QStringLiteral("Enter your Bank,s Name here"), true},
        {"txtBankName", QStringLiteral("Enterprise Savings"), true},
        {"txtBankName", QStringLiteral("enterprise Savings"), false},
        {"txtBankName", QStringLiteral(" Enter"), false},
        {"txtAcctNo", QStringLiteral("Enter your Checkbook Account No"), true},
        {"txtAcctNo", QStringLiteral("0012-345678"), false},
        {"txtCheckNo", QStringLiteral("Enter the number of the first check on your Check Forms"), true},
        {"txtCheckNo", QStringLiteral("0"), true},
        {"txtCheckNo", QStringLiteral("-5"), true},
        {"txtCheckNo", QStringLiteral("0.5"), true},
        {"txtCheckNo", QStringLiteral("abc"), true},
        {"txtCheckNo", QString(), true},
        {"txtCheckNo", QStringLiteral("12abc"), false},
        {"txtCheckNo", QStringLiteral(" 7"), false},
        {"txtCheckNo", QStringLiteral("1.5"), false},
        {"txtCheckNo", QStringLiteral("1001"), false},
    };
    frmStartup *w = startAndContinue();
    QTest::mouseClick(w->cmdBookInfo, Qt::LeftButton);
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.text.toStdString());
        w->cmdAccept->setFocus(Qt::OtherFocusReason);
        auto *box = w->findChild<QLineEdit *>(QString::fromLatin1(c.box));
        box->setText(c.text);
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_TRUE(box->hasFocus());
        EXPECT_EQ(box->text(), c.emptied ? QString() : c.text);
        EXPECT_TRUE(box->selectedText().isEmpty());
    }
}

TEST_F(StartupTest, tabbingIntoTheBankNameEmptiesItsPromptToo) {
    frmStartup *w = startAndContinue();
    QTest::mouseClick(w->cmdBookInfo, Qt::LeftButton);
    w->txtBankName->setText(QStringLiteral("Enter your Bank,s Name here"));
    w->txtCheckNo->setText(QStringLiteral("1001"));
    w->txtCheckNo->setFocus(Qt::OtherFocusReason);
    // From the next check number, Tab goes to Accept, then round to the bank name.
    QTest::keyClick(w->txtCheckNo, Qt::Key_Tab);
    EXPECT_TRUE(w->cmdAccept->hasFocus());
    QTest::keyClick(w->cmdAccept, Qt::Key_Tab);
    EXPECT_TRUE(w->txtBankName->hasFocus());
    EXPECT_TRUE(w->txtBankName->text().isEmpty());
}

TEST_F(StartupTest, closingTheMainMenuEndsTheWholeProgram) {
    frmStartup *w = startAndContinue();
    w->close();
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
}

TEST_F(StartupTest, clickingThePictureEndsTheProgram) {
    writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSaved));
    frmStartup *w = startAndContinue();
    QTest::mouseClick(w->Image1, Qt::LeftButton);
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(StartupTest, unloadedFromCodeTheMenuDoesNotEndTheProgram) {
    frmStartup *w = startAndContinue();
    EXPECT_TRUE(forms.Unload(w, vbFormCode));
    EXPECT_EQ(ender.ends, 0);
}

} // namespace
