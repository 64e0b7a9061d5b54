// Keys on every window, through real key events on the real widgets: the tab order, Return and Space
// on every command button, every access key with its control enabled and disabled, Return in the
// text boxes and the caret of a box entered with Tab.
#include "WindowFixture.h"

#include "platform/testing/Settle.h"
#include "windows/HelpWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QtTest/qtestspontaneevent.h>

#include <functional>
#include <ostream>

// Readable failure output for Qt texts.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *os) {
    *os << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace {

const QStringList kSettings{QStringLiteral("First Example Bank"), QStringLiteral("0012-345678"), QStringLiteral("1001"),
                            QStringLiteral("3"), QStringLiteral("Deluxe 3-On-A-Page")};

// A key as the person presses it: to the control that has the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the focus";
    QTest::keyClick(focus, key, modifiers);
}

QString focusName() {
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

QAbstractButton *helpButton(const HelpWindow &help, const QString &caption) {
    for (auto *button : help.window()->findChildren<QAbstractButton *>()) {
        if (button->text() == caption) {
            return button;
        }
    }
    return nullptr;
}

// The fixture with the ways to each panel of each window; its members are open to the tables below.
class KeysTest : public WindowFixture {
public:
    using TestPlatform::forms;
    using TestPlatform::messages;
    using TestPlatform::printerDialog;
    using TestPlatform::urls;
    using WindowFixture::program;

    frmSplash *splash() {
        start();
        frmSplash *window = program->Splash();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        window->cmdContinue->setFocus();
        return window;
    }

    frmStartup *menuPanel() {
        writeFile(QStringLiteral("DraftMere.txt"), settingsBytes(kSettings));
        return startAndContinue();
    }

    frmStartup *typePanel() {
        frmStartup *window = startAndContinue(); // no settings file: the type panel
        EXPECT_TRUE(window->fraCreate->isVisible());
        return window;
    }

    // The information panel holding the saved settings, reached from the menu.
    frmStartup *informationPanel() {
        frmStartup *window = menuPanel();
        window->optMainMenuSub_DblClick(1);
        window->cmdBookInfo_Click();
        EXPECT_TRUE(window->fraPrintChecks->isVisible());
        return window;
    }

    // The entry panel after Redo: Enter waits for a digit of the amount.
    frmMain *entryPanelAfterRedo() {
        frmMain *window = verifyPanel();
        window->cmdCancel_Click();
        EXPECT_FALSE(window->cmdExpense[1]->isEnabled());
        return window;
    }

    frmMain *entryPanel() {
        frmStartup *startup = menuPanel();
        startup->cmdGoto_Click(0);
        frmMain *window = program->Main();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }

    // The entry panel with a whole check typed: Enter enabled.
    frmMain *filledEntryPanel() {
        frmMain *window = entryPanel();
        QTest::keyClicks(window->txtPayto, QStringLiteral("Pat Payee"));
        QTest::keyClicks(window->txtCost, QStringLiteral("12.50"));
        QTest::keyClicks(window->txtCategory, QStringLiteral("Point memo"));
        return window;
    }

    frmMain *verifyPanel() {
        frmMain *window = filledEntryPanel();
        window->cmdExpense_Click(1);
        EXPECT_TRUE(window->fraCheckImage->isVisible());
        return window;
    }

    // The entry panel after one accepted check: PrintChecks enabled.
    frmMain *entryPanelWithACheck() {
        frmMain *window = verifyPanel();
        window->cmdPrint_Click();
        EXPECT_TRUE(window->cmdExpense[6]->isEnabled());
        return window;
    }

    frmMain *summaryPanel() {
        frmMain *window = entryPanelWithACheck();
        window->cmdExpense_Click(6);
        EXPECT_TRUE(window->fraPrintSummary->isVisible());
        return window;
    }

    bool registerExists() const { return QFile::exists(path(QStringLiteral("TempRegister.txt"))); }

    HelpWindow help;
};

QWidget *named(QWidget *window, const char *name) {
    if (window->objectName() == QLatin1String(name)) {
        return window;
    }
    return window->findChild<QWidget *>(QLatin1String(name));
}

// ---- The tab order ----

struct TabRow {
    const char *name;
    std::function<QWidget *(KeysTest &)> open; // returns the window, its first control focused
    QStringList order;                         // the focus after each Tab, back to the first control
};

void PrintTo(const TabRow &row, std::ostream *os) {
    *os << row.name;
}

class TabOrderTest : public KeysTest, public ::testing::WithParamInterface<TabRow> {};

TEST_P(TabOrderTest, tabWalksTheWholeOrderAndShiftTabWalksItBack) {
    const TabRow &row = GetParam();
    QWidget *window = row.open(*this);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const QString first = row.order.last();
    ASSERT_EQ(focusName(), first);
    QStringList forward;
    for (qsizetype i = 0; i < row.order.size(); ++i) {
        press(Qt::Key_Tab);
        forward << focusName();
    }
    EXPECT_EQ(forward, row.order);
    QStringList backward;
    for (qsizetype i = 0; i < row.order.size(); ++i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        backward << focusName();
    }
    QStringList reversed;
    for (qsizetype i = row.order.size() - 2; i >= 0; --i) {
        reversed << row.order.at(i);
    }
    reversed << first;
    EXPECT_EQ(backward, reversed);
}

QStringList names(std::initializer_list<const char *> list) {
    QStringList result;
    for (const char *name : list) {
        result << QLatin1String(name);
    }
    return result;
}

const TabRow kTabRows[] = {

    TabRow{"splash", [](KeysTest &t) -> QWidget * { return t.splash(); }, names({"cmdContinue"})},
    TabRow{"mainMenu",
           [](KeysTest &t) -> QWidget * {
               frmStartup *w = t.menuPanel();
               w->cmdGoto[1]->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"optMainMenuSub(0)", "cmdGoto(0)", "cmdGoto(1)"})},
    TabRow{"checkbookType",
           [](KeysTest &t) -> QWidget * {
               frmStartup *w = t.typePanel();
               w->optCreate[1]->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"cmdBookInfo", "optCreate(1)"})},
    TabRow{"checkInformation",
           [](KeysTest &t) -> QWidget * {
               frmStartup *w = t.informationPanel();
               w->cmdAccept->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"txtBankName", "txtAcctNo", "cboChecks", "lstCheckStyle", "txtCheckNo", "cmdAccept"})},
    TabRow{"entryWithEnterAndPrintChecksDisabled",
           [](KeysTest &t) -> QWidget * {
               frmMain *w = t.entryPanelAfterRedo();
               w->cmdExpense[0]->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"txtPayto", "txtCost", "txtCategory", "cmdImport", "cmdExpense(0)"})},
    TabRow{"entryWithEveryButtonEnabled",
           [](KeysTest &t) -> QWidget * {
               frmMain *w = t.entryPanelWithACheck();
               QTest::keyClicks(w->txtCost, QStringLiteral("5"));
               // The check's payee is not in the payee book: the offer to add it ends the chain.
               w->cmdAddPayee->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"txtPayto", "txtCost", "txtCategory", "cmdExpense(1)", "cmdExpense(6)", "cmdImport", "cmdExpense(0)",
                  "cmdAddPayee"})},
    TabRow{"verify",
           [](KeysTest &t) -> QWidget * {
               frmMain *w = t.verifyPanel();
               w->cmdCancel->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"txtConverted", "cmdPrint", "cmdCancel"})},
    TabRow{"printSummary",
           [](KeysTest &t) -> QWidget * {
               frmMain *w = t.summaryPanel();
               w->cmPrintSummary[1]->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"cmPrintSummary(2)", "cmPrintSummary(0)", "cmPrintSummary(1)"})},
    TabRow{"printSummaryAgain",
           [](KeysTest &t) -> QWidget * {
               frmMain *w = t.summaryPanel();
               w->cmPrintSummary[0]->setFocus(Qt::OtherFocusReason);
               return w;
           },
           names({"cmPrintSummary(1)", "cmPrintSummary(2)", "cmPrintSummary(0)"})}};

INSTANTIATE_TEST_SUITE_P(EveryPanel, TabOrderTest, ::testing::ValuesIn(kTabRows),
                         [](const ::testing::TestParamInfo<TabRow> &row) { return std::string(row.param.name); });

// ---- Return and Space on every command button ----

struct ButtonRow {
    const char *name;
    std::function<QPushButton *(KeysTest &)> focusButton; // opens the panel and returns the button
    std::function<bool(KeysTest &)> pressed;              // the button's work is done
};

void PrintTo(const ButtonRow &row, std::ostream *os) {
    *os << row.name;
}

class ButtonKeyTest : public KeysTest, public ::testing::WithParamInterface<std::tuple<ButtonRow, Qt::Key>> {};

TEST_P(ButtonKeyTest, theFocusedButtonTakesTheKey) {
    const auto &[row, key] = GetParam();
    QPushButton *button = row.focusButton(*this);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()));
    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasFocus());
    ASSERT_FALSE(row.pressed(*this)) << "done before the key";
    press(key);
    EXPECT_TRUE(row.pressed(*this));
}

const ButtonRow kButtons[] = {
    {"cmdContinue", [](KeysTest &t) { return t.splash()->cmdContinue; },
     [](KeysTest &t) { return t.program->Startup()->isVisible(); }},
    {"cmdGoto0", [](KeysTest &t) { return t.menuPanel()->cmdGoto[0]; },
     [](KeysTest &t) { return t.program->Main()->isVisible(); }},
    {"cmdGoto1", [](KeysTest &t) { return t.menuPanel()->cmdGoto[1]; },
     [](KeysTest &t) { return t.program->Splash()->isVisible(); }},
    {"cmdBookInfo", [](KeysTest &t) { return t.typePanel()->cmdBookInfo; },
     [](KeysTest &t) { return t.program->Startup()->fraPrintChecks->isVisible(); }},
    {"cmdAccept", [](KeysTest &t) { return t.informationPanel()->cmdAccept; },
     [](KeysTest &t) { return t.program->Startup()->fraDraftmere->isVisible(); }},
    {"cmdExpense1_Enter", [](KeysTest &t) { return t.filledEntryPanel()->cmdExpense[1]; },
     [](KeysTest &t) { return t.program->Main()->fraCheckImage->isVisible(); }},
    {"cmdExpense6_PrintChecks", [](KeysTest &t) { return t.entryPanelWithACheck()->cmdExpense[6]; },
     [](KeysTest &t) { return t.program->Main()->fraPrintSummary->isVisible(); }},
    {"cmdExpense0_Menu", [](KeysTest &t) { return t.entryPanel()->cmdExpense[0]; },
     [](KeysTest &t) { return t.program->Splash()->isVisible(); }},
    {"cmdPrint_Accept", [](KeysTest &t) { return t.verifyPanel()->cmdPrint; },
     [](KeysTest &t) { return t.registerExists(); }},
    {"cmdCancel_Redo", [](KeysTest &t) { return t.verifyPanel()->cmdCancel; },
     [](KeysTest &t) {
         return t.program->Main()->fraMain->isVisible() && t.program->Main()->txtPayto->text().isEmpty();
     }},
    {"cmPrintSummary0_PrintChecks",
     [](KeysTest &t) {
         t.printerDialog.cancel = true;
         return t.summaryPanel()->cmPrintSummary[0];
     },
     [](KeysTest &t) { return t.printerDialog.shown == 1; }},
    {"cmPrintSummary1_CancelPrint", [](KeysTest &t) { return t.summaryPanel()->cmPrintSummary[1]; },
     [](KeysTest &t) { return t.program->Startup()->isVisible() && !t.program->Main()->isVisible(); }},
    {"helpContents",
     [](KeysTest &t) {
         t.help.ShowHelp(QString(), 15);
         t.help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
         return static_cast<QPushButton *>(helpButton(t.help, QStringLiteral("&Contents")));
     },
     [](KeysTest &t) { return t.help.browser()->source() == QUrl(HelpWindow::ContentsPage); }},
    {"helpBack",
     [](KeysTest &t) {
         t.help.ShowHelp(QString(), 15);
         t.help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
         return static_cast<QPushButton *>(helpButton(t.help, QStringLiteral("&Back")));
     },
     [](KeysTest &t) { return t.help.browser()->source() == QUrl(HelpWindow::ContentsPage); }},
};

INSTANTIATE_TEST_SUITE_P(EveryButton, ButtonKeyTest,
                         ::testing::Combine(::testing::ValuesIn(kButtons),
                                            ::testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space)),
                         [](const ::testing::TestParamInfo<std::tuple<ButtonRow, Qt::Key>> &row) {
                             const Qt::Key key = std::get<1>(row.param);
                             return std::string(std::get<0>(row.param).name) + (key == Qt::Key_Return  ? "_Return"
                                                                                : key == Qt::Key_Enter ? "_Enter"
                                                                                                       : "_Space");
                         });

// ---- Access keys, with the control enabled and disabled or hidden ----

struct AccessRow {
    const char *name;
    std::function<QWidget *(KeysTest &)> open; // opens the panel, focuses a control, returns the window
    Qt::Key key;
    const char *control;                     // the control behind the key; nullptr: none on this panel
    std::function<bool(KeysTest &)> pressed; // the control's work is done
};

void PrintTo(const AccessRow &row, std::ostream *os) {
    *os << row.name;
}

class AccessKeyTest : public KeysTest, public ::testing::WithParamInterface<AccessRow> {};

// What the window shows, to see that a key changed nothing: the focused control, its text, the panels.
QString snapshot(QWidget *window) {
    QStringList parts{focusName()};
    if (auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
        parts << box->text();
    }
    if (auto *combo = qobject_cast<QComboBox *>(QApplication::focusWidget())) {
        parts << combo->currentText();
    }
    for (const QGroupBox *panel : window->findChildren<QGroupBox *>()) {
        parts << panel->objectName() + (panel->isVisible() ? QStringLiteral("+") : QStringLiteral("-"));
    }
    parts << QString::number(window->isVisible());
    return parts.join(QLatin1Char('|'));
}

TEST_P(AccessKeyTest, anEnabledControlAnswersItsAccessKey) {
    const AccessRow &row = GetParam();
    if (row.control == nullptr) {
        GTEST_SKIP() << "no control behind this key on this panel";
    }
    QWidget *window = row.open(*this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_FALSE(row.pressed(*this));
    press(row.key, Qt::AltModifier);
    // A button's access key presses it visibly: the click follows a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return row.pressed(*this); }, 2000));
}

TEST_P(AccessKeyTest, withItsControlDisabledOrHiddenTheKeyDoesNothing) {
    const AccessRow &row = GetParam();
    QWidget *window = row.open(*this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    if (row.control != nullptr) {
        named(window, row.control)->setEnabled(false);
    }
    const QString before = snapshot(window);
    press(row.key, Qt::AltModifier);
    Settle();
    EXPECT_FALSE(row.pressed(*this));
    EXPECT_EQ(snapshot(window), before) << "nothing typed, nothing moved";
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(urls.opened.isEmpty());
}

// Focuses the control and returns its window.
template <typename Open> std::function<QWidget *(KeysTest &)> focusing(Open open, const char *control) {
    return [open, control](KeysTest &t) -> QWidget * {
        QWidget *window = open(t);
        named(window, control)->setFocus(Qt::OtherFocusReason);
        return window;
    };
}

const auto kMenu = [](KeysTest &t) -> QWidget * {
    frmStartup *w = t.menuPanel();
    w->optMainMenuSub[1]->setChecked(true);
    w->optMainMenuSub[0]->setChecked(true);
    return w;
};
const auto kMenuCreateChosen = [](KeysTest &t) -> QWidget * {
    frmStartup *w = t.menuPanel();
    w->optMainMenuSub[1]->setChecked(true);
    return w;
};
const auto kInformation = [](KeysTest &t) -> QWidget * { return t.informationPanel(); };
const auto kFilledEntry = [](KeysTest &t) -> QWidget * { return t.filledEntryPanel(); };
const auto kEntryWithACheck = [](KeysTest &t) -> QWidget * {
    frmMain *w = t.entryPanelWithACheck();
    QTest::keyClicks(w->txtPayto, QStringLiteral("Pat Payee"));
    return w;
};
const auto kVerify = [](KeysTest &t) -> QWidget * { return t.verifyPanel(); };
const auto kHelpOnAPage = [](KeysTest &t) -> QWidget * {
    t.help.ShowHelp(QString(), 15);
    t.help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
    return t.help.window();
};

bool onContents(KeysTest &t) {
    return t.help.browser()->source() == QUrl(HelpWindow::ContentsPage);
}

const AccessRow kAccessKeys[] = {
    {"splash_AltC", focusing([](KeysTest &t) -> QWidget * { return t.splash(); }, "cmdContinue"), Qt::Key_C, nullptr,
     [](KeysTest &t) { return t.program->Startup()->isVisible(); }},
    {"menu_AltP_PrintChecks", focusing(kMenuCreateChosen, "cmdGoto(1)"), Qt::Key_P, "optMainMenuSub(0)",
     [](KeysTest &t) { return t.program->Startup()->optMainMenuSub[0]->isChecked(); }},
    {"menu_AltC_CreateCheckbook", focusing(kMenu, "cmdGoto(1)"), Qt::Key_C, "optMainMenuSub(1)",
     [](KeysTest &t) { return t.program->Startup()->optMainMenuSub[1]->isChecked(); }},
    {"menu_AltG_Goto", focusing(kMenu, "cmdGoto(1)"), Qt::Key_G, "cmdGoto(0)",
     [](KeysTest &t) { return t.program->Main()->isVisible(); }},
    {"menu_AltM_Menu", focusing(kMenu, "cmdGoto(0)"), Qt::Key_M, "cmdGoto(1)",
     [](KeysTest &t) { return t.program->Splash()->isVisible(); }},
    {"information_AltA_Accept", focusing(kInformation, "txtBankName"), Qt::Key_A, "cmdAccept",
     [](KeysTest &t) { return t.program->Startup()->fraDraftmere->isVisible(); }},
    {"information_AltG_hiddenGoto", focusing(kInformation, "txtBankName"), Qt::Key_G, nullptr,
     [](KeysTest &t) { return t.program->Main()->isVisible(); }},
    {"information_AltM_hiddenMenu", focusing(kInformation, "txtAcctNo"), Qt::Key_M, nullptr,
     [](KeysTest &t) { return t.program->Splash()->isVisible(); }},
    {"information_AltC_hiddenCreateCheckbook", focusing(kInformation, "txtCheckNo"), Qt::Key_C, nullptr,
     [](KeysTest &t) { return t.program->Startup()->optMainMenuSub[1]->isChecked(); }},
    {"information_AltP_hiddenPrintChecks", focusing(kInformation, "cboChecks"), Qt::Key_P, nullptr,
     [](KeysTest &t) { return t.program->Main()->isVisible(); }},
    {"entry_AltE_Enter", focusing(kFilledEntry, "txtCategory"), Qt::Key_E, "cmdExpense(1)",
     [](KeysTest &t) { return t.program->Main()->fraCheckImage->isVisible(); }},
    {"entry_AltP_PrintChecks", focusing(kEntryWithACheck, "txtPayto"), Qt::Key_P, "cmdExpense(6)",
     [](KeysTest &t) { return t.program->Main()->fraPrintSummary->isVisible(); }},
    {"entry_AltM_Menu", focusing(kEntryWithACheck, "txtCost"), Qt::Key_M, "cmdExpense(0)",
     [](KeysTest &t) { return !t.messages.shown.isEmpty() || t.program->Splash()->isVisible(); }},
    {"entry_AltR_hiddenRedo", focusing(kFilledEntry, "txtPayto"), Qt::Key_R, nullptr,
     [](KeysTest &t) { return t.program->Main()->txtPayto->text().isEmpty(); }},
    {"entry_AltA_noControl", focusing(kFilledEntry, "txtPayto"), Qt::Key_A, nullptr,
     [](KeysTest &t) { return t.program->Main()->fraCheckImage->isVisible(); }},
    {"verify_AltR_Redo", focusing(kVerify, "cmdPrint"), Qt::Key_R, "cmdCancel",
     [](KeysTest &t) { return t.program->Main()->fraMain->isVisible(); }},
    {"verify_AltE_hiddenEnter", focusing(kVerify, "cmdPrint"), Qt::Key_E, nullptr,
     [](KeysTest &t) { return t.program->Main()->fraMain->isVisible(); }},
    {"verify_AltM_hiddenMenu", focusing(kVerify, "cmdCancel"), Qt::Key_M, nullptr,
     [](KeysTest &t) { return t.program->Splash()->isVisible(); }},
    {"help_AltC_Contents", focusing(kHelpOnAPage, "helpBrowser"), Qt::Key_C, "cmdContents", onContents},
    {"help_AltB_Back", focusing(kHelpOnAPage, "helpBrowser"), Qt::Key_B, "cmdBack", onContents},
};

INSTANTIATE_TEST_SUITE_P(EveryAccessKey, AccessKeyTest, ::testing::ValuesIn(kAccessKeys),
                         [](const ::testing::TestParamInfo<AccessRow> &row) { return std::string(row.param.name); });

// ---- Text boxes: Return does nothing; Tab brings the caret in without selecting ----

struct BoxRow {
    const char *name;
    std::function<QWidget *(KeysTest &)> open;
    const char *box;
    const char *before; // the control Tab comes from
};

void PrintTo(const BoxRow &row, std::ostream *os) {
    *os << row.name;
}

class TextBoxKeyTest : public KeysTest, public ::testing::WithParamInterface<BoxRow> {};

QString textOf(QWidget *control) {
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        return combo->currentText();
    }
    return qobject_cast<QLineEdit *>(control)->text();
}

QLineEdit *editOf(QWidget *control) {
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        return combo->lineEdit();
    }
    return qobject_cast<QLineEdit *>(control);
}

TEST_P(TextBoxKeyTest, returnInTheBoxDoesNothing) {
    const BoxRow &row = GetParam();
    QWidget *window = row.open(*this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    named(window, row.box)->setFocus(Qt::OtherFocusReason);
    const QString before = snapshot(window);
    press(Qt::Key_Return);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(snapshot(window), before);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(registerExists());
}

TEST_P(TextBoxKeyTest, tabIntoTheFilledBoxSelectsNothingAndTheNextKeyKeepsTheText) {
    const BoxRow &row = GetParam();
    QWidget *window = row.open(*this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget *box = named(window, row.box);
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        SCOPED_TRACE(key == Qt::Key_Tab ? "Tab" : "Shift+Tab");
        // Shift+Tab comes from the control after the box: Tab from the box itself, Shift+Tab back.
        named(window, key == Qt::Key_Tab ? row.before : row.box)->setFocus(Qt::OtherFocusReason);
        if (key == Qt::Key_Backtab) {
            press(Qt::Key_Tab);
        }
        const QString text = textOf(box);
        ASSERT_FALSE(text.isEmpty());
        press(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        ASSERT_TRUE(box->hasFocus());
        EXPECT_TRUE(editOf(box)->selectedText().isEmpty());
        EXPECT_EQ(textOf(box), text);
        press(Qt::Key_7);
        EXPECT_EQ(textOf(box).size(), text.size() + 1);
        EXPECT_TRUE(textOf(box).contains(text)) << textOf(box).toStdString();
        editOf(box)->setText(text);
    }
}

const auto kInformationPanel = [](KeysTest &t) -> QWidget * { return t.informationPanel(); };
const auto kEntry = [](KeysTest &t) -> QWidget * { return t.filledEntryPanel(); };

INSTANTIATE_TEST_SUITE_P(EveryTextBox, TextBoxKeyTest,
                         ::testing::Values(BoxRow{"txtBankName", kInformationPanel, "txtBankName", "cmdAccept"},
                                           BoxRow{"txtAcctNo", kInformationPanel, "txtAcctNo", "txtBankName"},
                                           BoxRow{"cboChecks", kInformationPanel, "cboChecks", "txtAcctNo"},
                                           BoxRow{"txtCheckNo", kInformationPanel, "txtCheckNo", "lstCheckStyle"},
                                           BoxRow{"txtPayto", kEntry, "txtPayto", "cmdExpense(0)"},
                                           BoxRow{"txtCategory", kEntry, "txtCategory", "txtCost"}),
                         [](const ::testing::TestParamInfo<BoxRow> &row) { return std::string(row.param.name); });

// The help window's browser walks its links with Tab; the buttons come first, Back only once it can go back.
TEST_F(KeysTest, helpTabGoesFromTheButtonsToThePage) {
    help.ShowHelp(QString(), 15);
    ASSERT_TRUE(QTest::qWaitForWindowActive(help.window()));
    named(help.window(), "cmdContents")->setFocus(Qt::OtherFocusReason);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("helpBrowser"));
    help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
    named(help.window(), "cmdContents")->setFocus(Qt::OtherFocusReason);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("cmdBack"));
}

TEST_F(KeysTest, altLettersNeverTypeIntoTheAmount) {
    frmMain *w = entryPanelAfterRedo();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->txtCost->setFocus(Qt::OtherFocusReason);
    for (Qt::Key key : {Qt::Key_1, Qt::Key_Period, Qt::Key_A, Qt::Key_R}) {
        press(key, Qt::AltModifier);
    }
    EXPECT_EQ(w->txtCost->text(), QString());
    EXPECT_FALSE(w->cmdExpense[1]->isEnabled()) << "no digit reached the amount filter";
}

} // namespace

// ---- Cancel Print, reached every way, never ends the program ----

enum class ToSummary {
    PrintChecksClick,
    PrintChecksReturn,
    PrintChecksSpace,
    PrintChecksAltP,
    MenuClickYes,
    MenuReturnYes,
    MenuAltMYes
};
enum class CancelBy { Click, Return, Space, TabThenReturn };

struct CancelRow {
    ToSummary way;
    CancelBy by;
};

const char *wayName(ToSummary way) {
    switch (way) {
    case ToSummary::PrintChecksClick:
        return "PrintChecksClick";
    case ToSummary::PrintChecksReturn:
        return "PrintChecksReturn";
    case ToSummary::PrintChecksSpace:
        return "PrintChecksSpace";
    case ToSummary::PrintChecksAltP:
        return "PrintChecksAltP";
    case ToSummary::MenuClickYes:
        return "MenuClickYes";
    case ToSummary::MenuReturnYes:
        return "MenuReturnYes";
    case ToSummary::MenuAltMYes:
        return "MenuAltMYes";
    }
    return "";
}

const char *byName(CancelBy by) {
    switch (by) {
    case CancelBy::Click:
        return "Click";
    case CancelBy::Return:
        return "Return";
    case CancelBy::Space:
        return "Space";
    case CancelBy::TabThenReturn:
        return "TabThenReturn";
    }
    return "";
}

// A close request as the window system sends it (the title bar's close control).
void systemClose(QWidget *window) {
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QCoreApplication::instance()->notify(window, &close);
}

class CancelPrintTest : public KeysTest, public ::testing::WithParamInterface<std::tuple<ToSummary, CancelBy>> {
protected:
    void reachSummary(frmMain *w, ToSummary way) {
        QPushButton *button = w->cmdExpense[6];
        if (way == ToSummary::MenuClickYes || way == ToSummary::MenuReturnYes || way == ToSummary::MenuAltMYes) {
            button = w->cmdExpense[0];
            messages.setNextAnswer(MsgResult::Yes);
        }
        switch (way) {
        case ToSummary::PrintChecksClick:
        case ToSummary::MenuClickYes:
            QTest::mouseClick(button, Qt::LeftButton);
            break;
        case ToSummary::PrintChecksReturn:
        case ToSummary::MenuReturnYes:
            button->setFocus(Qt::TabFocusReason);
            press(Qt::Key_Return);
            break;
        case ToSummary::PrintChecksSpace:
            button->setFocus(Qt::TabFocusReason);
            press(Qt::Key_Space);
            break;
        case ToSummary::PrintChecksAltP:
            press(Qt::Key_P, Qt::AltModifier);
            break;
        case ToSummary::MenuAltMYes:
            press(Qt::Key_M, Qt::AltModifier);
            break;
        }
        ASSERT_TRUE(QTest::qWaitFor([w] { return w->fraPrintSummary->isVisible(); }, 2000));
        ASSERT_EQ(focusName(), QStringLiteral("cmPrintSummary(0)"));
    }

    void cancelPrint(frmMain *w, CancelBy by) {
        switch (by) {
        case CancelBy::Click:
            QTest::mouseClick(w->cmPrintSummary[1], Qt::LeftButton);
            break;
        case CancelBy::Return:
            w->cmPrintSummary[1]->setFocus(Qt::TabFocusReason);
            press(Qt::Key_Return);
            break;
        case CancelBy::Space:
            w->cmPrintSummary[1]->setFocus(Qt::TabFocusReason);
            press(Qt::Key_Space);
            break;
        case CancelBy::TabThenReturn:
            press(Qt::Key_Tab);
            ASSERT_EQ(focusName(), QStringLiteral("cmPrintSummary(1)"));
            press(Qt::Key_Return);
            break;
        }
    }
};

TEST_P(CancelPrintTest, goesBackToTheMainMenuKeepingTheChecksAndTheProgram) {
    const auto [way, by] = GetParam();
    frmMain *w = entryPanelWithACheck();
    press(Qt::Key_Tab); // the focus leaves the payee box, as the person's hand would
    reachSummary(w, way);
    cancelPrint(w, by);
    Settle();
    flushDeletes();

    EXPECT_EQ(ender.ends, 0);
    EXPECT_EQ(forms.Count(), 2);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(program->Startup()->isVisible());
    EXPECT_TRUE(program->Startup()->fraDraftmere->isVisible());
    EXPECT_TRUE(registerExists());
    // The window put away hears a late close request from the window system: still no end.
    systemClose(w);
    EXPECT_EQ(ender.ends, 0);
    EXPECT_EQ(forms.Count(), 2);
    // The same request to the window on the screen is the person closing it: the program ends.
    systemClose(program->Startup());
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CancelPrintTest,
    ::testing::Combine(::testing::Values(ToSummary::PrintChecksClick, ToSummary::PrintChecksReturn,
                                         ToSummary::PrintChecksSpace, ToSummary::PrintChecksAltP,
                                         ToSummary::MenuClickYes, ToSummary::MenuReturnYes, ToSummary::MenuAltMYes),
                       ::testing::Values(CancelBy::Click, CancelBy::Return, CancelBy::Space, CancelBy::TabThenReturn)),
    [](const ::testing::TestParamInfo<std::tuple<ToSummary, CancelBy>> &row) {
        return std::string(wayName(std::get<0>(row.param))) + "_" + byName(std::get<1>(row.param));
    });

// A double click on Cancel Print: the first click brings up the main menu, whose picture (ending the
// program) may lie under the pointer for the second. That second press is part of a double click, not a
// click of its own on the picture.
TEST_F(KeysTest, aDoubleClickOnCancelPrintLandingOnThePictureDoesNotEndTheProgram) {
    frmMain *w = summaryPanel();
    frmStartup *startup = program->Startup();
    QPushButton *cancel = w->cmPrintSummary[1];
    const QPoint onCancel = cancel->mapTo(w, cancel->rect().center());
    const QPoint onPicture = startup->Image1->mapTo(startup, startup->Image1->rect().center());
    // Put the hidden main menu where its picture will be under the pointer.
    startup->move(startup->pos() + cancel->mapToGlobal(cancel->rect().center()) -
                  startup->Image1->mapToGlobal(startup->Image1->rect().center()));

    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, Qt::NoModifier, onCancel);
    ASSERT_TRUE(startup->isVisible());
    ASSERT_EQ(startup->Image1->mapToGlobal(startup->Image1->rect().center()),
              cancel->mapToGlobal(cancel->rect().center()));
    // The second click of the double click, at once and at the same place.
    QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval - 10;
    QTest::mouseClick(startup->windowHandle(), Qt::LeftButton, Qt::NoModifier, onPicture);
    EXPECT_EQ(ender.ends, 0);
    EXPECT_EQ(forms.Count(), 2);

    // A click of its own on the picture still ends the program.
    QTest::mouseClick(startup->windowHandle(), Qt::LeftButton, Qt::NoModifier, onPicture);
    EXPECT_EQ(ender.ends, 1);
}

// A held Return repeats; the repeats must not press the button that the first press has focused.
TEST_F(KeysTest, aHeldReturnOnPrintChecksDoesNotStartThePrintRun) {
    frmMain *w = entryPanelWithACheck();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->cmdExpense[6]->setFocus(Qt::TabFocusReason);
    QTest::simulateEvent(w->cmdExpense[6], true, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), false);
    ASSERT_TRUE(w->fraPrintSummary->isVisible());
    ASSERT_EQ(focusName(), QStringLiteral("cmPrintSummary(0)"));
    for (int repeat = 0; repeat < 3; ++repeat) {
        QTest::simulateEvent(QApplication::focusWidget(), true, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                             true);
    }
    QTest::simulateEvent(QApplication::focusWidget(), false, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                         false);
    EXPECT_EQ(printerDialog.shown, 0);
    EXPECT_TRUE(w->fraPrintSummary->isVisible());
    EXPECT_TRUE(registerExists());
}
