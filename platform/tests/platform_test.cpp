#include "platform/Ansi.h"
#include "platform/AppObject.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/RecordingForm.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QApplication>
#include <QLocale>
#include <QPointer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Every byte the code page defines: all but 0x81, 0x8D, 0x8F, 0x90 and 0x9D.
QByteArray DefinedBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) {
            bytes.append(static_cast<char>(b));
        }
    }
    return bytes;
}

TEST(Ansi, everyDefinedByteSurvivesARoundTrip) {
    const QByteArray bytes = DefinedBytes();
    ASSERT_EQ(bytes.size(), 251);
    const QString text = FromAnsi(bytes);
    EXPECT_EQ(text.size(), 251);
    EXPECT_TRUE(FitsAnsi(text));
    EXPECT_EQ(ToAnsi(text), bytes);
}

struct AnsiRow {
    const char *text; // UTF-8
    QByteArray bytes;
    bool fits;
};

class AnsiTest : public ::testing::TestWithParam<AnsiRow> {};

TEST_P(AnsiTest, encodesOneByteACharacterAndQuestionMarksTheRest) {
    const QString text = S(GetParam().text);
    EXPECT_EQ(ToAnsi(text), GetParam().bytes);
    EXPECT_EQ(FitsAnsi(text), GetParam().fits);
    if (GetParam().fits) {
        EXPECT_EQ(FromAnsi(GetParam().bytes), text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Characters, AnsiTest,
    ::testing::Values(AnsiRow{"Plain ASCII 123", "Plain ASCII 123", true},
                      AnsiRow{"Caf\xc3\xa9 M\xc3\xbcller \xc3\x86", "Caf\xe9 M\xfcller \xc6", true},
                      AnsiRow{"\xe2\x82\xac 5 \xe2\x80\x9cquoted\xe2\x80\x9d \xe2\x80\x94 \xc5\xa0",
                              "\x80 5 \x93quoted\x94 \x97 \x8a", true},
                      AnsiRow{"\xce\xa9 ohm", "? ohm", false}, AnsiRow{"\xe4\xb8\xad\xe6\x96\x87", "??", false},
                      AnsiRow{"a\xf0\x9f\x98\x80z", "a?z", false}, AnsiRow{"", "", true}));

TEST(Ansi, firstNonAnsiNamesTheCharacter) {
    EXPECT_TRUE(FirstNonAnsi(S("Caf\xc3\xa9")).isNull());
    EXPECT_EQ(FirstNonAnsi(S("ab\xce\xa9\xe2\x86\x92")), QChar(0x03A9));
    EXPECT_EQ(FromAnsi(QByteArray("\x81", 1)), QString(QChar(0xFFFD)));
}

struct DateRow {
    QLocale::Language language;
    QLocale::Territory territory;
    int year;
    int month;
    int day;
    const char *text;
};

class ShortDateTest : public ::testing::TestWithParam<DateRow> {};

TEST_P(ShortDateTest, isTheLocalesShortDateWithFourDigitYear) {
    const DateRow &row = GetParam();
    const QString text = ShortDateText(QDate(row.year, row.month, row.day), QLocale(row.language, row.territory));
    EXPECT_EQ(text, S(row.text));
    EXPECT_EQ(text.size(), 10) << "fits the register's date field";
}

INSTANTIATE_TEST_SUITE_P(Locales, ShortDateTest,
                         ::testing::Values(DateRow{QLocale::English, QLocale::UnitedStates, 2026, 12, 7, "12/07/2026"},
                                           DateRow{QLocale::English, QLocale::UnitedStates, 2027, 1, 5, "01/05/2027"},
                                           DateRow{QLocale::English, QLocale::UnitedStates, 1999, 10, 31, "10/31/1999"},
                                           DateRow{QLocale::German, QLocale::Germany, 2026, 12, 7, "07.12.2026"},
                                           DateRow{QLocale::German, QLocale::Germany, 2026, 3, 4, "04.03.2026"},
                                           DateRow{QLocale::English, QLocale::UnitedKingdom, 2026, 12, 7,
                                                   "07/12/2026"}));

class FormsTest : public ::testing::Test, protected RecordingForms {
protected:
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(FormsTest, loadRunsFormLoadOnceAndShowsNothing) {
    RecordingForm *a = make("A");
    forms.Load(a);
    forms.Load(a);
    EXPECT_EQ(log, Strings({"A:Load"}));
    EXPECT_FALSE(a->isVisible());
    EXPECT_EQ(forms.Count(), 1);
    EXPECT_EQ(forms.at(0), a);
    EXPECT_EQ(forms.Active(), nullptr);
}

TEST_F(FormsTest, showLoadsAndActivatesOnce) {
    RecordingForm *a = make("A");
    forms.Show(a);
    settle();
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(forms.Active(), a);
    // The system's own activation of the window that was just shown is no second activation.
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate"}));
}

TEST_F(FormsTest, showingTheVisibleActiveWindowAgainDoesNotActivateIt) {
    RecordingForm *a = make("A");
    forms.Show(a);
    forms.Show(a);
    forms.WindowActivated(a);
    settle();
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate"}));
}

TEST_F(FormsTest, hideThenShowActivatesAgain) {
    RecordingForm *a = make("A");
    forms.Show(a);
    forms.Hide(a);
    EXPECT_FALSE(a->isVisible());
    EXPECT_EQ(forms.Active(), nullptr);
    forms.Show(a);
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate", "A:Activate"}));
}

TEST_F(FormsTest, movingToAnotherVisibleWindowActivatesIt) {
    RecordingForm *a = make("A");
    RecordingForm *b = make("B");
    forms.Show(a);
    forms.Show(b);
    forms.WindowActivated(a);
    forms.WindowActivated(a);
    EXPECT_EQ(forms.Active(), a);
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate", "B:Load", "B:Activate", "A:Activate"}));
}

TEST_F(FormsTest, systemActivationOfAHiddenOrUnloadedWindowIsIgnored) {
    RecordingForm *a = make("A");
    RecordingForm *b = make("B");
    forms.Load(a);
    forms.WindowActivated(a);
    forms.WindowActivated(b);
    EXPECT_EQ(log, Strings({"A:Load"}));
}

TEST_F(FormsTest, unloadPassesTheReasonAndRemovesTheWindow) {
    RecordingForm *a = make("A");
    RecordingForm *b = make("B");
    forms.Show(a);
    forms.Load(b);
    EXPECT_TRUE(forms.Unload(a, vbFormCode));
    EXPECT_FALSE(forms.IsLoaded(a));
    EXPECT_EQ(forms.Count(), 1);
    EXPECT_EQ(forms.at(0), b);
    EXPECT_EQ(forms.Active(), nullptr);
    settle();
    EXPECT_TRUE(made[0].isNull()) << "an unloaded window is destroyed";
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate", "B:Load", "A:QueryUnload 1"}));
}

TEST_F(FormsTest, cancelKeepsTheWindowLoadedAndShown) {
    RecordingForm *a = make("A");
    forms.Show(a);
    a->cancelUnload = true;
    EXPECT_FALSE(forms.Unload(a, vbFormControlMenu));
    EXPECT_TRUE(forms.IsLoaded(a));
    EXPECT_TRUE(a->isVisible());
    settle();
    EXPECT_FALSE(made[0].isNull());
    a->cancelUnload = false;
    EXPECT_TRUE(forms.Unload(a, vbFormCode));
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate", "A:QueryUnload 0", "A:QueryUnload 1"}));
}

TEST_F(FormsTest, closingTheWindowUnloadsItWithReasonZero) {
    RecordingForm *a = make("A");
    forms.Show(a);
    a->cancelUnload = true;
    a->close();
    EXPECT_TRUE(a->isVisible()) << "a cancelled close keeps the window";
    a->cancelUnload = false;
    a->close();
    EXPECT_FALSE(forms.IsLoaded(a));
    EXPECT_EQ(log, Strings({"A:Load", "A:Activate", "A:QueryUnload 0", "A:QueryUnload 0"}));
}

TEST(LockFileGuard, aSecondProcessIsRefusedAndAKilledCopyDoesNotBlock) {
    TempFolder folder;
    const QString lockPath = folder.file(S("quillane-test.lock"));
    const QString holder = QString::fromLocal8Bit(LOCK_HOLDER_PATH);

    QProcess first;
    first.start(holder, {lockPath, S("hold")});
    ASSERT_TRUE(first.waitForReadyRead(10000));
    ASSERT_EQ(first.readLine().trimmed(), QByteArray("locked"));

    {
        LockFileGuard second(lockPath);
        EXPECT_TRUE(second.PrevInstance()) << "another copy holds the guard";
        QProcess third;
        third.start(holder, {lockPath, S("try")});
        ASSERT_TRUE(third.waitForFinished(10000));
        EXPECT_EQ(third.readAllStandardOutput().trimmed(), QByteArray("refused"));
        EXPECT_EQ(third.exitCode(), 1);
    }

    first.kill(); // SIGKILL: the lock file stays behind
    ASSERT_TRUE(first.waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(lockPath));

    LockFileGuard next(lockPath);
    EXPECT_FALSE(next.PrevInstance()) << "a copy killed with -9 does not block the next start";
    EXPECT_FALSE(next.PrevInstance()) << "asking again keeps the guard";

    QProcess after;
    after.start(holder, {lockPath, S("try")});
    ASSERT_TRUE(after.waitForFinished(10000));
    EXPECT_EQ(after.readAllStandardOutput().trimmed(), QByteArray("refused"));
}

TEST(LockFileGuard, endingTheCopyReleasesTheGuard) {
    TempFolder folder;
    const QString lockPath = folder.file(S("quillane-test.lock"));
    {
        LockFileGuard guard(lockPath);
        ASSERT_FALSE(guard.PrevInstance());
    }
    QProcess later;
    later.start(QString::fromLocal8Bit(LOCK_HOLDER_PATH), {lockPath, S("try")});
    ASSERT_TRUE(later.waitForFinished(10000));
    EXPECT_EQ(later.readAllStandardOutput().trimmed(), QByteArray("locked"));
}

TEST(ProgramFolder, isTheExecutablesFolderWhenWritableElseThePerUserFolder) {
    TempFolder folder;
    EXPECT_EQ(ChooseProgramFolder(folder.path() + S("/"), folder.file(S("user"))), folder.path());
    EXPECT_TRUE(folder.entries().isEmpty()) << "the write probe leaves nothing behind";
    const QString perUser = folder.file(S("per/user/Quillane"));
    EXPECT_EQ(ChooseProgramFolder(folder.file(S("no such folder")), perUser), perUser);
    EXPECT_TRUE(QFileInfo(perUser).isDir());
}

// Swapping one service leaves the other twelve as they were, whichever service it is.
TEST(Platform, withSwapsExactlyTheOneServiceOfItsKind) {
    TestPlatform doubles;
    const Platform &base = doubles.platform;
    const auto services = [](const Platform &p) {
        return QList<const void *>{&p.App,   &p.files, &p.messages, &p.printerDialog, &p.urls,     &p.help,   &p.clock,
                                   &p.ender, &p.forms, &p.progress, &p.saveDialog,    &p.printers, &p.preview};
    };
    FakeMessageBoxes boxes;
    FakePrinterDialog dialog;
    FakeClock clock;
    FakePrintPreview preview;
    const struct {
        Platform swapped;
        int index;
        const void *service;
    } rows[] = {
        {base.With(boxes), 2, &boxes},
        {base.With(dialog), 3, &dialog},
        {base.With(clock), 6, &clock},
        {base.With(preview), 12, &preview},
    };
    for (const auto &row : rows) {
        QList<const void *> expected = services(base);
        expected[row.index] = row.service;
        EXPECT_EQ(services(row.swapped), expected) << "service " << row.index;
    }
    EXPECT_EQ(services(base.With(boxes).With(dialog))[2], &boxes);
    EXPECT_EQ(services(base.With(boxes).With(dialog))[3], &dialog);
}

} // namespace
