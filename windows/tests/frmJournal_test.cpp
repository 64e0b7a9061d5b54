// The Check Journal window driven by keys against the tests' PostgreSQL server: the place it saves,
// the places it refuses, the approval limit, the question on leaving with changes; the place file.
#include "WindowFixture.h"
#include "journal/CheckJournal.h"
#include "journal/testing/TestServer.h"
#include "windows/frmJournal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

#include <sys/stat.h>

namespace {

const QString kAccount = QStringLiteral("0012-345678");

class JournalWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        app.UserName = QStringLiteral("anna");
        app.HostName = QStringLiteral("desk-1");
        QString error;
        server = FreshServerDatabase(&error);
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
        writeFile(QStringLiteral("DraftMere.txt"),
                  settingsBytes({QStringLiteral("Bank"), kAccount, QStringLiteral("1001"), QStringLiteral("3"),
                                 QStringLiteral("Deluxe 3-On-A-Page")}));
        startAndContinue();
    }

    std::unique_ptr<frmJournal> open() {
        auto window = std::make_unique<frmJournal>(*program, program->Startup());
        window->show();
        // The widgets learn of the activation a moment after the window does.
        EXPECT_TRUE(QTest::qWaitFor([&window] { return window->isActiveWindow(); }));
        return window;
    }

    // An access key clicks its button a moment later, as a person sees it pressed.
    static void press(frmJournal &window, Qt::Key key, const std::function<bool()> &done) {
        QTest::keyClick(&window, key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor(done)) << "Alt+" << QKeySequence(key).toString().toStdString();
    }

    // "A PostgreSQL server", then host, port, database and user, each reached by its access key.
    static void typeServer(frmJournal &window, const QString &host, int port, const QString &database,
                           const QString &user) {
        press(window, Qt::Key_P, [&window] { return window.txtHost->isEnabled(); });
        for (const auto &[key, text] : {std::pair{Qt::Key_H, host}, std::pair{Qt::Key_O, QString::number(port)},
                                        std::pair{Qt::Key_D, database}, std::pair{Qt::Key_U, user}}) {
            QTest::keyClick(&window, key, Qt::AltModifier);
            QTest::keyClicks(QApplication::focusWidget(), text);
        }
    }

    JournalPlace server;
};

TEST_F(JournalWindowTest, savingTheServerWritesJournalIniOwnerOnlyAndTheJournalThenWritesThere) {
    auto window = open();
    EXPECT_TRUE(window->optEmbedded->isChecked());
    EXPECT_FALSE(window->fraServer->isEnabled());
    typeServer(*window, server.host, server.port, server.database, server.user);
    press(*window, Qt::Key_T, [this] { return !messages.shown.isEmpty(); });
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Connected to %1. The check journal there is ready.").arg(server.Describe()));
    messages.shown.clear();
    // Checks above 1,250.00 on the open checkbook's account need approval; Return saves.
    press(*window, Qt::Key_A, [&window] { return window->chkApproval->isChecked(); });
    QTest::keyClick(window->chkApproval, Qt::Key_Tab);
    QTest::keyClicks(window->txtApprovalAbove, QStringLiteral("1,250.00"));
    QTest::keyClick(window->txtApprovalAbove, Qt::Key_Return);
    EXPECT_TRUE(messages.shown.isEmpty()) << qPrintable(messages.shown.value(0).text);
    EXPECT_FALSE(window->isVisible());

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path(kJournalPlaceFile)).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    JournalPlace saved;
    ASSERT_TRUE(LoadJournalPlace(files, &saved));
    EXPECT_EQ(saved, server);
    EXPECT_EQ(program->Journal().Place(), server);
    QString value;
    EXPECT_EQ(RunOnServer(server, QStringLiteral("SELECT above_cents FROM approval_limits"), &value), QString());
    EXPECT_EQ(value, QStringLiteral("125000"));
    JournalCheck check{1001, QDate(2026, 12, 8), QStringLiteral("Harbor Gas"), 4250, QStringLiteral("Fuel"), 1, 1};
    ASSERT_TRUE(
        program->Journal().RecordRun({QDateTime(QDate(2026, 12, 8), QTime(9, 0)), QString(),
                                      QStringLiteral("Deluxe 3-On-A-Page"), kAccount, QStringLiteral("Bank"), 3},
                                     {check}, DueWork{}, nullptr, nullptr));
    EXPECT_EQ(RunOnServer(server, QStringLiteral("SELECT os_user || '@' || host FROM runs"), &value), QString());
    EXPECT_EQ(value, QStringLiteral("anna@desk-1"));
}

TEST_F(JournalWindowTest, aPlaceThatCannotBeUsedIsRefusedWithItsMessage) {
    const struct {
        const char *name;
        QString host;
        Qt::Key press; // Return saves, Alt+T tests the connection
        QString says;
    } cases[] = {
        {"nothing typed", QString(), Qt::Key_Return,
         QStringLiteral("Type a service name, or the server's host and database.")},
        {"a blank in the host", QStringLiteral("db example"), Qt::Key_Return, QStringLiteral("holds a blank")},
        {"no server there", QStringLiteral("/nonexistent-quillane"), Qt::Key_T,
         QStringLiteral("/nonexistent-quillane")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        auto window = open();
        if (c.host.isEmpty()) {
            press(*window, Qt::Key_P, [&window] { return window->optServer->isChecked(); });
        } else {
            typeServer(*window, c.host, server.port, server.database, server.user);
        }
        if (c.press == Qt::Key_T) {
            press(*window, Qt::Key_T, [this] { return !messages.shown.isEmpty(); });
        } else {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains(c.says)) << qPrintable(messages.shown[0].text);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(QFile::exists(path(kJournalPlaceFile)));
        EXPECT_FALSE(program->Journal().Place().server);
        messages.setNextAnswer(MsgResult::Discard);
        window->reject();
    }
}

// TLS is suggested for any host but a socket folder; leaving with changes asks first.
TEST_F(JournalWindowTest, leavingWithChangesAsksSaveDiscardOrCancel) {
    const struct {
        MsgResult answer;
        QString host; // empty: the test server's socket folder
        QString sslMode;
        bool saved;
    } cases[] = {{MsgResult::Cancel, QStringLiteral("db.example.com"), QStringLiteral("require"), false},
                 {MsgResult::Discard, QStringLiteral("10.0.0.7"), QStringLiteral("require"), false},
                 {MsgResult::Save, QString(), QString(), true}};
    for (const auto &c : cases) {
        messages.shown.clear();
        auto window = open();
        typeServer(*window, c.host.isEmpty() ? server.host : c.host, server.port, server.database, server.user);
        EXPECT_EQ(window->cboSslMode->currentData().toString(), c.sslMode);
        messages.setNextAnswer(c.answer);
        QTest::keyClick(window->txtUser, Qt::Key_Escape);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::SaveDiscardCancel);
        EXPECT_EQ(window->isVisible(), c.answer == MsgResult::Cancel);
        EXPECT_EQ(QFile::exists(path(kJournalPlaceFile)), c.saved);
        EXPECT_EQ(program->Journal().Place().server, c.saved);
        if (window->isVisible()) {
            messages.setNextAnswer(MsgResult::Discard);
            window->reject();
        }
    }
}

TEST_F(JournalWindowTest, theProgramsJournalTakesItsPlaceFromJournalIniAndADamagedOneIsSaidAndLeftAside) {
    const struct {
        QByteArray ini; // empty: no file
        bool server;
        bool said;
    } cases[] = {{QByteArray(), false, false},
                 {"[Journal]\nEngine=server\nHost=/var/run/postgresql\nDatabase=checks\n", true, false},
                 {"[Journal]\nEngine=banana\n", false, true}};
    for (const auto &c : cases) {
        restart();
        QFile::remove(path(kJournalPlaceFile));
        if (!c.ini.isEmpty()) {
            writeFile(kJournalPlaceFile, c.ini);
        }
        CheckJournal &journal = program->Journal();
        EXPECT_EQ(journal.Place().server, c.server) << c.ini.constData();
        ASSERT_EQ(messages.shown.size(), c.said ? 1 : 0) << c.ini.constData();
        if (c.said) {
            EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("cannot be read")));
        }
    }
}

} // namespace
