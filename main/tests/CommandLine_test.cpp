#include "main/CommandLine.h"
#include "main/Version.h"
#include "platform/AppObject.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

struct ReadCase {
    std::vector<const char *> arguments; // after the program's name
    CommandLineRequest expected;
};

TEST(CommandLine, onlyNoArgumentsOrOneOfTheTwoOptionsIsAccepted) {
    const std::vector<ReadCase> cases = {
        {{}, CommandLineRequest::Run},
        {{"--help"}, CommandLineRequest::Help},
        {{"--version"}, CommandLineRequest::Version},
        {{"--bogus"}, CommandLineRequest::Refused},
        {{"-h"}, CommandLineRequest::Refused},
        {{"-v"}, CommandLineRequest::Refused},
        {{"--HELP"}, CommandLineRequest::Refused},
        {{"--help="}, CommandLineRequest::Refused},
        {{"--versions"}, CommandLineRequest::Refused},
        {{"help"}, CommandLineRequest::Refused},
        {{""}, CommandLineRequest::Refused},
        {{"--"}, CommandLineRequest::Refused},
        {{"DraftMere.txt"}, CommandLineRequest::Refused},
        {{"--help", "--version"}, CommandLineRequest::Refused},
        {{"--version", "extra"}, CommandLineRequest::Refused},
        {{"--help", "--help"}, CommandLineRequest::Refused},
        // The toolkit's own options are no way in either.
        {{"-platform", "offscreen"}, CommandLineRequest::Refused},
        {{"-style=fusion"}, CommandLineRequest::Refused},
    };
    for (const ReadCase &c : cases) {
        std::vector<const char *> argv = {"quillane"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        argv.push_back(nullptr);
        EXPECT_EQ(ReadCommandLine(int(argv.size()) - 1, argv.data()), c.expected)
            << "arguments: " << c.arguments.size() << (c.arguments.empty() ? "" : c.arguments.front());
    }
}

// Reads back what was written to a temporary stream.
std::string contents(std::FILE *stream) {
    std::rewind(stream);
    std::string text;
    char buffer[256];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        text.append(buffer, n);
    }
    return text;
}

struct AnswerCase {
    CommandLineRequest request;
    int status;
    std::string out;
    std::string err;
};

TEST(CommandLine, eachAnswerGoesToItsStreamWithItsStatus) {
    const std::vector<AnswerCase> cases = {
        {CommandLineRequest::Help, 0, UsageText(), ""},
        {CommandLineRequest::Version, 0, std::string("Quillane ") + ProgramVersion + "\n", ""},
        {CommandLineRequest::Refused, 2, "", UsageText()},
    };
    for (const AnswerCase &c : cases) {
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        ASSERT_TRUE(out && err);
        EXPECT_EQ(AnswerCommandLine(c.request, out, err), c.status);
        EXPECT_EQ(contents(out), c.out);
        EXPECT_EQ(contents(err), c.err);
        std::fclose(out);
        std::fclose(err);
    }
}

TEST(CommandLine, anAnswerThatCannotBeWrittenIsNotASuccess) {
    std::FILE *full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr) << "/dev/full is needed for this test";
    EXPECT_EQ(AnswerCommandLine(CommandLineRequest::Help, full, stderr), 1);
    std::clearerr(full);
    EXPECT_EQ(AnswerCommandLine(CommandLineRequest::Version, full, stderr), 1);
    std::fclose(full);
}

TEST(CommandLine, usageNamesBothOptionsAndTheVersionIsTheProjects) {
    EXPECT_NE(UsageText().find("--help"), std::string::npos);
    EXPECT_NE(UsageText().find("--version"), std::string::npos);
    EXPECT_EQ(UsageText().rfind("Usage: quillane", 0), 0u);
    EXPECT_STREQ(ProgramVersion, QStringLiteral("%1.%2.%3")
                                     .arg(ProgramVersionMajor)
                                     .arg(ProgramVersionMinor)
                                     .arg(ProgramVersionPatch)
                                     .toLatin1()
                                     .constData());
    // The splash window's version line and --version tell the same version.
    const AppObject app;
    EXPECT_EQ(app.Major, ProgramVersionMajor);
    EXPECT_EQ(app.Minor, ProgramVersionMinor);
    EXPECT_EQ(app.Revision, ProgramVersionPatch);
}

struct ProcessCase {
    QStringList arguments;
    int status;
    QString out; // the whole of standard output
    QString err; // the whole of standard error
};

// The real executable, with no display of any kind to talk to: the answers must not need one.
TEST(CommandLine, theProgramAnswersWithoutADisplayAndRefusesEverythingElse) {
    const QString usage = QString::fromStdString(UsageText());
    const QString version = QStringLiteral("Quillane %1\n").arg(QLatin1String(ProgramVersion));
    const std::vector<ProcessCase> cases = {
        {{QStringLiteral("--help")}, 0, usage, QString()},
        {{QStringLiteral("--version")}, 0, version, QString()},
        {{QStringLiteral("--bogus")}, 2, QString(), usage},
        {{QStringLiteral("-h")}, 2, QString(), usage},
        {{QStringLiteral("extra")}, 2, QString(), usage},
        {{QStringLiteral("--version"), QStringLiteral("extra")}, 2, QString(), usage},
        {{QStringLiteral("--help"), QStringLiteral("--version")}, 2, QString(), usage},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen")}, 2, QString(), usage},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    for (const ProcessCase &c : cases) {
        const QString shown = c.arguments.join(QLatin1Char(' '));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QString::fromLocal8Bit(QUILLANE_PATH), c.arguments);
        ASSERT_TRUE(process.waitForFinished(20000)) << qPrintable(shown);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << qPrintable(shown);
        EXPECT_EQ(process.exitCode(), c.status) << qPrintable(shown);
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(out, c.out) << qPrintable(shown);
        EXPECT_EQ(err, c.err) << qPrintable(shown);
    }
}

} // namespace
