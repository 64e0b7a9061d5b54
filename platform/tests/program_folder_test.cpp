#include "platform/AppObject.h"
#include "platform/testing/TempFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

QString S(const char *text) {
    return QString::fromUtf8(text);
}

mode_t modeOf(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : mode_t(-1);
}

struct FolderCase {
    const char *name;
    std::vector<const char *> folders; // made under the temporary folder first
    const char *file;                  // and a plain file, when not null
    const char *executableFolder;
    bool installed;
    bool keepsFilesBesideTheExecutable;
};

TEST(ProgramFolder, anInstalledOrUnwritableExecutableKeepsItsFilesInThePerUserFolder) {
    const std::vector<FolderCase> cases = {
        {"a portable copy in a folder of its own", {"portable"}, nullptr, "portable", false, true},
        {"the build folder", {"build"}, nullptr, "build/", false, true},
        {"installed for the machine", {"usr/bin", "usr/share/quillane/help"}, nullptr, "usr/bin", true, false},
        {"installed for the user",
         {"home/.local/bin", "home/.local/share/quillane"},
         nullptr,
         "home/.local/bin/",
         true,
         false},
        {"installed, reached through a dotted path",
         {"opt/q/bin", "opt/q/share/quillane"},
         nullptr,
         "opt/q/bin/../bin",
         true,
         false},
        {"a copy in a bin folder with no installed data",
         {"tools/bin", "tools/share"},
         nullptr,
         "tools/bin",
         false,
         true},
        {"installed data beside a folder that is not bin",
         {"x/programs", "x/share/quillane"},
         nullptr,
         "x/programs",
         false,
         true},
        {"share/quillane is a file, not an install", {"y/bin", "y/share"}, "y/share/quillane", "y/bin", false, true},
        {"a folder that does not exist", {}, nullptr, "nowhere", false, false},
    };
    for (const FolderCase &c : cases) {
        TempFolder root;
        ASSERT_TRUE(root.isValid());
        for (const char *folder : c.folders) {
            ASSERT_TRUE(QDir().mkpath(root.file(S(folder))));
        }
        if (c.file) {
            ASSERT_TRUE(root.write(S(c.file), "not a folder"));
        }
        const QString executableFolder = root.file(S(c.executableFolder));
        const QString perUser = root.file(S("data/Orvantis/Quillane"));
        const QString chosen = ChooseProgramFolder(executableFolder, perUser);
        EXPECT_EQ(chosen, c.keepsFilesBesideTheExecutable ? QDir::cleanPath(executableFolder) : perUser) << c.name;
        EXPECT_EQ(IsInstalledExecutableFolder(executableFolder), c.installed) << c.name;
        EXPECT_EQ(QFileInfo(perUser).isDir(), !c.keepsFilesBesideTheExecutable) << c.name;
        if (QFileInfo(executableFolder).isDir()) {
            EXPECT_FALSE(QDir(executableFolder)
                             .entryList(QDir::Files | QDir::Hidden | QDir::System)
                             .join(QLatin1Char(' '))
                             .contains(S("quillane")))
                << c.name << ": the write probe leaves nothing behind";
        }
    }
}

TEST(ProgramFolder, aReadOnlyExecutableFolderSendsTheFilesToThePerUserFolder) {
    TempFolder root;
    const QString perUser = root.file(S("data/Quillane"));
    if (::geteuid() == 0) {
        // Root writes through any mode bits; only a read-only file system stops it.
        ScopedTmpfs readOnly(1 << 20);
        if (!readOnly.mounted()) {
            GTEST_SKIP() << "no read-only file system for root: " << readOnly.reason().toStdString();
        }
        ASSERT_EQ(
            ::mount(nullptr, QFile::encodeName(readOnly.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
            0);
        EXPECT_EQ(ChooseProgramFolder(readOnly.path(), perUser), perUser);
        return;
    }
    ASSERT_TRUE(QDir().mkpath(root.file(S("readonly"))));
    ASSERT_EQ(::chmod(QFile::encodeName(root.file(S("readonly"))).constData(), 0555), 0);
    EXPECT_EQ(ChooseProgramFolder(root.file(S("readonly")), perUser), perUser);
    ::chmod(QFile::encodeName(root.file(S("readonly"))).constData(), 0755);
}

TEST(ProgramFolder, aNewPerUserFolderIsTheOwnersAloneAndAnOldOneKeepsItsMode) {
    for (const mode_t umaskValue : {mode_t(0), mode_t(022), mode_t(077)}) {
        const mode_t previous = ::umask(umaskValue);
        TempFolder root;
        const QString perUser = root.file(S("data/Orvantis/Quillane"));
        EXPECT_EQ(ChooseProgramFolder(root.file(S("missing")), perUser), perUser);
        EXPECT_EQ(modeOf(perUser), mode_t(0700)) << "umask " << umaskValue;

        const QString existing = root.file(S("shared"));
        ASSERT_TRUE(QDir().mkpath(existing));
        ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), 0750), 0);
        EXPECT_EQ(ChooseProgramFolder(root.file(S("missing")), existing), existing);
        EXPECT_EQ(modeOf(existing), mode_t(0750)) << "a folder the user made is left as it is";
        ::umask(previous);
    }
}

} // namespace
