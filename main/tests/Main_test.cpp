#include "main/Main.h"

#include "platform/Fonts.h"
#include "platform/testing/FakePlatform.h"
#include "windows/Program.h"
#include "windows/frmMain.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainTest : public ::testing::Test, protected TestPlatform {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void TearDown() override {
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString strayTemporary() {
        const QString name = dir.filePath(QStringLiteral(".DraftMere.txt.quillane-Ab12Cd.tmp"));
        EXPECT_TRUE(QtFiles::IsTemporaryName(QFileInfo(name).fileName()));
        QFile file(name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\"half a settings fi");
        return name;
    }

    FakeGuard guard;
    std::unique_ptr<Program> program;
};

// Records, in order, the first paint of the splash window and the first event of any object of the
// other two windows (their construction included).
class StartRecorder final : public QObject {
public:
    QStringList order;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QWidget *widget = watched->isWidgetType() ? static_cast<QWidget *>(watched)->window() : nullptr;
        if (widget) {
            const QString name = widget->objectName();
            if (name == QLatin1String("frmSplash") && watched == widget && event->type() == QEvent::Paint) {
                note(QStringLiteral("splash painted"));
            } else if (name == QLatin1String("frmMain") || name == QLatin1String("frmStartup")) {
                note(name);
            }
        }
        return false;
    }

private:
    void note(const QString &what) {
        if (!order.contains(what)) {
            order.append(what);
        }
    }
};

TEST_F(MainTest, aSecondCopyIsRefusedWithItsMessageAndEndsWithoutAWindow) {
    guard.running = true;
    const QString stray = strayTemporary();
    program = Main(platform, guard);
    EXPECT_EQ(program, nullptr);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.first().text, QStringLiteral("Quillane is already Running!"));
    EXPECT_EQ(messages.shown.first().title, QStringLiteral("Quillane"));
    EXPECT_EQ(messages.shown.first().buttons, MsgButtons::OK);
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
    // The running copy may be in the middle of a save: its temporary file stays.
    EXPECT_TRUE(QFile::exists(stray));
}

TEST_F(MainTest, startShowsThePaintedSplashThenLoadsTheOtherWindowsHidden) {
    StartRecorder recorder;
    qApp->installEventFilter(&recorder);
    program = Main(platform, guard);
    qApp->removeEventFilter(&recorder);
    ASSERT_NE(program, nullptr);
    ASSERT_GE(recorder.order.size(), 3);
    EXPECT_EQ(recorder.order.first(), QStringLiteral("splash painted"));
    ASSERT_EQ(forms.Count(), 3);
    EXPECT_EQ(forms.at(0)->objectName(), QStringLiteral("frmSplash"));
    EXPECT_EQ(forms.at(1)->objectName(), QStringLiteral("frmMain"));
    EXPECT_EQ(forms.at(2)->objectName(), QStringLiteral("frmStartup"));
    EXPECT_TRUE(program->Splash()->isVisible());
    EXPECT_FALSE(program->Main()->isVisible());
    EXPECT_FALSE(program->Startup()->isVisible());
    EXPECT_EQ(program->Splash()->lblVersion->text(), QStringLiteral("Version 2.0.0"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(ender.ends, 0);
}

TEST_F(MainTest, strayTemporariesGoBeforeTheSettingsAreRead) {
    const QString stray = strayTemporary();
    QFile settings(dir.filePath(QStringLiteral("DraftMere.txt")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("\"Bank\"\r\n\"12\"\r\n\"1001\"\r\n\"3\"\r\n\"Deluxe 3-On-A-Page\"\r\n");
    settings.close();
    program = Main(platform, guard);
    EXPECT_FALSE(QFile::exists(stray));
    program->Splash()->cmdContinue->click();
    EXPECT_TRUE(program->Startup()->isVisible());
    EXPECT_TRUE(program->Startup()->fraDraftmere->isVisible());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("DraftMere.txt")});
}

TEST_F(MainTest, endProgramUnloadsEveryWindowAndEndsOnce) {
    program = Main(platform, guard);
    QPointer<frmSplash> splash = program->Splash();
    QPointer<frmMain> entry = program->Main();
    QPointer<frmStartup> menu = program->Startup();
    program->Main()->close();
    EXPECT_EQ(ender.ends, 1);
    EXPECT_EQ(forms.Count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
    EXPECT_TRUE(entry.isNull());
    EXPECT_TRUE(menu.isNull());
}

TEST_F(MainTest, theApplicationStyleStillDrawsTheMenuBarOverflowArrow) {
    SetUpApplication();
    const QIcon arrow = QApplication::style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    EXPECT_FALSE(arrow.isNull());
    const QImage image = arrow.pixmap(16, 16).toImage();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 10);
    EXPECT_FALSE(QApplication::style()->standardIcon(QStyle::SP_DialogOkButton).isNull());
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeMenuBar));
}

// Ends a helper copy still running when the test leaves, whatever its outcome.
struct Stopper {
    QProcess &process;
    ~Stopper() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
};

// Runs the helper copy; returns its output once it has printed "running" or ended.
QString startCopy(QProcess &process, const QString &folder, const QString &lock) {
    process.start(QStringLiteral(GUARD_HELPER_PATH), {folder, lock});
    EXPECT_TRUE(process.waitForStarted(10000));
    QString output;
    while (!output.contains(QStringLiteral("running")) && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(10000);
        output += QString::fromLocal8Bit(process.readAllStandardOutput());
    }
    output += QString::fromLocal8Bit(process.readAllStandardOutput());
    return output;
}

TEST_F(MainTest, aSecondProcessIsRefusedWhileTheFirstRuns) {
    const QString lock = dir.filePath(QStringLiteral("quillane.lock"));
    QTemporaryDir folder;
    QProcess first;
    const Stopper stopFirst{first};
    const QString firstOutput = startCopy(first, folder.path(), lock);
    ASSERT_TRUE(firstOutput.contains(QStringLiteral("running"))) << firstOutput.toStdString();
    EXPECT_TRUE(firstOutput.contains(QStringLiteral("visible 1\n")));

    QProcess second;
    const Stopper stopSecond{second};
    const QString secondOutput = startCopy(second, folder.path(), lock);
    ASSERT_TRUE(second.state() == QProcess::NotRunning || second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 3);
    EXPECT_EQ(secondOutput, QStringLiteral("message|Quillane|Quillane is already Running!|0\nvisible 0\nended 1\n"));
    EXPECT_EQ(first.state(), QProcess::Running);

    // A copy that died leaves no lasting block.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    QProcess third;
    const Stopper stopThird{third};
    const QString thirdOutput = startCopy(third, folder.path(), lock);
    EXPECT_TRUE(thirdOutput.contains(QStringLiteral("running"))) << thirdOutput.toStdString();
}

} // namespace
