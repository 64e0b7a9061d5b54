// Two programs print on one account of one server journal at once, a thousand runs each: no number
// is used twice and none is lost.
#include "JournalEngines.h"
#include "JournalTestData.h"
#include "JournalWorker.h"

#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(JournalRace, twoProgramsTakingNumbersOnOneAccountNeverShareOrLoseOne) {
    constexpr int kRuns = 1000;
    const JournalPlace place = NewPlace(Engine::Server);
    ASSERT_TRUE(place.server);
    TempFolder folders[2];
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProcess> workers[2];
    for (int i = 0; i < 2; ++i) {
        workers[i] = StartWorker(S("race"), place, folders[i].path(), {QString::number(kRuns), QString::number(i + 1)});
    }
    // Every run a program ended: its first number and count, by run id.
    std::map<qint64, std::pair<qint64, int>> reported;
    int refusals = 0;
    for (auto &worker : workers) {
        ASSERT_TRUE(worker->waitForFinished(280000));
        EXPECT_EQ(worker->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
        int runs = 0;
        for (const QByteArray &line : worker->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 4 && parts[0] == "run") {
                ++runs;
                reported[parts[1].toLongLong()] = {parts[2].toLongLong(), parts[3].toInt()};
            } else if (parts.size() == 2 && parts[0] == "taken") {
                refusals += parts[1].toInt();
            }
        }
        EXPECT_EQ(runs, kRuns);
    }
    std::printf("2 x %d runs took %.1f s; %d times a program found its numbers just taken\n", kRuns,
                clock.elapsed() / 1000.0, refusals);
    EXPECT_GT(refusals, 0) << "the programs never met";

    RawJournal server(place, QString());
    const QStringList rows = server.column(S("SELECT check_no || ' ' || run_id || ' ' || status FROM checks ORDER BY "
                                             "check_no, id"));
    std::map<qint64, std::pair<qint64, int>> found; // by run id: the lowest number and the count
    qint64 expectedNo = 0;
    int twice = 0;
    int lost = 0;
    for (const QString &row : rows) {
        const QStringList parts = row.split(QLatin1Char(' '));
        ASSERT_EQ(parts.size(), 3) << row.toStdString();
        const qint64 number = parts[0].toLongLong();
        EXPECT_EQ(parts[2], S("issued")) << row.toStdString();
        if (expectedNo == 0) {
            expectedNo = number;
        }
        twice += number < expectedNo ? 1 : 0;
        lost += number > expectedNo ? static_cast<int>(number - expectedNo) : 0;
        expectedNo = number + 1;
        auto &run = found[parts[1].toLongLong()];
        run.first = run.second == 0 ? number : qMin(run.first, number);
        run.second += 1;
    }
    EXPECT_EQ(twice, 0) << "numbers used twice";
    EXPECT_EQ(lost, 0) << "numbers skipped between the runs";
    EXPECT_EQ(rows.isEmpty() ? 0 : rows[0].section(QLatin1Char(' '), 0, 0).toLongLong(), 1);
    EXPECT_EQ(found, reported) << "every run ended is in the journal in full, and no other";
}

} // namespace
