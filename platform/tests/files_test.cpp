#include "platform/QtFiles.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

// Every name of the folder that an interrupted save would leave behind.
QStringList Temporaries(const TempFolder &folder) {
    QStringList found;
    for (const QString &entry : folder.entries()) {
        if (QtFiles::IsTemporaryName(entry)) {
            found.append(entry);
        }
    }
    return found;
}

class FilesTest : public ::testing::Test {
protected:
    TempFolder folder;
    QtFiles files{folder.path()};
};

struct PathRow {
    const char *onDisk; // created before the lookup ("" for nothing)
    const char *name;   // as the program names it
    const char *found;  // the path under the folder it must reach
};

class FullPathTest : public FilesTest, public ::testing::WithParamInterface<PathRow> {};

TEST_P(FullPathTest, reachesTheFileWhateverItsCaseAndSeparator) {
    const PathRow &row = GetParam();
    if (*row.onDisk != '\0') {
        ASSERT_TRUE(folder.write(S(row.onDisk), "x"));
    }
    EXPECT_EQ(files.FullPath(S(row.name)), folder.file(S(row.found)));
}

INSTANTIATE_TEST_SUITE_P(
    Names, FullPathTest,
    ::testing::Values(PathRow{"draftmere.TXT", "/DraftMere.txt", "draftmere.TXT"},
                      PathRow{"draftmere.TXT", "\\DRAFTMERE.txt", "draftmere.TXT"},
                      PathRow{"DraftMere.txt", "/DraftMere.txt", "DraftMere.txt"},
                      PathRow{"TempRegister.txt", "\\TempRegister.txt", "TempRegister.txt"},
                      PathRow{"TempRegister.txt", "/tempregister.TXT", "TempRegister.txt"},
                      PathRow{"backup/tempREGISTER.txt", "\\Backup/TempRegister.txt", "backup/tempREGISTER.txt"},
                      PathRow{"BACKUP/DraftMere.txt", "\\Backup\\DraftMere.txt", "BACKUP/DraftMere.txt"},
                      PathRow{"", "/DraftMere.txt", "DraftMere.txt"}, PathRow{"", "\\Temp.url", "Temp.url"},
                      PathRow{"", "\\Backup/TempRegister.txt", "Backup/TempRegister.txt"}));

TEST_F(FilesTest, savingUnderAnotherCase_rewritesTheExistingFileAndMakesNoSecond) {
    ASSERT_TRUE(folder.write(S("draftmere.TXT"), "old"));
    ASSERT_TRUE(files.ReplaceContents(S("/DraftMere.txt"), "new contents"));
    EXPECT_EQ(folder.entries(), Strings({"draftmere.TXT"}));
    EXPECT_EQ(folder.read(S("draftmere.TXT")), QByteArray("new contents"));
}

TEST_F(FilesTest, recordsUnderBothSeparators_goToOneFile) {
    ASSERT_TRUE(files.Open(1, S("\\TempRegister.txt"), Files::Mode::Random, 4));
    ASSERT_TRUE(files.Put(1, 1, "abcd"));
    ASSERT_TRUE(files.Close(1));
    ASSERT_TRUE(files.Open(1, S("/TEMPREGISTER.TXT"), Files::Mode::Random, 4));
    ASSERT_TRUE(files.Put(1, 2, "efgh"));
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.entries(), Strings({"TempRegister.txt"}));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), QByteArray("abcdefgh"));
}

TEST_F(FilesTest, freeFile_isTheLowestNumberNotInUse) {
    ASSERT_TRUE(folder.write(S("a.txt"), "a"));
    EXPECT_EQ(files.FreeFile(), 1);
    for (int number = 1; number <= 3; ++number) {
        ASSERT_TRUE(files.Open(number, S("/a.txt"), Files::Mode::Input));
    }
    EXPECT_EQ(files.FreeFile(), 4);
    ASSERT_TRUE(files.Close(2));
    EXPECT_EQ(files.FreeFile(), 2);
    ASSERT_TRUE(files.Open(7, S("/a.txt"), Files::Mode::Input));
    ASSERT_TRUE(files.Open(2, S("/a.txt"), Files::Mode::Input));
    EXPECT_EQ(files.FreeFile(), 4);
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(files.FreeFile(), 1);
}

TEST_F(FilesTest, freeFile_isZeroWhenAll255AreOpen) {
    ASSERT_TRUE(folder.write(S("a.txt"), "a"));
    for (int number = 1; number <= 255; ++number) {
        ASSERT_TRUE(files.Open(number, S("/a.txt"), Files::Mode::Input)) << number;
    }
    EXPECT_EQ(files.FreeFile(), 0);
    ASSERT_TRUE(files.Close(255));
    EXPECT_EQ(files.FreeFile(), 255);
}

TEST_F(FilesTest, open_refusesBadNumbersAndNumbersInUse) {
    ASSERT_TRUE(folder.write(S("a.txt"), "a"));
    EXPECT_FALSE(files.Open(0, S("/a.txt"), Files::Mode::Input));
    EXPECT_FALSE(files.Open(256, S("/a.txt"), Files::Mode::Input));
    EXPECT_FALSE(files.Open(1, S("/a.txt"), Files::Mode::Random, 0));
    ASSERT_TRUE(files.Open(1, S("/a.txt"), Files::Mode::Input));
    EXPECT_FALSE(files.Open(1, S("/a.txt"), Files::Mode::Input));
    EXPECT_FALSE(files.Open(2, S("/missing.txt"), Files::Mode::Input));
    EXPECT_FALSE(files.IsOpen(2));
}

struct DirRow {
    const char *name;
    bool expected;
};

class DirTest : public FilesTest, public ::testing::WithParamInterface<DirRow> {};

TEST_P(DirTest, countsOrdinaryFilesOnly) {
    ASSERT_TRUE(folder.write(S("Plain.txt"), "p"));
    ASSERT_TRUE(folder.write(S(".Hidden.txt"), "h"));
    ASSERT_TRUE(folder.write(S("Folder.txt/inside"), "i"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(S("Empty")));
    EXPECT_EQ(files.Dir(S(GetParam().name)), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Entries, DirTest,
                         ::testing::Values(DirRow{"/Plain.txt", true}, DirRow{"\\PLAIN.TXT", true},
                                           DirRow{"/.Hidden.txt", false}, DirRow{"/Folder.txt", false},
                                           DirRow{"/Empty", false}, DirRow{"/Missing.txt", false},
                                           DirRow{"/Folder.txt/inside", true}));

TEST_F(FilesTest, outputWithNothingWritten_leavesTheFileEmptyAfterClose) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "old contents"));
    ASSERT_TRUE(files.Open(1, S("/DraftMere.txt"), Files::Mode::Output));
    // The old contents stay until the new ones are committed.
    EXPECT_EQ(folder.read(S("DraftMere.txt")), QByteArray("old contents"));
    ASSERT_TRUE(files.Close(1));
    EXPECT_TRUE(folder.exists(S("DraftMere.txt")));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), QByteArray());
    EXPECT_EQ(files.FileLen(S("/DraftMere.txt")), 0);
}

TEST_F(FilesTest, output_writesToATemporaryFileThatCloseAllCommits) {
    ASSERT_TRUE(files.Open(3, S("/DraftMere.txt"), Files::Mode::Output));
    ASSERT_TRUE(files.Write(3, "line one\r\n"));
    ASSERT_TRUE(files.Write(3, "line two\r\n"));
    const QStringList pending = Temporaries(folder);
    ASSERT_EQ(pending.size(), 1);
    EXPECT_TRUE(pending.first().startsWith(S(".DraftMere.txt.quillane-"))) << pending.first().toStdString();
    EXPECT_FALSE(folder.exists(S("DraftMere.txt")));
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.entries(), Strings({"DraftMere.txt"}));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), QByteArray("line one\r\nline two\r\n"));
}

TEST_F(FilesTest, writeAndReadAll_refuseFilesOpenInAnotherMode) {
    ASSERT_TRUE(folder.write(S("a.txt"), "a"));
    ASSERT_TRUE(files.Open(1, S("/a.txt"), Files::Mode::Input));
    EXPECT_FALSE(files.Write(1, "x"));
    EXPECT_FALSE(files.Write(2, "x"));
    ASSERT_TRUE(files.Open(2, S("/b.txt"), Files::Mode::Output));
    QByteArray bytes;
    EXPECT_FALSE(files.ReadAll(2, bytes));
    EXPECT_FALSE(files.Put(2, 1, "x"));
}

TEST_F(FilesTest, getAndPut_addressRecordsFromOne) {
    ASSERT_TRUE(files.Open(1, S("/r.dat"), Files::Mode::Random, 3));
    ASSERT_TRUE(files.Put(1, 2, "BBB"));
    ASSERT_TRUE(files.Put(1, 1, "AAA"));
    ASSERT_TRUE(files.Put(1, 2, "bbb"));
    EXPECT_FALSE(files.Put(1, 3, "toolong"));
    EXPECT_FALSE(files.Put(1, 0, "CCC"));
    QByteArray bytes;
    ASSERT_TRUE(files.Get(1, 2, bytes));
    EXPECT_EQ(bytes, QByteArray("bbb"));
    ASSERT_TRUE(files.Get(1, 3, bytes));
    EXPECT_EQ(bytes, QByteArray()) << "a record past the end reads short";
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.read(S("r.dat")), QByteArray("AAAbbb"));
}

TEST_F(FilesTest, fileCopy_overwritesTheDestinationByteForByte) {
    const QByteArray bytes("\x00\x01\r\n\xff\x80 \"quoted\"\x1a", 15);
    ASSERT_TRUE(folder.write(S("Backup/Data.bin"), bytes));
    ASSERT_TRUE(folder.write(S("Data.bin"), "older and longer contents"));
    ASSERT_TRUE(files.FileCopy(S("\\Backup/Data.bin"), S("/Data.bin")));
    EXPECT_EQ(folder.read(S("Data.bin")), bytes);
    EXPECT_EQ(folder.read(S("Backup/Data.bin")), bytes);
    EXPECT_FALSE(files.FileCopy(S("\\Backup/Missing.bin"), S("/Other.bin")));
    EXPECT_FALSE(folder.exists(S("Other.bin")));
}

TEST_F(FilesTest, readWhole_givesTheWholeFileAndKeepsNoNumber) {
    const QByteArray bytes("line\r\n\x00\xe9 end", 11);
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), bytes));
    ASSERT_TRUE(files.Open(1, S("/TempRegister.txt"), Files::Mode::Input));
    const struct {
        const char *name;
        bool found;
    } cases[] = {{"\\TempRegister.txt", true}, {"/tempregister.TXT", true}, {"/Missing.txt", false}};
    for (const auto &c : cases) {
        QByteArray read("stale");
        const FileResult result = files.ReadWhole(S(c.name), read);
        EXPECT_EQ(result.ok, c.found) << c.name;
        EXPECT_EQ(read, c.found ? bytes : QByteArray()) << c.name;
        EXPECT_FALSE(files.IsOpen(2)) << c.name << ": the number it took is closed again";
        EXPECT_TRUE(files.IsOpen(1)) << c.name << ": other files stay open";
        if (!c.found) {
            EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("Missing.txt")))))
                << result.error.toStdString();
        }
    }
}

TEST_F(FilesTest, killAndFileLen) {
    ASSERT_TRUE(folder.write(S("a.txt"), "12345"));
    EXPECT_EQ(files.FileLen(S("/A.TXT")), 5);
    ASSERT_TRUE(files.Kill(S("\\a.txt")));
    EXPECT_FALSE(folder.exists(S("a.txt")));
    EXPECT_EQ(files.FileLen(S("/a.txt")), -1);
    const FileResult again = files.Kill(S("/a.txt"));
    EXPECT_FALSE(again);
    EXPECT_TRUE(again.error.contains(QDir::toNativeSeparators(folder.file(S("a.txt"))))) << again.error.toStdString();
}

struct TempNameRow {
    const char *name;
    bool ours;
};

class TemporaryNameTest : public FilesTest, public ::testing::WithParamInterface<TempNameRow> {};

TEST_P(TemporaryNameTest, removeStrayTemporaries_removesOnlyOurs) {
    const QString name = S(GetParam().name);
    ASSERT_TRUE(folder.write(name, "left over"));
    EXPECT_EQ(QtFiles::IsTemporaryName(name), GetParam().ours);
    files.RemoveStrayTemporaries();
    EXPECT_EQ(folder.exists(name), !GetParam().ours);
}

INSTANTIATE_TEST_SUITE_P(Names, TemporaryNameTest,
                         ::testing::Values(TempNameRow{".DraftMere.txt.quillane-Ab12Cd.tmp", true},
                                           TempNameRow{".draftmere.TXT.quillane-zzzzzz.tmp", true},
                                           TempNameRow{".TempRegister.txt.quillane-000000.tmp", true},
                                           TempNameRow{".Temp.url.quillane-aB3dE9.tmp", true},
                                           TempNameRow{"DraftMere.txt", false}, TempNameRow{".hidden", false},
                                           TempNameRow{"DraftMere.txt.quillane-Ab12Cd.tmp", false},
                                           TempNameRow{".DraftMere.txt.quillane-Ab12C.tmp", false},
                                           TempNameRow{".DraftMere.txt.quillane-Ab12Cd.tmp.bak", false},
                                           TempNameRow{".DraftMere.txt.other-Ab12Cd.tmp", false},
                                           TempNameRow{"notes.tmp", false}));

TEST_F(FilesTest, removeStrayTemporaries_leavesSubFoldersAndFoldersAlone) {
    ASSERT_TRUE(folder.write(S("Backup/.DraftMere.txt.quillane-Ab12Cd.tmp"), "backup folder"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(S(".x.quillane-Ab12Cd.tmp")));
    ASSERT_TRUE(folder.write(S(".DraftMere.txt.quillane-Ab12Cd.tmp"), "ours"));
    files.RemoveStrayTemporaries();
    EXPECT_EQ(folder.entries(), Strings({".x.quillane-Ab12Cd.tmp", "Backup"}));
    EXPECT_TRUE(folder.exists(S("Backup/.DraftMere.txt.quillane-Ab12Cd.tmp")));
}

// A failure injected into a whole-file save.
const InjectedFault kSaveFaults[] = {
    {"full disk at once", 0, false, false},       {"full disk after 1 byte", 1, false, false},
    {"full disk after 7 bytes", 7, false, false}, {"full disk one byte short", 39, false, false},
    {"failing flush", -1, true, false},           {"failing rename", -1, false, true},
};

const QByteArray kNewContents("forty bytes of new contents, exactly 40.");

class ReplaceFaultTest : public ::testing::TestWithParam<InjectedFault> {
protected:
    TempFolder folder;
    FaultyFiles files{folder.path()};
};

TEST_P(ReplaceFaultTest, failureLeavesTheOldFileByteForByteAndNoTemporary) {
    ASSERT_EQ(kNewContents.size(), 40);
    const QByteArray old("\"old\"\r\n\"contents\"\r\n");
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), old));
    GetParam().applyTo(files);
    const FileResult result = files.ReplaceContents(S("/DRAFTMERE.TXT"), kNewContents);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("DraftMere.txt")))))
        << result.error.toStdString();
    EXPECT_EQ(folder.read(S("DraftMere.txt")), old);
    EXPECT_EQ(folder.entries(), Strings({"DraftMere.txt"}));
}

TEST_P(ReplaceFaultTest, failureOnANewFileLeavesNothing) {
    GetParam().applyTo(files);
    EXPECT_FALSE(files.ReplaceContents(S("/DraftMere.txt"), kNewContents));
    EXPECT_TRUE(folder.entries().isEmpty()) << folder.entries().join(S(" ")).toStdString();
}

TEST_P(ReplaceFaultTest, aFailedWriteIsNotCommittedByALaterClose) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "old"));
    GetParam().applyTo(files);
    ASSERT_TRUE(files.Open(1, S("/DraftMere.txt"), Files::Mode::Output));
    const FileResult written = files.Write(1, kNewContents);
    const FileResult closed = files.Close(1);
    EXPECT_FALSE(written && closed);
    EXPECT_EQ(folder.read(S("DraftMere.txt")), QByteArray("old"));
    EXPECT_TRUE(Temporaries(folder).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, ReplaceFaultTest, ::testing::ValuesIn(kSaveFaults));

TEST(ReplaceContents, succeedsWhenTheDiskHoldsExactlyTheNewBytes) {
    TempFolder folder;
    FaultyFiles files(folder.path());
    files.bytesBeforeFull = kNewContents.size();
    ASSERT_TRUE(files.ReplaceContents(S("/DraftMere.txt"), kNewContents));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), kNewContents);
}

class PutFaultTest : public ::testing::TestWithParam<InjectedFault> {};

TEST_P(PutFaultTest, failedPutLeavesWholeRecordsOnly) {
    TempFolder folder;
    FaultyFiles files(folder.path());
    const QByteArray two("first-rec!second-re!");
    ASSERT_TRUE(folder.write(S("r.dat"), two));
    ASSERT_TRUE(files.Open(1, S("/r.dat"), Files::Mode::Random, 10));
    GetParam().applyTo(files);
    const int callsBefore = files.writeCalls;
    const FileResult result = files.Put(1, 3, "third-rec!");
    EXPECT_FALSE(result);
    EXPECT_EQ(files.writeCalls - callsBefore, 1) << "a record goes to the file in one write call";
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.read(S("r.dat")), two);
}

INSTANTIATE_TEST_SUITE_P(Faults, PutFaultTest,
                         ::testing::Values(InjectedFault{"full at once", 0, false, false},
                                           InjectedFault{"1 byte", 1, false, false},
                                           InjectedFault{"9 bytes", 9, false, false},
                                           InjectedFault{"flush", -1, true, false}));

TEST(PutFaults, failedPutPastADamagedEndKeepsTheOldLength) {
    TempFolder folder;
    FaultyFiles files(folder.path());
    const QByteArray damaged("0123456789abcde", 15);
    ASSERT_TRUE(folder.write(S("r.dat"), damaged));
    ASSERT_TRUE(files.Open(1, S("/r.dat"), Files::Mode::Random, 10));
    files.bytesBeforeFull = 4;
    EXPECT_FALSE(files.Put(1, 3, "third-rec!"));
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.read(S("r.dat")), damaged);
}

// ---- Modes of the files the program writes

enum class Writer { RandomRecords, OutputFile, ReplaceContents, CopyFromBackup };

struct ModeRow {
    Writer writer;
    int umask;
    int before;   // the file's mode before the write; -1 when there is no file yet
    int expected; // its mode afterwards
};

std::string ModeRowName(const ::testing::TestParamInfo<ModeRow> &info) {
    static const char *const writers[] = {"Random", "Output", "Replace", "CopyFromBackup"};
    const ModeRow &row = info.param;
    return std::string(writers[int(row.writer)]) + "_umask0" + QString::number(row.umask, 8).toStdString() +
           (row.before < 0 ? std::string("_newFile") : "_was0" + QString::number(row.before, 8).toStdString());
}

std::vector<ModeRow> ModeRows() {
    std::vector<ModeRow> rows;
    for (Writer writer : {Writer::RandomRecords, Writer::OutputFile, Writer::ReplaceContents, Writer::CopyFromBackup}) {
        for (int umask : {0, 022, 077}) {
            for (int before : {-1, 0600, 0640, 0644}) {
                rows.push_back({writer, umask, before, before < 0 ? 0600 : before});
            }
        }
    }
    return rows;
}

class FileModeTest : public FilesTest, public ::testing::WithParamInterface<ModeRow> {
protected:
    // Writes "/Data.bin" the row's way; the bytes it should then hold.
    QByteArray write(Writer writer) {
        const QByteArray bytes("0042-778100 \"Payee\" 12.50\r\n");
        switch (writer) {
        case Writer::RandomRecords:
            EXPECT_TRUE(files.Open(1, S("/Data.bin"), Files::Mode::Random, int(bytes.size())));
            EXPECT_TRUE(files.Put(1, 1, bytes));
            EXPECT_TRUE(files.CloseAll());
            break;
        case Writer::OutputFile:
            EXPECT_TRUE(files.Open(1, S("/Data.bin"), Files::Mode::Output));
            EXPECT_TRUE(files.Write(1, bytes));
            EXPECT_TRUE(files.Close(1));
            break;
        case Writer::ReplaceContents:
            EXPECT_TRUE(files.ReplaceContents(S("/Data.bin"), bytes));
            break;
        case Writer::CopyFromBackup:
            EXPECT_TRUE(folder.write(S("Backup/Data.bin"), bytes));
            EXPECT_TRUE(folder.setMode(S("Backup/Data.bin"), 0644));
            EXPECT_TRUE(files.FileCopy(S("\\Backup\\Data.bin"), S("/Data.bin")));
            break;
        }
        return bytes;
    }
};

TEST_P(FileModeTest, newFileIsTheOwnersAloneAndAReplacedFileKeepsItsMode) {
    const ModeRow &row = GetParam();
    const ScopedUmask mask(row.umask);
    const QByteArray old("old contents, longer than the new ones will ever be");
    if (row.before >= 0) {
        ASSERT_TRUE(folder.write(S("Data.bin"), old));
        ASSERT_TRUE(folder.setMode(S("Data.bin"), row.before));
    }
    const QByteArray bytes = write(row.writer);
    // A record written into an existing file replaces only its own bytes.
    const bool keepsTail = row.writer == Writer::RandomRecords && row.before >= 0;
    EXPECT_EQ(folder.read(S("Data.bin")), keepsTail ? bytes + old.mid(bytes.size()) : bytes);
    EXPECT_EQ(folder.mode(S("Data.bin")), row.expected)
        << "mode 0" << QString::number(folder.mode(S("Data.bin")), 8).toStdString();
    EXPECT_TRUE(Temporaries(folder).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Writers, FileModeTest, ::testing::ValuesIn(ModeRows()), ModeRowName);

// Notes the temporary file's mode at the moment it is renamed over the result.
class RenameWatchingFiles final : public QtFiles {
public:
    using QtFiles::QtFiles;
    int modeAtRename = -1;

protected:
    bool sysRename(const QString &from, const QString &to) override {
        struct stat info {};
        modeAtRename = ::stat(QFile::encodeName(from).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
        return QtFiles::sysRename(from, to);
    }
};

struct TemporaryModeRow {
    int umask;
    int before; // -1: a new file
};

class TemporaryModeTest : public ::testing::TestWithParam<TemporaryModeRow> {};

TEST_P(TemporaryModeTest, theTemporaryIsNeverWiderThanTheResult) {
    const TemporaryModeRow &row = GetParam();
    const ScopedUmask mask(row.umask);
    TempFolder folder;
    RenameWatchingFiles files(folder.path());
    if (row.before >= 0) {
        ASSERT_TRUE(folder.write(S("DraftMere.txt"), "old"));
        ASSERT_TRUE(folder.setMode(S("DraftMere.txt"), row.before));
    }
    const int result = row.before < 0 ? 0600 : row.before;
    ASSERT_TRUE(files.Open(1, S("/DraftMere.txt"), Files::Mode::Output));
    ASSERT_TRUE(files.Write(1, "\"First Example Bank\"\r\n"));
    const QStringList pending = Temporaries(folder);
    ASSERT_EQ(pending.size(), 1);
    const int midSave = folder.mode(pending.first());
    ASSERT_GE(midSave, 0);
    EXPECT_EQ(midSave & ~result, 0) << "mid-save 0" << QString::number(midSave, 8).toStdString();
    EXPECT_EQ(midSave & 077, 0) << "mid-save 0" << QString::number(midSave, 8).toStdString();
    ASSERT_TRUE(files.Close(1));
    EXPECT_EQ(files.modeAtRename, result);
    EXPECT_EQ(folder.mode(S("DraftMere.txt")), result);
}

INSTANTIATE_TEST_SUITE_P(Modes, TemporaryModeTest,
                         ::testing::Values(TemporaryModeRow{0, -1}, TemporaryModeRow{022, -1},
                                           TemporaryModeRow{0, 0600}, TemporaryModeRow{022, 0640},
                                           TemporaryModeRow{0, 0640}, TemporaryModeRow{0, 0644},
                                           TemporaryModeRow{0, 0604}, TemporaryModeRow{022, 0400}));

TEST_F(FilesTest, randomOpenOfAnExistingFileLeavesItsModeAndContents) {
    const ScopedUmask mask(0);
    ASSERT_TRUE(folder.write(S("r.dat"), "AAAA"));
    ASSERT_TRUE(folder.setMode(S("r.dat"), 0640));
    ASSERT_TRUE(files.Open(1, S("/R.DAT"), Files::Mode::Random, 4));
    QByteArray bytes;
    ASSERT_TRUE(files.Get(1, 1, bytes));
    EXPECT_EQ(bytes, QByteArray("AAAA"));
    ASSERT_TRUE(files.CloseAll());
    EXPECT_EQ(folder.mode(S("r.dat")), 0640);
    EXPECT_EQ(folder.entries(), Strings({"r.dat"}));
}

// A link or a folder planted where a data file belongs is refused by every way of opening it, with
// a message naming the file and what to do; the link's target and the folder stay untouched.
TEST_F(FilesTest, aLinkOrAFolderPlantedInPlaceOfADataFileIsRefusedByEveryMode) {
    const ScopedUmask mask(022);
    ASSERT_TRUE(folder.write(S("target.txt"), "SECRET"));
    ASSERT_TRUE(folder.setMode(S("target.txt"), 0644));
    const struct {
        const char *label;
        bool link;
        const char *reason;
    } plants[] = {{"symbolic link", true, "symbolic link"}, {"folder", false, "folder"}};
    const struct {
        const char *label;
        std::function<FileResult(QtFiles &)> use;
    } uses[] = {
        {"input", [](QtFiles &f) { return f.Open(1, S("/DraftMere.txt"), Files::Mode::Input); }},
        {"random", [](QtFiles &f) { return f.Open(1, S("/DraftMere.txt"), Files::Mode::Random, 6); }},
        {"output", [](QtFiles &f) { return f.Open(1, S("/DraftMere.txt"), Files::Mode::Output); }},
        {"replace", [](QtFiles &f) { return f.ReplaceContents(S("/DraftMere.txt"), "NEW"); }},
        {"read whole",
         [](QtFiles &f) {
             QByteArray bytes;
             return f.ReadWhole(S("/DraftMere.txt"), bytes);
         }},
    };
    for (const auto &plant : plants) {
        for (const auto &use : uses) {
            SCOPED_TRACE(std::string(plant.label) + " / " + use.label);
            const QString path = folder.file(S("DraftMere.txt"));
            if (plant.link) {
                ASSERT_EQ(::symlink(QFile::encodeName(folder.file(S("target.txt"))).constData(),
                                    QFile::encodeName(path).constData()),
                          0);
            } else {
                ASSERT_TRUE(QDir(folder.path()).mkdir(S("DraftMere.txt")));
            }
            const FileResult result = use.use(files);
            files.CloseAll();
            ASSERT_FALSE(result);
            EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << result.error.toStdString();
            EXPECT_TRUE(result.error.contains(QLatin1String(plant.reason))) << result.error.toStdString();
            EXPECT_EQ(folder.read(S("target.txt")), QByteArray("SECRET"));
            EXPECT_EQ(folder.mode(S("target.txt")), 0644);
            const QFileInfo planted(path);
            EXPECT_EQ(planted.isSymLink(), plant.link) << "the planted name is left as it was";
            EXPECT_TRUE(Temporaries(folder).isEmpty());
            if (plant.link) {
                ASSERT_TRUE(QFile::remove(path));
            } else {
                EXPECT_EQ(folder.mode(S("DraftMere.txt")), 0755) << "not chmodded";
                ASSERT_TRUE(QDir(folder.path()).rmdir(S("DraftMere.txt")));
            }
        }
    }
}

} // namespace
