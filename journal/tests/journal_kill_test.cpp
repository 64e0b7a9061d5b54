// A program going round the whole run road on a server journal while its connection is killed at
// random moments: afterwards every number is printing, issued or free, never both still pending in
// the register and issued, and the run after the kills works.
#include "JournalEngines.h"
#include "JournalTestData.h"
#include "JournalWorker.h"

#include "journal/RunEnd.h"
#include "platform/QtFiles.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// The check numbers pending in the folder's register.
QStringList PendingNumbers(const QString &folder) {
    QtFiles files(folder);
    QList<RegisterRecord> pending;
    EXPECT_TRUE(ReadAllRecords(files, pending));
    QStringList numbers;
    for (const RegisterRecord &record : std::as_const(pending)) {
        numbers << record.CheckNo.trimmed();
    }
    return numbers;
}

// Numbers of the list the journal holds as issued.
QStringList IssuedOf(RawJournal &server, const QStringList &numbers) {
    QStringList both;
    for (const QString &number : server.column(S("SELECT check_no FROM checks WHERE status = 'issued'"))) {
        if (numbers.contains(number)) {
            both << number;
        }
    }
    return both;
}

TEST(JournalKilledConnection, aRunKilledAnywhereLeavesNoNumberBothPendingAndIssued) {
    const JournalPlace place = NewPlace(Engine::Server);
    ASSERT_TRUE(place.server);
    TempFolder folder;
    std::unique_ptr<QProcess> worker = StartWorker(S("road"), place, folder.path());
    ASSERT_TRUE(worker->waitForStarted());
    const QString kill = S("SELECT COUNT(*) FROM (SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                           "application_name = 'Quillane' AND datname = '%1') AS killed")
                             .arg(place.database);
    QRandomGenerator random(20261208);
    int kills = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 8000 && worker->state() == QProcess::Running) {
        // A moment anywhere in a run, or between runs: a run takes some tens of milliseconds.
        QThread::usleep(random.bounded(1000, 120000));
        QString killed;
        ASSERT_EQ(RunOnServer(place, kill, &killed), QString());
        kills += killed.toInt();
    }
    ASSERT_TRUE(folder.write(S("stop"), ""));
    QByteArray said;
    while (!said.contains("stopped\n") && worker->waitForReadyRead(60000)) {
        said += worker->readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("stopped\n")) << worker->readAllStandardError().toStdString();
    {
        // As the kills left it, before the next start: a check still pending in the register and
        // issued in the journal is only one whose file work the journal holds due.
        RawJournal server(place, QString());
        EXPECT_EQ(server.column(S("SELECT DISTINCT status FROM checks WHERE status NOT IN ('printing', 'issued')")),
                  QStringList());
        const QStringList both = IssuedOf(server, PendingNumbers(folder.path()));
        if (!both.isEmpty()) {
            EXPECT_NE(server.column(S("SELECT COUNT(*) FROM due_work")), Strings({"0"}))
                << "pending and issued with nothing due: " << both.join(QLatin1Char(' ')).toStdString();
        }
    }
    worker->write("go\n");
    ASSERT_TRUE(worker->waitForFinished(120000));
    said = worker->readAllStandardOutput();
    ASSERT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString() << said.toStdString();
    const QList<QByteArray> runs = said.trimmed().split(' ');
    ASSERT_EQ(runs.size(), 3) << said.toStdString();
    std::printf("%d connections killed; %s runs ended, %s failed\n", kills, runs[1].constData(), runs[2].constData());
    EXPECT_GT(kills, 0);
    EXPECT_GT(runs[2].toInt(), 0) << "some kill came in the middle of a run";
    EXPECT_GT(runs[1].toInt(), 1) << "runs between the kills ended";

    RawJournal server(place, QString());
    EXPECT_EQ(server.column(S("SELECT DISTINCT status FROM checks WHERE status NOT IN ('printing', 'issued')")),
              QStringList());
    EXPECT_EQ(IssuedOf(server, PendingNumbers(folder.path())), QStringList());
    QtFiles files(folder.path());
    // The setup's next number is past every number of the journal.
    const QStringList highest = server.column(S("SELECT MAX(check_no) FROM checks"));
    ASSERT_EQ(highest.size(), 1);
    EXPECT_GT(LoadSettings(files).settings.CheckNo.toLongLong(), highest[0].toLongLong());
}

} // namespace
