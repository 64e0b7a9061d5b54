// The printer alignment window, reached from the main menu's menu bar.
#include "WindowFixture.h"
#include "forms/BuiltInForms.h"
#include "windows/frmForms.h"

#include "alignment/AlignmentFile.h"
#include "forms/FormFile.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/WhenUp.h"
#include "windows/frmAlignment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

#include <sys/stat.h>

namespace {

const QString kTitle = QStringLiteral("Printer Alignment");

// Replaces a text box's text by typing, as a person would.
void retype(QLineEdit *box, const QString &text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Presses a button by its access key; the press shows, so the click comes a moment later.
bool press(QWidget *window, Qt::Key key, const std::function<bool()> &done) {
    QTest::keyClick(window, key, Qt::AltModifier);
    return QTest::qWaitFor(done, 2000);
}

// Leftmost column of a picture holding ink darker than the faint outline.
int leftmostInk(const QImage &image) {
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 100) {
                return x;
            }
        }
    }
    return -1;
}

} // namespace

class AlignmentWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        printers.names = QStringList{QStringLiteral("Laser"), QStringLiteral("Inkjet")};
        printers.defaultName = QStringLiteral("Inkjet");
    }

    std::unique_ptr<frmAlignment> open(const QString &style = kStyle3OnAPage) {
        auto window = std::make_unique<frmAlignment>(*program, style);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    AlignmentTable saved() const {
        AlignmentTable table;
        QtFiles here(dir.path());
        EXPECT_TRUE(LoadAlignment(here, table));
        return table;
    }

    QString iniPath() const { return AlignmentFilePath(dir.path()); }

    PrinterLog log;
};

TEST_F(AlignmentWindowTest, setupMenuBesideChecksOpensTheWindowOnTheDefaultPrinterAndTheCheckbooksStyle) {
    writeFile(QStringLiteral("DraftMere.txt"),
              settingsBytes({QStringLiteral("Bank"), QStringLiteral("1"), QStringLiteral("1001"), QStringLiteral("3"),
                             kStyleWallet}));
    frmStartup *startup = startAndContinue();
    // Help, then three menus, each entry with its own access key: the whole bar fits the window.
    const struct {
        QAction *entry;
        QString text;
        QList<QAction *> items;
        QStringList captions;
    } bar[] = {
        {startup->mnuHelp, QStringLiteral("Help"), {}, {}},
        {startup->mnuChecks->menuAction(),
         QStringLiteral("Chec&ks"),
         {startup->mnuHistory, startup->mnuImport, startup->mnuPayees},
         {QStringLiteral("Hi&story"), QStringLiteral("&Import Checks"), QStringLiteral("Pa&yees")}},
        {startup->mnuSetup->menuAction(),
         QStringLiteral("&Setup"),
         {startup->mnuAlignment, startup->mnuForms, startup->mnuJournal},
         {QStringLiteral("Printer A&lignment"), QStringLiteral("Check &Forms"), QStringLiteral("&Journal...")}},
        {startup->mnuCheckbooks->menuAction(), QStringLiteral("Check&books"), {}, {}},
    };
    const QList<QAction *> entries = startup->menuBar->actions();
    ASSERT_EQ(entries.size(), static_cast<qsizetype>(std::size(bar)));
    for (size_t i = 0; i < std::size(bar); ++i) {
        SCOPED_TRACE(bar[i].text.toStdString());
        EXPECT_EQ(entries[i], bar[i].entry);
        EXPECT_EQ(entries[i]->text(), bar[i].text);
        const QRect shown = startup->menuBar->actionGeometry(entries[i]);
        EXPECT_TRUE(!shown.isEmpty() && startup->menuBar->rect().contains(shown));
        if (!bar[i].items.isEmpty()) {
            EXPECT_EQ(entries[i]->menu()->actions(), bar[i].items);
        }
        for (qsizetype j = 0; j < bar[i].items.size(); ++j) {
            EXPECT_EQ(bar[i].items[j]->text(), bar[i].captions[j]);
        }
    }
    const auto *more = startup->menuBar->findChild<QWidget *>(QStringLiteral("qt_menubar_ext_button"));
    EXPECT_TRUE(more == nullptr || !more->isVisible()) << "entries hide behind the menu bar's extension button";

    QStringList printerItems;
    QString printer, style;
    bool modal = false;
    WhenUp<frmAlignment>([&](frmAlignment &window) {
        modal = window.isModal();
        for (int i = 0; i < window.cboPrinter->count(); ++i) {
            printerItems << window.cboPrinter->itemText(i);
        }
        printer = window.cboPrinter->currentText();
        style = window.cboStyle->currentText();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    // Alt+S opens the Setup menu, L its Printer Alignment.
    QTest::keyClick(startup, Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([startup] { return startup->mnuSetup->isVisible(); }));
    QTest::keyClick(startup->mnuSetup, Qt::Key_L);
    EXPECT_TRUE(modal);
    EXPECT_EQ(printerItems, (QStringList{QStringLiteral("Laser"), QStringLiteral("Inkjet"), QStringLiteral("PDF")}));
    EXPECT_EQ(printer, QStringLiteral("Inkjet"));
    EXPECT_EQ(style, kStyleWallet);
    // Nothing changed: no question on leaving, and no file written.
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_TRUE(startup->isVisible());
}

// Check Forms opens, modal, on the checkbook's form; a form added there is in the setup's list after.
TEST_F(AlignmentWindowTest, checkFormsEntryOpensTheFormsWindowOnTheCheckbooksForm) {
    writeFile(QStringLiteral("DraftMere.txt"),
              settingsBytes({QStringLiteral("Bank"), QStringLiteral("1"), QStringLiteral("1001"), QStringLiteral("1"),
                             kFormVoucherMiddle}));
    frmStartup *startup = startAndContinue();
    QString shown;
    bool modal = false;
    WhenUp<frmForms>([&](frmForms &window) {
        modal = window.isModal();
        shown = window.lstForms->currentItem() ? window.lstForms->currentItem()->text() : QString();
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    startup->mnuForms->trigger();
    EXPECT_TRUE(modal);
    EXPECT_TRUE(shown.startsWith(kFormVoucherMiddle)) << qPrintable(shown);
    EXPECT_EQ(startup->Settings().CheckStyle, kFormVoucherMiddle);
    EXPECT_FALSE(startup->cboChecks->isEnabled());
}

TEST_F(AlignmentWindowTest, typedOffsetsAreSavedPerPrinterAndStyle_ownerOnly) {
    auto window = open();
    EXPECT_EQ(window->txtHorizontal->text(), QStringLiteral("0.00"));
    retype(window->txtHorizontal, QStringLiteral("0.1"));
    retype(window->txtVertical, QStringLiteral("-0.05"));
    window->cboPrinter->setCurrentIndex(0); // Laser: never aligned
    EXPECT_EQ(window->txtHorizontal->text(), QStringLiteral("0.00"));
    EXPECT_EQ(window->txtVertical->text(), QStringLiteral("0.00"));
    retype(window->txtVertical, QStringLiteral("+.3"));
    window->cboStyle->setCurrentIndex(1);
    QTest::mouseClick(window->chkProtection, Qt::LeftButton);
    ASSERT_TRUE(press(window.get(), Qt::Key_S, [&] { return QFile::exists(iniPath()); }));
    ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.first().text.toStdString();

    const AlignmentTable table = saved();
    EXPECT_EQ(table.Offset(QStringLiteral("Inkjet"), kStyle3OnAPage), (AlignmentOffset{10, -5}));
    EXPECT_EQ(table.Offset(QStringLiteral("Laser"), kStyle3OnAPage), (AlignmentOffset{0, 30}));
    EXPECT_EQ(table.Offset(QStringLiteral("Laser"), kStyleWallet), AlignmentOffset{});
    EXPECT_TRUE(table.CheckProtection(kStyleWallet));
    EXPECT_FALSE(table.CheckProtection(kStyle3OnAPage));
    EXPECT_EQ(QFileInfo(iniPath()).permissions() &
                  ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::Permissions());

    // Back on the first printer and style, its offsets show again; a new window reads them back.
    window->cboStyle->setCurrentIndex(0);
    window->cboPrinter->setCurrentIndex(1);
    EXPECT_EQ(window->txtHorizontal->text(), QStringLiteral("+0.10"));
    EXPECT_EQ(window->txtVertical->text(), QStringLiteral("-0.05"));
    window.reset();
    auto again = open();
    EXPECT_EQ(again->txtHorizontal->text(), QStringLiteral("+0.10"));
    EXPECT_FALSE(again->chkProtection->isChecked());
}

TEST_F(AlignmentWindowTest, badInputIsRefusedNamingTheField_nothingSaved) {
    const struct {
        const char *box;
        const char *typed;
        const char *field;
    } cases[] = {{"txtHorizontal", "1.5", "Horizontal offset"},
                 {"txtHorizontal", "abc", "Horizontal offset"},
                 {"txtVertical", "-1.01", "Vertical offset"},
                 {"txtVertical", "0.005", "Vertical offset"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        messages.shown.clear();
        auto window = open();
        auto *box = window->findChild<QLineEdit *>(QString::fromLatin1(c.box));
        ASSERT_NE(box, nullptr);
        retype(box, QString::fromLatin1(c.typed));
        window->cmdSave->click();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, kTitle);
        EXPECT_TRUE(messages.shown[0].text.startsWith(QString::fromLatin1(c.field) + u':'))
            << messages.shown[0].text.toStdString();
        EXPECT_EQ(window->focusWidget(), box);
        EXPECT_FALSE(QFile::exists(iniPath()));

        // Another printer is not chosen while the box holds no offset.
        window->cboPrinter->setCurrentIndex(0);
        EXPECT_EQ(window->cboPrinter->currentText(), QStringLiteral("Inkjet"));
        EXPECT_EQ(messages.shown.size(), 2);
        // Leaving anyway: the question, and Discard leaves the file alone.
        messages.setNextAnswer(MsgResult::Discard);
        window->cmdClose->click();
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(QFile::exists(iniPath()));
    }
}

TEST_F(AlignmentWindowTest, damagedSettingsAreReportedNamingTheFile_andMeanNoOffsets) {
    writeFile(kAlignmentFileName, QByteArray("[Offsets]\nsize=1\n1\\Printer=Inkjet\n1\\Style=Deluxe 3-On-A-Page\n"
                                             "1\\Horizontal=9\n1\\Vertical=0\n"));
    auto window = open();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, kTitle);
    EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(iniPath())));
    EXPECT_EQ(window->txtHorizontal->text(), QStringLiteral("0.00"));
    // Saving writes a sound file in its place.
    retype(window->txtHorizontal, QStringLiteral("0.02"));
    window->cmdSave->click();
    EXPECT_EQ(saved().Offset(QStringLiteral("Inkjet"), kStyle3OnAPage), (AlignmentOffset{2, 0}));
}

TEST_F(AlignmentWindowTest, closingWithChanges_offersSaveDiscardCancel) {
    for (const MsgResult answer : {MsgResult::Save, MsgResult::Discard, MsgResult::Cancel}) {
        QFile::remove(iniPath());
        messages.shown.clear();
        auto window = open();
        retype(window->txtVertical, QStringLiteral("0.25"));
        messages.setNextAnswer(answer);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::SaveDiscardCancel);
        EXPECT_EQ(messages.shown[0].defaultButton, MsgResult::Save);
        EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(iniPath())));
        EXPECT_EQ(window->isVisible(), answer == MsgResult::Cancel);
        EXPECT_EQ(QFile::exists(iniPath()), answer == MsgResult::Save);
        if (answer == MsgResult::Cancel) {
            // Still there to go on with: the typed value stands.
            EXPECT_EQ(window->txtVertical->text(), QStringLiteral("0.25"));
        }
    }
}

TEST_F(AlignmentWindowTest, saveSaysWhatItDid_andLeavesAnUnchangedFileAlone) {
    auto window = open();
    const QString file = QDir::toNativeSeparators(iniPath());
    // Nothing typed: nothing written, and that is said.
    window->cmdSave->click();
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("No changes to save; %1 is as it was.").arg(file));
    EXPECT_FALSE(QFile::exists(iniPath()));

    retype(window->txtHorizontal, QStringLiteral("0.03"));
    ASSERT_TRUE(press(window.get(), Qt::Key_S, [&] { return QFile::exists(iniPath()); }));
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Saved to %1.").arg(file));
    const QFileInfo before(iniPath());
    const auto inode = [](const QString &path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : ino_t(0);
    };
    const ino_t first = inode(iniPath());
    window->lblStatus->clear();
    window->cmdSave->click();
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("No changes to save; %1 is as it was.").arg(file));
    EXPECT_EQ(inode(iniPath()), first) << "an unchanged file is not replaced";
    EXPECT_EQ(QFileInfo(iniPath()).lastModified(), before.lastModified());
    // Closing now asks nothing.
    window->cmdClose->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(AlignmentWindowTest, aBoxHoldingNoOffsetIsMarked_andTheDrawingKeepsTheLastValidOffset) {
    // Typed key by key: the last valid text on the way is what stays drawn ("1" on the way to "1.5").
    const struct {
        const char *bad;
        const char *lastValid;
        int hundredths;
    } rows[] = {{"1.5", "1", 100}, {"abc", "0.5", 50}, {"-", "0.5", 50}, {"0.005", "0.00", 0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.bad);
        auto window = open();
        retype(window->txtHorizontal, QString::fromLatin1(row.lastValid));
        const QImage valid = window->picCheck->grab().toImage();
        EXPECT_FALSE(window->txtHorizontal->property("invalid").toBool());
        retype(window->txtHorizontal, QString::fromLatin1(row.bad));
        EXPECT_TRUE(window->txtHorizontal->property("invalid").toBool());
        EXPECT_FALSE(window->txtHorizontal->styleSheet().isEmpty());
        EXPECT_FALSE(window->txtVertical->property("invalid").toBool());
        EXPECT_TRUE(window->lblStatus->text().startsWith(QStringLiteral("Horizontal offset: not an offset")))
            << window->lblStatus->text().toStdString();
        EXPECT_EQ(window->TypedOffset(), (AlignmentOffset{row.hundredths, 0}));
        EXPECT_TRUE(window->picCheck->grab().toImage() == valid) << "the drawing is the last valid one, not 0";
        // Corrected, the mark goes.
        retype(window->txtHorizontal, QStringLiteral("0.4"));
        EXPECT_FALSE(window->txtHorizontal->property("invalid").toBool());
        EXPECT_TRUE(window->txtHorizontal->styleSheet().isEmpty());
        EXPECT_TRUE(window->lblStatus->text().isEmpty());
        EXPECT_EQ(window->TypedOffset(), (AlignmentOffset{40, 0}));
        messages.setNextAnswer(MsgResult::Discard);
        window->cmdClose->click();
    }
}

TEST_F(AlignmentWindowTest, underAGermanLocaleACommaOffsetIsTaken_andShownWithAComma) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        auto window = open();
        EXPECT_EQ(window->txtHorizontal->text(), QStringLiteral("0,00"));
        retype(window->txtHorizontal, QStringLiteral("0,1"));
        retype(window->txtVertical, QStringLiteral("-0.05"));
        EXPECT_FALSE(window->txtHorizontal->property("invalid").toBool());
        EXPECT_EQ(window->TypedOffset(), (AlignmentOffset{10, -5}));
        ASSERT_TRUE(press(window.get(), Qt::Key_S, [&] { return QFile::exists(iniPath()); }));
        EXPECT_TRUE(messages.shown.isEmpty());
        // A refusal speaks the same way.
        retype(window->txtVertical, QStringLiteral("1,5"));
        window->cmdSave->click();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("-1,00 to +1,00")))
            << messages.shown[0].text.toStdString();
        messages.setNextAnswer(MsgResult::Discard);
        window->cmdClose->click();
    }
    auto again = open();
    EXPECT_EQ(again->txtHorizontal->text(), QStringLiteral("+0,10"));
    EXPECT_EQ(again->txtVertical->text(), QStringLiteral("-0,05"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The file holds points whatever the locale.
    EXPECT_TRUE(readFile(kAlignmentFileName).contains("Horizontal=+0.10"));
}

TEST_F(AlignmentWindowTest, testSheetGoesThroughThePrinterDialogOnTheChosenPrinterWithTheOffsetsShown) {
    printerDialog.makePrinter = [this] {
        auto printer = std::make_unique<RecordingPrinter>(log);
        printer->printerName = QStringLiteral("Laser");
        return printer;
    };
    auto window = open();
    window->cboPrinter->setCurrentIndex(0);
    retype(window->txtHorizontal, QStringLiteral("0.10"));
    // Cancelled: nothing printed, nothing said.
    printerDialog.cancel = true;
    EXPECT_TRUE(press(window.get(), Qt::Key_T, [&] { return printerDialog.shown == 1; }));
    EXPECT_TRUE(log.calls.isEmpty());

    EXPECT_EQ(printerDialog.preselected, QStringLiteral("Laser"));

    printerDialog.cancel = false;
    window->cmdTestSheet->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(printerDialog.preselected, QStringLiteral("Laser"));
    EXPECT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    const QList<PrinterCall> texts = log.Texts();
    QStringList all;
    for (const PrinterCall &call : texts) {
        all << call.text;
    }
    // Typed, not saved: the caption says so.
    const QString joined = all.join(QLatin1Char(' '));
    EXPECT_TRUE(joined.contains(QStringLiteral("printer: Laser - form: Deluxe 3-On-A-Page - offsets (not saved): "
                                               "right +0.10 in, down 0.00 in")))
        << joined.toStdString();
    const auto payee = std::find_if(texts.cbegin(), texts.cend(),
                                    [](const PrinterCall &call) { return call.text == QStringLiteral("payee"); });
    ASSERT_NE(payee, texts.cend());
    EXPECT_DOUBLE_EQ(payee->x, 1440 + 144);
    EXPECT_DOUBLE_EQ(payee->y, 1.25 * 1440);
}

// The person's own forms are styles too: listed after the built-ins, their offsets kept by name, and
// their test sheet a cross at each of their items.
TEST_F(AlignmentWindowTest, ownFormsAreListedAndTheirTestSheetMarksEachOfTheirItems) {
    CheckForm own = *BuiltInForm(kFormVoucherBottom);
    own.Name = QStringLiteral("Shop Voucher");
    own.BuiltIn = false;
    own.Areas[0].Items[1].X = 1.5; // the check's payee
    ASSERT_TRUE(SaveForm(FormsFolder(dir.path()), own).ok);
    printerDialog.makePrinter = [this] { return std::make_unique<RecordingPrinter>(log); };
    auto window = open(own.Name);
    EXPECT_EQ(window->cboStyle->count(), BuiltInForms().size() + 1);
    EXPECT_EQ(window->cboStyle->currentIndex(), BuiltInForms().size());
    EXPECT_EQ(window->cboStyle->currentText(), own.Name);
    retype(window->txtVertical, QStringLiteral("0.05"));
    window->cmdTestSheet->click();
    ASSERT_EQ(log.Count(PrinterCall::Kind::EndDoc), 1);
    QStringList names;
    for (const PrinterCall &call : log.Texts()) {
        names << call.text;
        if (call.text == QStringLiteral("payee")) {
            EXPECT_NEAR(call.x, 1.5 * 1440, 1e-6);
            EXPECT_NEAR(call.y, (7.0 + 1.09 + 0.05) * 1440, 1e-6);
        }
    }
    EXPECT_EQ(names.count(QStringLiteral("payee")), 1);
    EXPECT_EQ(names.count(QStringLiteral("stub-date")), 2);
    EXPECT_EQ(names.count(QStringLiteral("address")), 1);
}

TEST_F(AlignmentWindowTest, failingTestSheetIsReportedWithThePrintersReason) {
    printerDialog.makePrinter = [this] {
        auto printer = std::make_unique<RecordingPrinter>(log);
        printer->failAtCall = 3;
        return printer;
    };
    auto window = open();
    window->cmdTestSheet->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("out of paper")))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(log.Count(PrinterCall::Kind::Abort), 1);
}

TEST_F(AlignmentWindowTest, theDrawingMovesWithTheTypedOffset) {
    auto window = open();
    const QImage before = window->picCheck->grab().toImage();
    retype(window->txtHorizontal, QStringLiteral("0.5"));
    const QImage after = window->picCheck->grab().toImage();
    const int left = leftmostInk(before);
    ASSERT_GT(left, 0);
    // The sheet's 8.5 in and a quarter inch either side fill the picture's width.
    const double pixelsPerInch = before.width() / 9.0;
    EXPECT_NEAR(leftmostInk(after) - left, 0.5 * pixelsPerInch, 2);
    // Protection adds asterisks: more ink.
    const auto ink = [](const QImage &image) {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
            }
        }
        return dark;
    };
    const int plainInk = ink(after);
    window->chkProtection->click();
    EXPECT_GT(ink(window->picCheck->grab().toImage()), plainInk);
}

TEST_F(AlignmentWindowTest, accessKeysReachEveryControl_andTheLayoutIsReadable) {
    auto window = open();
    const struct {
        Qt::Key key;
        QWidget *control;
    } keys[] = {{Qt::Key_P, window->cboPrinter},
                {Qt::Key_Y, window->cboStyle},
                {Qt::Key_H, window->txtHorizontal},
                {Qt::Key_V, window->txtVertical}};
    for (const auto &k : keys) {
        QTest::keyClick(window.get(), k.key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), k.control) << k.control->objectName().toStdString();
    }
    EXPECT_TRUE(press(window.get(), Qt::Key_R, [&] { return window->chkProtection->isChecked(); }));
    ExpectReadable(window->findChild<QWidget *>(QStringLiteral("client")));
}
