#include "datafiles/DataFiles.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/RecordingForm.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

const QByteArray kBackupBytes("backup \x00\x01\r\n\xe9\xff end", 17);

class DataFilesTest : public ::testing::Test {
protected:
    TempFolder folder;
    QtFiles files{folder.path()};
};

TEST_F(DataFilesTest, presentFile_isFoundAndTheBackupLeftAlone) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), "current"));
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kBackupBytes));
    EXPECT_TRUE(DataFileExists(files, S("/TempRegister.txt")));
    EXPECT_TRUE(DataFileExists(files, S("\\TempRegister.txt")));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), QByteArray("current"));
    EXPECT_EQ(folder.read(S("Backup/TempRegister.txt")), kBackupBytes);
}

TEST_F(DataFilesTest, missingFile_isRestoredFromBackupByteForByte) {
    ASSERT_TRUE(folder.write(S("Backup/DraftMere.txt"), kBackupBytes));
    FileResult restore;
    EXPECT_TRUE(DataFileExists(files, S("/DraftMere.txt"), &restore));
    EXPECT_TRUE(restore);
    EXPECT_EQ(folder.read(S("DraftMere.txt")), kBackupBytes);
    EXPECT_EQ(folder.read(S("Backup/DraftMere.txt")), kBackupBytes);
    EXPECT_EQ(folder.entries(), Strings({"Backup", "DraftMere.txt"}));
}

TEST_F(DataFilesTest, restoreFromBackup_saysWhetherItRestored) {
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kBackupBytes));
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "present"));
    const struct {
        const char *name;
        bool restored;
        const char *why;
    } cases[] = {
        {"/DraftMere.txt", false, "a file already there is no restore"},
        {"/TempRegister.txt", true, "only a copy in Backup"},
        {"/TempRegister.txt", false, "restored before"},
        {"/Missing.txt", false, "neither file nor copy"},
    };
    for (const auto &c : cases) {
        const BackupRestore restore = RestoreFromBackup(files, S(c.name));
        EXPECT_EQ(restore.restored, c.restored) << c.why;
        EXPECT_TRUE(restore.result) << c.why;
    }
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kBackupBytes);
    EXPECT_EQ(folder.read(S("DraftMere.txt")), QByteArray("present"));
    EXPECT_FALSE(folder.exists(S("Missing.txt")));
    // Taken away again, it is restored again.
    ASSERT_TRUE(QFile::remove(folder.file(S("TempRegister.txt"))));
    EXPECT_TRUE(RestoreFromBackup(files, S("\\TempRegister.txt")).restored);
    EXPECT_TRUE(DataFileExists(files, S("/TempRegister.txt")));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kBackupBytes);
}

TEST_F(DataFilesTest, backupFoundWhateverTheCaseOfItsNames) {
    ASSERT_TRUE(folder.write(S("BACKUP/draftmere.TXT"), kBackupBytes));
    EXPECT_TRUE(DataFileExists(files, S("/DraftMere.txt")));
    EXPECT_EQ(files.FileLen(S("/DraftMere.txt")), kBackupBytes.size());
}

TEST_F(DataFilesTest, neitherFileNorBackup_answersFalseAndCreatesNothing) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(S("Backup")));
    EXPECT_FALSE(DataFileExists(files, S("/DraftMere.txt")));
    EXPECT_EQ(folder.entries(), Strings({"Backup"}));
    EXPECT_TRUE(folder.entries(S("Backup")).isEmpty());
}

TEST_F(DataFilesTest, foldersAndHiddenFilesDoNotCount) {
    ASSERT_TRUE(QDir(folder.path()).mkpath(S("TempRegister.txt")));
    ASSERT_TRUE(QDir(folder.path()).mkpath(S("Backup/TempRegister.txt")));
    EXPECT_FALSE(DataFileExists(files, S("/TempRegister.txt")));
    ASSERT_TRUE(folder.write(S(".Hidden.txt"), "x"));
    EXPECT_FALSE(DataFileExists(files, S("/.Hidden.txt")));
}

TEST_F(DataFilesTest, failedRestore_answersFalseAndSaysWhy) {
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kBackupBytes));
    FaultyFiles faulty(folder.path());
    faulty.failRename = true;
    FileResult restore;
    EXPECT_FALSE(DataFileExists(faulty, S("\\TempRegister.txt"), &restore));
    EXPECT_FALSE(restore);
    EXPECT_FALSE(RestoreFromBackup(faulty, S("\\TempRegister.txt")).restored);
    EXPECT_TRUE(restore.error.contains(QDir::toNativeSeparators(folder.file(S("TempRegister.txt")))))
        << restore.error.toStdString();
    EXPECT_EQ(folder.entries(), Strings({"Backup"}));
}

TEST_F(DataFilesTest, openRoutines_takeTheLowestFreeNumber) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "\"x\"\r\n"));
    ASSERT_TRUE(files.Open(1, S("/DraftMere.txt"), Files::Mode::Input));
    ASSERT_TRUE(files.Open(3, S("/DraftMere.txt"), Files::Mode::Input));
    int number = 0;
    ASSERT_TRUE(OpenInputFile(files, S("/DraftMere.txt"), number));
    EXPECT_EQ(number, 2);
    ASSERT_TRUE(OpenRandomFile(files, S("\\TempRegister.txt"), 115, number));
    EXPECT_EQ(number, 4);
    ASSERT_TRUE(OpenOutputFile(files, S("/Other.txt"), number));
    EXPECT_EQ(number, 5);
    EXPECT_TRUE(files.IsOpen(5));
    ASSERT_TRUE(files.CloseAll());
    ASSERT_TRUE(OpenRandomFile(files, S("\\TempRegister.txt"), 115, number));
    EXPECT_EQ(number, 1);
}

TEST_F(DataFilesTest, openInput_onAMissingFileFailsNamingIt) {
    int number = 0;
    const FileResult result = OpenInputFile(files, S("/DraftMere.txt"), number);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("DraftMere.txt")))));
    EXPECT_FALSE(AnyFileOpen(files));
}

TEST_F(DataFilesTest, openOutput_onAnExistingFileLeavesItEmptyWhenNothingIsWritten) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "\"old\"\r\n"));
    int number = 0;
    ASSERT_TRUE(OpenOutputFile(files, S("/draftmere.txt"), number));
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.entries(), Strings({"DraftMere.txt"}));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), QByteArray());
}

TEST_F(DataFilesTest, openRandom_createsAMissingFile) {
    int number = 0;
    ASSERT_TRUE(OpenRandomFile(files, S("\\TempRegister.txt"), 115, number));
    ASSERT_TRUE(files.CloseAll());
    EXPECT_TRUE(folder.exists(S("TempRegister.txt")));
    EXPECT_EQ(files.FileLen(S("/TempRegister.txt")), 0);
}

TEST_F(DataFilesTest, deleteDataFile_closesOpenFilesFirst) {
    int number = 0;
    ASSERT_TRUE(OpenRandomFile(files, S("\\TempRegister.txt"), 4, number));
    ASSERT_TRUE(files.Put(number, 1, "abcd"));
    ASSERT_TRUE(OpenOutputFile(files, S("/Other.txt"), number));
    ASSERT_TRUE(files.Write(number, "committed by the close"));
    ASSERT_TRUE(DeleteDataFile(files, S("/TempRegister.txt")));
    EXPECT_FALSE(AnyFileOpen(files));
    EXPECT_EQ(folder.entries(), Strings({"Other.txt"}));
    EXPECT_EQ(folder.read(S("Other.txt")), QByteArray("committed by the close"));
}

TEST_F(DataFilesTest, deleteDataFile_withOnlyABackup_leavesNoFileAndTheBackupUntouched) {
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kBackupBytes));
    ASSERT_TRUE(DeleteDataFile(files, S("/TempRegister.txt")));
    EXPECT_EQ(folder.entries(), Strings({"Backup"}));
    EXPECT_EQ(folder.read(S("Backup/TempRegister.txt")), kBackupBytes);
}

TEST_F(DataFilesTest, deleteDataFile_onAMissingFileChangesNothing) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "x"));
    EXPECT_TRUE(DeleteDataFile(files, S("/TempRegister.txt")));
    EXPECT_EQ(folder.entries(), Strings({"DraftMere.txt"}));
}

TEST_F(DataFilesTest, bothSeparatorsAndAnyCaseReachTheSameFile) {
    ASSERT_TRUE(folder.write(S("tempregister.TXT"), "x"));
    EXPECT_TRUE(DataFileExists(files, S("/TempRegister.txt")));
    EXPECT_TRUE(DataFileExists(files, S("\\TempRegister.txt")));
    ASSERT_TRUE(DeleteDataFile(files, S("\\TEMPREGISTER.TXT")));
    EXPECT_TRUE(folder.entries().isEmpty());
}

class EndProgramTest : public ::testing::Test, protected RecordingForms {
protected:
    RecordingForm *load(const char *name) {
        RecordingForm *form = make(name);
        forms.Load(form);
        return form;
    }

    FakeEnder ender;
};

TEST_F(EndProgramTest, unloadsLastLoadedFirstAsClosedFromCodeThenEndsOnce) {
    load("frmSplash");
    load("frmMain");
    load("frmStartup");
    log.clear();
    EndProgram(forms, ender);
    EXPECT_EQ(log, Strings({"frmStartup:QueryUnload 1", "frmMain:QueryUnload 1", "frmSplash:QueryUnload 1"}));
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_EQ(ender.ends, 1);
}

TEST_F(EndProgramTest, aWindowThatEndsTheProgramWhenClosedEndsItOnce) {
    load("frmSplash");
    RecordingForm *main = load("frmMain");
    load("frmStartup");
    for (RecordingForm *form : made) {
        form->onQueryUnload = [this](int unloadMode) {
            if (unloadMode == vbFormControlMenu) {
                EndProgram(forms, ender);
            }
        };
    }
    log.clear();
    main->close();
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_EQ(log.first(), S("frmMain:QueryUnload 0"));
    EXPECT_EQ(log.count(S("frmStartup:QueryUnload 1")), 1);
    EXPECT_EQ(log.count(S("frmSplash:QueryUnload 1")), 1);
}

TEST_F(EndProgramTest, aWindowDestroyedOutsideTheLayerIsSkipped) {
    load("frmSplash");
    RecordingForm *main = load("frmMain");
    load("frmStartup");
    delete main;
    log.clear();
    EndProgram(forms, ender);
    EXPECT_EQ(log, Strings({"frmStartup:QueryUnload 1", "frmSplash:QueryUnload 1"}));
    EXPECT_EQ(ender.ends, 1);
}

TEST_F(EndProgramTest, endsEvenWithNoWindowLoaded) {
    EndProgram(forms, ender);
    EXPECT_EQ(ender.ends, 1);
    EXPECT_TRUE(log.isEmpty());
}

// An opener that reads the shortcut file at the moment it is handed the URL, as the browser's
// shortcut handler would.
class ShortcutReadingOpener final : public UrlOpener {
public:
    explicit ShortcutReadingOpener(const TempFolder &folder) : folder_(folder) {}
    void OpenURL(const QString &url) override {
        opened.append(url);
        entries = folder_.entries();
        shortcuts.append(entries.size() == 1 ? folder_.read(entries.first()) : QByteArray());
        modes.append(entries.size() == 1 ? folder_.mode(entries.first()) : -1);
    }
    QStringList opened;
    QList<QByteArray> shortcuts;
    QList<int> modes;    // the shortcut file's permission bits while the opener ran
    QStringList entries; // the folder's entries while the opener ran

private:
    const TempFolder &folder_;
};

class OpenWebPageTest : public ::testing::TestWithParam<const char *> {
protected:
    TempFolder folder;
    FaultyFiles files{folder.path()};
    ShortcutReadingOpener opener{folder};
    FakeMessageBoxes messages;
};

TEST_P(OpenWebPageTest, handsTheUrlOverByteForByteAndRemovesTheShortcut) {
    const QString url = S(GetParam());
    OpenWebPage(files, opener, messages, url);
    ASSERT_EQ(opener.opened, QStringList{url});
    EXPECT_EQ(opener.entries, Strings({"Temp.url"}));
    EXPECT_EQ(opener.shortcuts.first(), "[InternetShortcut]\r\nURL = " + url.toUtf8() + "\r\n");
    EXPECT_TRUE(folder.entries().isEmpty()) << folder.entries().join(S(" ")).toStdString();
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_P(OpenWebPageTest, overwritesAnEarlierShortcut) {
    ASSERT_TRUE(folder.write(S("temp.URL"), "[InternetShortcut]\r\nURL = http://old.example/a/much/longer/address\r\n"
                                            "IconIndex=0\r\n"));
    const QString url = S(GetParam());
    OpenWebPage(files, opener, messages, url);
    ASSERT_EQ(opener.opened, QStringList{url});
    EXPECT_EQ(opener.entries, Strings({"temp.URL"})) << "the existing file is rewritten, no second one made";
    EXPECT_EQ(opener.shortcuts.first(), "[InternetShortcut]\r\nURL = " + url.toUtf8() + "\r\n");
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_P(OpenWebPageTest, theShortcutIsReadableByItsOwnerAloneWhateverTheUmask) {
    for (int umask : {0, 022}) {
        const ScopedUmask mask(umask);
        OpenWebPage(files, opener, messages, S(GetParam()));
        ASSERT_EQ(opener.modes.size(), opener.opened.size());
        EXPECT_EQ(opener.modes.last(), 0600) << "umask 0" << QString::number(umask, 8).toStdString();
    }
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_P(OpenWebPageTest, aShortcutThatCannotBeWrittenShowsTheUrlAndOpensNothing) {
    files.bytesBeforeFull = 10;
    const QString url = S(GetParam());
    OpenWebPage(files, opener, messages, url);
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown.first().text.contains(url)) << messages.shown.first().text.toStdString();
    EXPECT_EQ(messages.shown.first().buttons, MsgButtons::OK);
    EXPECT_TRUE(folder.entries().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Urls, OpenWebPageTest,
    ::testing::Values("http://www.example.com/", "https://store.example.com/softsell/nph-softsell.cgi?item=ZF-1001",
                      "http://forms.example.com/referral.cfm?name=example.com&url=http%3A%2F%2Fwww.example.com%2F"
                      "&button=&logo=&keycode=T52731&id=4711",
                      "www.example.com/no/scheme?a=1&b=%20", "  spaced = \"quoted\" ; ok  "));

} // namespace
