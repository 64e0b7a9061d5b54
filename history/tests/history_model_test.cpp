#include "history/HistoryModel.h"
#include "history/tests/JournalFixture.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QList<qint64> FetchAllCheckNumbers(HistoryModel &model) {
    while (model.canFetchMore()) {
        model.fetchMore();
    }
    QList<qint64> numbers;
    for (int row = 0; row < model.rowCount(); ++row) {
        numbers << model.rowAt(row).checkNo;
    }
    return numbers;
}

// The payable total of these sample checks: the issued ones alone.
qint64 SampleTotal(const QList<qint64> &numbers) {
    qint64 total = 0;
    for (const TestCheck &check : SampleChecks()) {
        if (numbers.contains(check.checkNo) && qstrcmp(check.status, "issued") == 0) {
            total += check.cents;
        }
    }
    return total;
}

qint64 SampleCount(const QList<qint64> &numbers, bool issued) {
    qint64 count = 0;
    for (const TestCheck &check : SampleChecks()) {
        count += numbers.contains(check.checkNo) && (qstrcmp(check.status, "issued") == 0) == issued ? 1 : 0;
    }
    return count;
}

// The sample checks in a journal of the engine engine() names: the file unless a test runs on both.
class HistoryModelTest : public ::testing::Test {
protected:
    virtual Engine engine() const { return Engine::File; }
    void SetUp() override {
        journal_ = std::make_unique<EngineJournal>(engine());
        firstId = journal_->add(SampleChecks());
    }
    EngineJournal &journal() { return *journal_; }

    qint64 firstId = 0;

private:
    std::unique_ptr<EngineJournal> journal_;
};

class HistoryOnBothEngines : public HistoryModelTest, public ::testing::WithParamInterface<Engine> {
protected:
    Engine engine() const override { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Engines, HistoryOnBothEngines, ::testing::Values(Engine::File, Engine::Server), EngineName);

TEST_P(HistoryOnBothEngines, readsPageByPageUntilTheEnd) {
    QList<TestCheck> many;
    for (int i = 0; i < 995; ++i) {
        many.append({2000 + i, "2026-12-02", "Bulk payee", 100 + i});
    }
    journal().add(many);
    HistoryModel model(journal().connection);
    model.setPageSize(100);
    model.setFilter(HistoryFilter{});
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_TRUE(model.canFetchMore());
    EXPECT_EQ(model.matchingCount(), 1003);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.fetchMore();
    EXPECT_EQ(model.rowCount(), 200);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 100);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 199);

    const QList<qint64> numbers = FetchAllCheckNumbers(model);
    EXPECT_FALSE(model.canFetchMore());
    ASSERT_EQ(numbers.size(), 1003);
    for (qsizetype i = 1; i < numbers.size(); ++i) {
        ASSERT_LT(numbers[i - 1], numbers[i]) << "at " << i;
    }
    EXPECT_EQ(numbers.last(), 2994);
}

struct FilterRow {
    const char *label;
    HistoryFilter filter;
    QList<qint64> expected; // check numbers in check-number order
};

void PrintTo(const FilterRow &row, std::ostream *out) {
    *out << row.label;
}

HistoryFilter Payee(const char *text, StatusFilter status = StatusFilter::All) {
    HistoryFilter filter;
    filter.payee = QString::fromUtf8(text);
    filter.status = status;
    return filter;
}

HistoryFilter Dates(QDate from, QDate to) {
    HistoryFilter filter;
    filter.from = from;
    filter.to = to;
    return filter;
}

HistoryFilter Numbers(std::optional<qint64> from, std::optional<qint64> to) {
    HistoryFilter filter;
    filter.checkFrom = from;
    filter.checkTo = to;
    return filter;
}

HistoryFilter Status(StatusFilter status) {
    HistoryFilter filter;
    filter.status = status;
    return filter;
}

class HistoryFilterTest : public HistoryModelTest, public ::testing::WithParamInterface<std::tuple<Engine, FilterRow>> {
protected:
    Engine engine() const override { return std::get<0>(GetParam()); }
    const FilterRow &row() const { return std::get<1>(GetParam()); }
};

TEST_P(HistoryFilterTest, showsExactlyTheMatchingChecksAndTheirTotal) {
    HistoryModel model(journal().connection);
    model.setPageSize(3); // the count and total must not depend on the rows read so far
    model.setFilter(row().filter);
    EXPECT_TRUE(model.lastError().isEmpty()) << model.lastError().toStdString();
    EXPECT_EQ(model.matchingCount(), row().expected.size());
    EXPECT_EQ(model.totalCents(), SampleTotal(row().expected));
    EXPECT_EQ(model.issuedCount(), SampleCount(row().expected, true));
    EXPECT_EQ(model.voidedCount(), SampleCount(row().expected, false));
    EXPECT_EQ(FetchAllCheckNumbers(model), row().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, HistoryFilterTest,
    ::testing::Combine(
        ::testing::Values(Engine::File, Engine::Server),
        ::testing::Values(
            FilterRow{"none", HistoryFilter{}, {998, 1001, 1002, 1003, 1004, 1005, 1006, 1007}},
            FilterRow{"payee lower-case umlaut", Payee("m\xc3\xbcller"), {1003}},
            FilterRow{"payee upper-case umlaut", Payee("M\xc3\x9cLLER"), {1003}},
            FilterRow{"payee ascii any case", Payee("mUlLeR"), {998}},
            FilterRow{"payee accented capital", Payee("\xc3\xa9lodie"), {1005, 1006}},
            FilterRow{"payee with comma", Payee("acme, "), {1001}},
            FilterRow{"payee with quote", Payee("\"best\""), {1002}},
            FilterRow{"payee across a line break", Payee("one\r\nline"), {1004}},
            FilterRow{"star is literal", Payee("*"), {1007}}, FilterRow{"question mark is literal", Payee("?"), {1007}},
            FilterRow{"brackets are literal", Payee("[star*]"), {1007}},
            FilterRow{"closing bracket alone", Payee("]"), {1007}},
            FilterRow{"no wildcard between letters", Payee("a*c"), {}}, FilterRow{"percent is literal", Payee("%"), {}},
            FilterRow{"underscore is literal", Payee("_"), {}}, FilterRow{"backslash is literal", Payee("\\"), {}},
            FilterRow{"star after a non-ASCII letter is literal", Payee("\xc3\xa9*"), {}},
            FilterRow{"question mark after a non-ASCII letter is literal", Payee("\xc3\xa9?"), {}},
            FilterRow{"issued only", Status(StatusFilter::Issued), {998, 1001, 1002, 1004, 1006, 1007}},
            FilterRow{"voided takes in reprinted", Status(StatusFilter::Voided), {1003, 1005}},
            FilterRow{"date range inclusive", Dates({2026, 11, 15}, {2026, 12, 1}), {1003, 1004, 1005, 1006}},
            FilterRow{"date from only", Dates({2026, 12, 1}, {}), {1005, 1006, 1007}},
            FilterRow{"date to only", Dates({}, {2026, 11, 2}), {998, 1001, 1002}},
            FilterRow{"reversed date range", Dates({2026, 12, 1}, {2026, 11, 1}), {}},
            FilterRow{"check number range inclusive", Numbers(1002, 1004), {1002, 1003, 1004}},
            FilterRow{"check number from only", Numbers(1006, std::nullopt), {1006, 1007}},
            FilterRow{"check number to only", Numbers(std::nullopt, 998), {998}},
            FilterRow{"payee and status together", Payee("\xc3\xa9", StatusFilter::Issued), {1006}})));

struct SortRow {
    const char *label;
    int column;
    Qt::SortOrder order;
    QList<qint64> expected;
};

void PrintTo(const SortRow &row, std::ostream *out) {
    *out << row.label;
}

class HistorySortTest : public HistoryModelTest, public ::testing::WithParamInterface<std::tuple<Engine, SortRow>> {
protected:
    Engine engine() const override { return std::get<0>(GetParam()); }
    const SortRow &row() const { return std::get<1>(GetParam()); }
};

TEST_P(HistorySortTest, ordersEveryRowByTheColumnThenByJournalOrder) {
    HistoryModel model(journal().connection);
    model.setPageSize(2);
    model.setFilter(HistoryFilter{});
    model.sort(row().column, row().order);
    EXPECT_EQ(FetchAllCheckNumbers(model), row().expected);
    EXPECT_EQ(model.matchingCount(), 8);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, HistorySortTest,
    ::testing::Combine(
        ::testing::Values(Engine::File, Engine::Server),
        ::testing::Values(
            SortRow{
                "number ascending", ColCheckNo, Qt::AscendingOrder, {998, 1001, 1002, 1003, 1004, 1005, 1006, 1007}},
            SortRow{"number descending",
                    ColCheckNo,
                    Qt::DescendingOrder,
                    {1007, 1006, 1005, 1004, 1003, 1002, 1001, 998}},
            SortRow{"date ascending", ColDate, Qt::AscendingOrder, {998, 1001, 1002, 1003, 1004, 1005, 1006, 1007}},
            SortRow{"date descending, ties newest first",
                    ColDate,
                    Qt::DescendingOrder,
                    {1007, 1006, 1005, 1004, 1003, 1002, 1001, 998}},
            SortRow{
                "payee ignoring case", ColPayee, Qt::AscendingOrder, {1001, 1004, 998, 1003, 1002, 1007, 1005, 1006}},
            SortRow{"payee descending", ColPayee, Qt::DescendingOrder, {1006, 1005, 1007, 1002, 1003, 998, 1004, 1001}},
            SortRow{"amount", ColAmount, Qt::AscendingOrder, {1007, 1003, 1002, 998, 1005, 1006, 1001, 1004}},
            SortRow{"memo", ColMemo, Qt::AscendingOrder, {1003, 1007, 1005, 1006, 1001, 998, 1004, 1002}},
            SortRow{"status", ColStatus, Qt::AscendingOrder, {1001, 1002, 1004, 1006, 1007, 998, 1005, 1003}},
            SortRow{
                "account number", ColAccountNo, Qt::AscendingOrder, {1001, 1002, 1003, 1004, 1005, 1006, 998, 1007}})));

TEST_F(HistoryModelTest, indexedColumnsSortWithoutSortingTheTable) {
    QSqlDatabase db = QSqlDatabase::database(journal().connection);
    for (const int column : {ColCheckNo, ColDate, ColPayee}) {
        for (const bool descending : {false, true}) {
            QSqlQuery plan(db);
            ASSERT_TRUE(plan.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT ") + HistorySelectColumns() +
                                  HistoryFrom() + BuildOrderBy(HistorySort{column, descending}, SqlEngine::Embedded)));
            QString details;
            while (plan.next()) {
                details += plan.value(3).toString() + QLatin1Char('\n');
            }
            EXPECT_TRUE(details.contains(QStringLiteral("INDEX checks_"))) << details.toStdString();
            EXPECT_FALSE(details.contains(QStringLiteral("TEMP B-TREE"))) << details.toStdString();
        }
    }
}

TEST_P(HistoryOnBothEngines, showsEachColumnAsPeopleReadIt) {
    HistoryModel model(journal().connection);
    model.setFilter(HistoryFilter{});
    const auto text = [&](qint64 checkNo, int column) {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.rowAt(row).checkNo == checkNo) {
                return model.data(model.index(row, column)).toString();
            }
        }
        return QStringLiteral("<missing>");
    };
    EXPECT_EQ(text(1001, ColAmount), QStringLiteral("1,234.50"));
    EXPECT_EQ(text(1004, ColAmount), QStringLiteral("1,000,000.00"));
    EXPECT_EQ(text(1003, ColAmount), QStringLiteral("0.50"));
    EXPECT_EQ(text(1001, ColStatus), QStringLiteral("Issued"));
    EXPECT_EQ(text(1003, ColStatus), QStringLiteral("Void: lost in the mail (2026-11-20)"));
    EXPECT_EQ(text(1005, ColStatus), QStringLiteral("Reprinted as 1006: spoiled (2026-12-01)"));
    EXPECT_EQ(text(1007, ColAccountNo), QStringLiteral("7654321"));
    EXPECT_EQ(text(1003, ColPayee), QString::fromUtf8("M\xc3\xbcller & S\xc3\xb6hne"));
    EXPECT_EQ(text(1002, ColDate), QStringLiteral("2026-11-02"));
    EXPECT_EQ(model.headerData(ColCheckNo, Qt::Horizontal).toString(), QStringLiteral("Check No."));
    EXPECT_EQ(model.columnCount(), ColumnCount);
}

TEST_F(HistoryModelTest, aClosedJournalShowsNothingAndSaysWhy) {
    HistoryModel model(QStringLiteral("no-such-connection"));
    QSignalSpy totals(&model, &HistoryModel::totalsChanged);
    model.setFilter(HistoryFilter{});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore());
    EXPECT_FALSE(model.lastError().isEmpty());
    EXPECT_EQ(totals.size(), 1);
}

TEST_F(HistoryModelTest, aJournalNotWrittenYetIsAnEmptyHistoryWithoutAnError) {
    HistoryModel model(QString{});
    model.setFilter(HistoryFilter{});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.lastError().isEmpty()) << model.lastError().toStdString();
}

// A void through the journal's one connection while the history's read of a long list is still
// open: the read is let go first, the void is written, and a refresh shows it.
TEST_P(HistoryOnBothEngines, aVoidThroughTheJournalGoesThroughWhileTheListIsHalfRead) {
    QList<TestCheck> many;
    for (int i = 0; i < 300; ++i) {
        many.append({3000 + i, "2026-12-02", "Bulk payee", 100});
    }
    journal().add(many);
    CheckJournal &checks = journal().checks();
    HistoryModel model(checks.ConnectionName());
    model.setPageSize(50);
    model.setFilter(Status(StatusFilter::Issued));
    ASSERT_TRUE(model.canFetchMore());
    EXPECT_EQ(model.matchingCount(), 306);
    model.finishReading();
    const FileResult voided = checks.VoidCheck(firstId, QStringLiteral("stolen"), QDate(2026, 12, 3));
    ASSERT_TRUE(voided.ok) << voided.error.toStdString();
    model.refresh();
    EXPECT_EQ(model.matchingCount(), 305);
    EXPECT_EQ(model.issuedCount(), 305);
    EXPECT_EQ(model.totalCents(), SampleTotal({998, 1002, 1004, 1006, 1007}) + 300 * 100);
    EXPECT_EQ(model.rowCount(), 50);
}

HistoryFilter Who(const char *user, const char *computer = "", StatusFilter status = StatusFilter::All) {
    HistoryFilter filter;
    filter.user = QString::fromLatin1(user);
    filter.computer = QString::fromLatin1(computer);
    filter.status = status;
    return filter;
}

struct WhoRow {
    const char *label;
    HistoryFilter filter;
    const char *payees; // sorted, joined by ", "
    qint64 awaiting;
};

void PrintTo(const WhoRow &row, std::ostream *out) {
    *out << row.label;
}

class WhoFilterTest : public ::testing::TestWithParam<std::tuple<Engine, WhoRow>> {};

// A person or computer filter takes in every check they had a hand in: printed, voided, asked for
// or approved. Checks without a number are counted and filtered like the rest.
TEST_P(WhoFilterTest, showsTheChecksThePersonOrComputerHadAHandIn) {
    const auto &[engine, row] = GetParam();
    EngineJournal journal(engine);
    journal.add(WhoChecks());
    HistoryModel model(journal.connection);
    model.setPageSize(2);
    model.setFilter(row.filter);
    ASSERT_TRUE(model.lastError().isEmpty()) << model.lastError().toStdString();
    while (model.canFetchMore()) {
        model.fetchMore();
    }
    QStringList payees;
    for (int i = 0; i < model.rowCount(); ++i) {
        payees << model.rowAt(i).payee;
    }
    payees.sort();
    EXPECT_EQ(payees.join(QStringLiteral(", ")), QString::fromLatin1(row.payees));
    EXPECT_EQ(model.matchingCount(), payees.size());
    EXPECT_EQ(model.awaitingCount(), row.awaiting);
}

INSTANTIATE_TEST_SUITE_P(
    People, WhoFilterTest,
    ::testing::Combine(
        ::testing::Values(Engine::File, Engine::Server),
        ::testing::Values(
            WhoRow{"anyone", Who(""), "Approved by carol, Printed by anna, Voided by anna, Waiting for carol", 1},
            WhoRow{"who printed one and voided another", Who("anna"), "Printed by anna, Voided by anna", 0},
            WhoRow{"who printed one and asked for two", Who("bob"),
                   "Approved by carol, Voided by anna, Waiting for carol", 1},
            WhoRow{"who approved", Who("carol"), "Approved by carol", 0},
            WhoRow{"the approver's computer", Who("", "laptop"), "Approved by carol", 0},
            WhoRow{"the computer printed on and voided on", Who("", "office-pc"), "Printed by anna, Voided by anna", 0},
            WhoRow{"a person and a computer together", Who("bob", "office-pc"), "Voided by anna", 0},
            WhoRow{"awaiting approval", Who("", "", StatusFilter::Awaiting), "Waiting for carol", 1},
            WhoRow{"awaiting approval by the approver", Who("carol", "", StatusFilter::Awaiting), "", 0},
            WhoRow{"someone unknown", Who("dave"), "", 0})));

class WhoColumnsTest : public ::testing::TestWithParam<Engine> {};

INSTANTIATE_TEST_SUITE_P(Engines, WhoColumnsTest, ::testing::Values(Engine::File, Engine::Server), EngineName);

TEST_P(WhoColumnsTest, showWhoDidWhatAndNoNumberBeforePrinting) {
    EngineJournal journal(GetParam());
    journal.add(WhoChecks());
    HistoryModel model(journal.connection);
    model.setFilter(HistoryFilter{});
    ASSERT_EQ(model.rowCount(), 4);
    const auto cell = [&](const char *payee, int column, int role = Qt::DisplayRole) {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.rowAt(row).payee == QLatin1String(payee)) {
                return model.data(model.index(row, column), role).toString();
            }
        }
        return QStringLiteral("<missing>");
    };
    const struct {
        const char *payee;
        const char *number;
        const char *status;
        const char *by;
        const char *tooltip;
    } expected[] = {
        {"Printed by anna", "4001", "Issued", "anna@office-pc", "Printed by anna on office-pc, 2026-12-02"},
        {"Voided by anna", "4002", "Void: wrong amount (2026-12-03)", "bob@desk-2",
         "Printed by bob on desk-2, 2026-12-02\nVoided by anna on office-pc, 2026-12-03"},
        {"Waiting for carol", "", "awaiting approval", "asked: bob@desk-2", "Asked for by bob on desk-2, 2026-12-04"},
        {"Approved by carol", "", "approved", "asked: bob@desk-2",
         "Asked for by bob on desk-2, 2026-12-04\nApproved by carol on laptop, 2026-12-04"},
    };
    for (const auto &check : expected) {
        SCOPED_TRACE(check.payee);
        EXPECT_EQ(cell(check.payee, ColCheckNo), QString::fromLatin1(check.number));
        EXPECT_EQ(cell(check.payee, ColStatus), QString::fromLatin1(check.status));
        EXPECT_EQ(cell(check.payee, ColBy), QString::fromLatin1(check.by));
        EXPECT_EQ(cell(check.payee, ColBy, Qt::ToolTipRole), QString::fromLatin1(check.tooltip));
    }
    // Every column sorts with the checks that have no number or no run among the rest.
    for (int column = 0; column < ColumnCount; ++column) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            model.sort(column, order);
            EXPECT_TRUE(model.lastError().isEmpty()) << column << ": " << model.lastError().toStdString();
            EXPECT_EQ(model.rowCount(), 4) << column;
        }
    }
    QStringList users;
    QStringList computers;
    QString error;
    ASSERT_TRUE(LoadWhoChoices(journal.connection, &users, &computers, &error)) << error.toStdString();
    EXPECT_EQ(users.join(QLatin1Char(' ')), QStringLiteral("anna bob carol"));
    EXPECT_EQ(computers.join(QLatin1Char(' ')), QStringLiteral("desk-2 laptop office-pc"));
}

// On the server the first page of a sort by number, date or payee walks that column's index: the
// server never sorts every check before the first row comes back.
TEST(HistoryOnTheServer, theFirstPageOfAnIndexedSortWalksItsIndex) {
    EngineJournal journal(Engine::Server);
    // Ten checks a day, to as many payees, as an office writes them.
    QList<QByteArray> texts(6000);
    QList<TestCheck> many;
    for (int i = 0; i < 3000; ++i) {
        texts[2 * i] = QByteArray("Payee ") + QByteArray::number((i * 7919) % 3000);
        texts[2 * i + 1] = QDate(2025, 1, 1).addDays(i / 10).toString(Qt::ISODate).toLatin1();
        many.append({10000 + i, texts[2 * i + 1].constData(), texts[2 * i].constData(), 100 + i});
    }
    journal.add(many);
    ASSERT_EQ(RunOnServer(journal.place, QStringLiteral("ANALYZE")), QString());
    QSqlDatabase db = QSqlDatabase::database(journal.connection);
    for (const int column : {ColCheckNo, ColDate, ColPayee}) {
        for (const bool descending : {false, true}) {
            const WhereClause where = BuildWhere(HistoryFilter{}, SqlEngine::Server);
            // The server prepares no EXPLAIN: the first page's bounds are written in.
            QString page = HistoryPageSql(where, HistorySort{column, descending}, SqlEngine::Server);
            page.replace(QStringLiteral("LIMIT ? OFFSET ?"), QStringLiteral("LIMIT 200 OFFSET 0"));
            QSqlQuery plan(db);
            ASSERT_TRUE(plan.exec(QStringLiteral("EXPLAIN ") + page)) << plan.lastError().text().toStdString();
            QString lines;
            while (plan.next()) {
                lines += plan.value(0).toString() + QLatin1Char('\n');
            }
            SCOPED_TRACE(lines.toStdString());
            EXPECT_TRUE(lines.contains(QStringLiteral("Index Scan")));
            EXPECT_FALSE(lines.contains(QRegularExpression(QStringLiteral("->  Sort "))));
            EXPECT_FALSE(lines.contains(QStringLiteral("Seq Scan on checks")));
        }
    }
}

} // namespace
