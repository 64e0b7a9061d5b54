#include "platform/QtFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

namespace {

QString S(const char *text) {
    return QString::fromUtf8(text);
}

const QString AppId = S(QUILLANE_APP_ID);
const QString Version = S(QUILLANE_VERSION);

struct ToolRun {
    bool finished = false;
    int code = -1;
    QString out;
    QString err;
};

ToolRun run(const QString &program, const QStringList &arguments, int timeoutMs = 300000) {
    QProcess process;
    process.start(program, arguments);
    ToolRun result;
    result.finished = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    result.code = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError()) + process.errorString();
    return result;
}

// Every file under root, as paths relative to it.
QSet<QString> filesUnder(const QString &root) {
    QSet<QString> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.insert(QDir(root).relativeFilePath(it.next()));
    }
    return files;
}

// The files a Debian or make install puts under its prefix, the guide's pages taken from the sources.
QSet<QString> expectedFiles(const QString &prefix) {
    QSet<QString> files = {
        prefix + S("bin/quillane"),
        prefix + S("share/applications/") + AppId + S(".desktop"),
        prefix + S("share/icons/hicolor/scalable/apps/") + AppId + S(".svg"),
        prefix + S("share/metainfo/") + AppId + S(".metainfo.xml"),
    };
    for (const QString &page : QDir(S(QUILLANE_HELP_SOURCE)).entryList(QDir::Files)) {
        files.insert(prefix + S("share/quillane/help/") + page);
    }
    return files;
}

QString readText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The keys of the [Desktop Entry] group of a launcher entry.
QMap<QString, QString> desktopEntry(const QString &path) {
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QString &line : readText(path).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == S("[Desktop Entry]");
        } else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#'))) {
            keys.insert(line.section(QLatin1Char('='), 0, 0).trimmed(), line.section(QLatin1Char('='), 1));
        }
    }
    return keys;
}

// Builds the package once with the build's own CPack configuration and unpacks it with dpkg -x.
class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work = new QTemporaryDir;
        ASSERT_TRUE(work->isValid());
        const ToolRun cpack = run(S("cpack"), {S("--config"), S(QUILLANE_CPACK_CONFIG), S("-B"), work->path()});
        ASSERT_TRUE(cpack.finished && cpack.code == 0) << qPrintable(cpack.out + cpack.err);
        const QStringList debs = QDir(work->path()).entryList({S("quillane_*.deb")}, QDir::Files);
        ASSERT_EQ(debs.size(), 1) << qPrintable(debs.join(S(", ")));
        deb = work->filePath(debs.front());
        root = work->filePath(S("root"));
        const ToolRun unpack = run(S("dpkg"), {S("-x"), deb, root});
        ASSERT_TRUE(unpack.finished && unpack.code == 0) << qPrintable(unpack.err);
    }
    static void TearDownTestSuite() {
        delete work;
        work = nullptr;
    }
    void SetUp() override { ASSERT_FALSE(root.isEmpty()) << "the package was not built"; }

    static QString field(const QString &name) {
        const ToolRun control = run(S("dpkg-deb"), {S("--field"), deb, name});
        EXPECT_TRUE(control.finished && control.code == 0) << qPrintable(control.err);
        return control.out.trimmed();
    }
    static QString installed(const QString &relative) { return root + S("/") + relative; }

    static inline QTemporaryDir *work = nullptr;
    static inline QString deb;
    static inline QString root;
};

TEST_F(Package, holdsExactlyTheProgramItsLauncherEntryIconMetadataAndGuide) {
    EXPECT_EQ(filesUnder(root), expectedFiles(S("usr/")));
    EXPECT_TRUE(QFileInfo(deb).fileName().startsWith(S("quillane_") + Version + S("_")));
}

TEST_F(Package, ownsItsFilesAsRootWithTheUsualModes) {
    const ToolRun contents = run(S("dpkg-deb"), {S("--contents"), deb});
    ASSERT_TRUE(contents.finished && contents.code == 0) << qPrintable(contents.err);
    const QStringList lines = contents.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &line : lines) {
        const QStringList columns = line.simplified().split(QLatin1Char(' '));
        ASSERT_GE(columns.size(), 6) << qPrintable(line);
        EXPECT_EQ(columns[1], S("root/root")) << qPrintable(line);
        const QString path = columns[5];
        const QString mode = columns[0];
        if (mode.startsWith(QLatin1Char('d')) || path.endsWith(S("/bin/quillane"))) {
            EXPECT_EQ(mode.mid(1), S("rwxr-xr-x")) << qPrintable(line);
        } else {
            EXPECT_EQ(mode, S("-rw-r--r--")) << qPrintable(line);
        }
    }
}

TEST_F(Package, controlFieldsNameTheVersionAndEveryRuntimeDependency) {
    EXPECT_EQ(field(S("Package")), S("quillane"));
    EXPECT_EQ(field(S("Version")), Version);
    const ToolRun architecture = run(S("dpkg"), {S("--print-architecture")});
    EXPECT_EQ(field(S("Architecture")), architecture.out.trimmed());
    const QStringList depends = field(S("Depends")).split(S(", "));
    QStringList names;
    for (const QString &dependency : depends) {
        names << dependency.section(QLatin1Char(' '), 0, 0);
    }
    // Found by dpkg-shlibdeps in the program itself, and the two it cannot see.
    for (const char *needed : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                               "libqt6printsupport6", "libqt6svg6", "qt6-qpa-plugins", "fonts-liberation2"}) {
        EXPECT_TRUE(names.contains(S(needed))) << needed << " missing from: " << qPrintable(depends.join(S(", ")));
    }
}

TEST_F(Package, launcherEntryStartsTheInstalledProgramWithItsIconInOfficeAndFinance) {
    const QMap<QString, QString> entry = desktopEntry(installed(S("usr/share/applications/") + AppId + S(".desktop")));
    const std::vector<std::pair<const char *, const char *>> keys = {
        {"Type", "Application"},   {"Name", "Quillane"},  {"Exec", "quillane"},
        {"Icon", QUILLANE_APP_ID}, {"Terminal", "false"}, {"Categories", "Office;Finance;"},
    };
    for (const auto &[key, value] : keys) {
        EXPECT_EQ(entry.value(S(key)), S(value)) << key;
    }
    EXPECT_TRUE(QFileInfo(installed(S("usr/bin/") + entry.value(S("Exec")))).isExecutable());
    EXPECT_TRUE(
        QFileInfo::exists(installed(S("usr/share/icons/hicolor/scalable/apps/") + entry.value(S("Icon")) + S(".svg"))));
    EXPECT_TRUE(
        readText(installed(S("usr/share/icons/hicolor/scalable/apps/") + AppId + S(".svg"))).contains(S("<svg")));
}

TEST_F(Package, installedEntryAndMetadataPassTheirValidators) {
    const ToolRun desktop =
        run(S("desktop-file-validate"), {installed(S("usr/share/applications/") + AppId + S(".desktop"))});
    EXPECT_TRUE(desktop.finished) << qPrintable(desktop.err);
    EXPECT_EQ(desktop.code, 0) << qPrintable(desktop.out + desktop.err);
    EXPECT_EQ(desktop.out.trimmed(), QString()) << "no warning or hint either";

    const QString metainfoPath = installed(S("usr/share/metainfo/") + AppId + S(".metainfo.xml"));
    const ToolRun appstream = run(S("appstreamcli"), {S("validate"), S("--no-net"), S("--no-color"), metainfoPath});
    EXPECT_TRUE(appstream.finished) << qPrintable(appstream.err);
    EXPECT_EQ(appstream.code, 0) << qPrintable(appstream.out + appstream.err);
    EXPECT_FALSE(appstream.out.contains(S("E: ")) || appstream.out.contains(S("W: "))) << qPrintable(appstream.out);

    const QString metainfo = readText(metainfoPath);
    EXPECT_TRUE(metainfo.contains(S("<release version=\"") + Version + S("\""))) << "the release is the project's";
    EXPECT_TRUE(metainfo.contains(S("<launchable type=\"desktop-id\">") + AppId + S(".desktop</launchable>")));
    EXPECT_TRUE(metainfo.contains(S("<binary>quillane</binary>")));
}

TEST_F(Package, packagedProgramAnswersItsVersion) {
    const ToolRun version = run(installed(S("usr/bin/quillane")), {S("--version")}, 20000);
    EXPECT_TRUE(version.finished);
    EXPECT_EQ(version.code, 0) << qPrintable(version.err);
    EXPECT_EQ(version.out, S("Quillane ") + Version + S("\n"));
}

// The real program, started headless with its own home, until the stray temporary of an
// interrupted save in its program folder is gone: that tells which folder it chose.
struct FolderCase {
    const char *name;
    bool installed; // installed with cmake --install into a prefix, else a lone copy of the executable
};

TEST(InstalledProgram, keepsItsFilesInThePerUserFolderWhileAPortableCopyKeepsThemBesideItself) {
    for (const FolderCase c : {FolderCase{"installed into a prefix", true}, FolderCase{"portable copy", false}}) {
        QTemporaryDir work;
        ASSERT_TRUE(work.isValid());
        QString binFolder;
        if (c.installed) {
            const QString prefix = work.filePath(S("prefix"));
            const ToolRun install = run(S("cmake"), {S("--install"), S(QUILLANE_BUILD_DIR), S("--prefix"), prefix});
            ASSERT_TRUE(install.finished && install.code == 0) << qPrintable(install.out + install.err);
            EXPECT_EQ(filesUnder(prefix), expectedFiles(QString()));
            binFolder = prefix + S("/bin");
        } else {
            binFolder = work.filePath(S("portable"));
            ASSERT_TRUE(QDir().mkpath(binFolder));
            ASSERT_TRUE(QFile::copy(S(QUILLANE_PATH), binFolder + S("/quillane")));
        }
        const QString home = work.filePath(S("home"));
        const QString runtime = work.filePath(S("runtime"));
        const QString perUser = home + S("/.local/share/Orvantis/Quillane");
        ASSERT_TRUE(QDir().mkpath(perUser) && QDir().mkpath(runtime));
        ASSERT_TRUE(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        const QString strayName = S(".DraftMere.txt.quillane-Ab12Cd.tmp");
        ASSERT_TRUE(QtFiles::IsTemporaryName(strayName));
        for (const QString &folder : {binFolder, perUser}) {
            QFile stray(folder + S("/") + strayName);
            ASSERT_TRUE(stray.open(QIODevice::WriteOnly) && stray.write("\"half") == 5);
        }
        const QString chosen = c.installed ? perUser : binFolder;
        const QString other = c.installed ? binFolder : perUser;

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(S("HOME"), home);
        environment.insert(S("XDG_DATA_HOME"), home + S("/.local/share"));
        environment.insert(S("XDG_RUNTIME_DIR"), runtime);
        environment.insert(S("QT_QPA_PLATFORM"), S("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(binFolder + S("/quillane"), {});
        ASSERT_TRUE(program.waitForStarted(10000)) << c.name;
        QElapsedTimer timer;
        timer.start();
        bool ended = false;
        while (QFileInfo::exists(chosen + S("/") + strayName) && timer.elapsed() < 60000 && !ended) {
            ended = program.waitForFinished(50);
        }
        EXPECT_FALSE(ended) << c.name << ": " << program.readAllStandardError().constData();
        program.kill();
        program.waitForFinished(10000);

        EXPECT_FALSE(QFileInfo::exists(chosen + S("/") + strayName)) << c.name << ": the program's folder";
        EXPECT_TRUE(QFileInfo::exists(other + S("/") + strayName)) << c.name << ": not the program's folder";
        if (c.installed) {
            EXPECT_EQ(QDir(binFolder).entryList(QDir::Files | QDir::Hidden), QStringList({strayName, S("quillane")}))
                << "nothing is written beside an installed program";
        }
    }
}

} // namespace
