// Amount to words and the currency text, over a fixed set of 100,000 varied amounts: every count of
// digits from one cent to the largest amount a check takes equally often, typed in the forms the
// entry window accepts ("12", "12.5", "12.50"). The set comes from a seeded generator, so every run
// measures the same amounts.
#include "words/Currency.h"
#include "words/MoneyConverter.h"
#include "words/tests/TextWords.h"

#include <benchmark/benchmark.h>

#include <QLocale>

#include <algorithm>
#include <cstddef>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kAmountCount = 100000;
constexpr qint64 kLargestCents = 99999999999; // 999,999,999.99

struct Amounts {
    std::vector<QString> texts;
    std::vector<Currency> values;
};

const Amounts &TheAmounts() {
    static const Amounts amounts = [] {
        Amounts made;
        made.texts.reserve(kAmountCount);
        made.values.reserve(kAmountCount);
        std::mt19937_64 random(20261208);
        std::uniform_int_distribution<int> digitCount(1, 11);
        std::uniform_int_distribution<int> form(0, 3);
        for (std::size_t i = 0; i < kAmountCount; ++i) {
            qint64 top = 1;
            for (int d = digitCount(random); d > 0; --d) {
                top *= 10;
            }
            const qint64 cents =
                std::uniform_int_distribution<qint64>(top / 10, std::min(top - 1, kLargestCents))(random);
            QString text = QString::number(cents / 100);
            const int fraction = int(cents % 100);
            switch (form(random)) {
            case 0: // whole dollars only
                break;
            case 1: // one decimal
                text += QLatin1Char('.') + QString::number(fraction / 10);
                break;
            default: // two decimals, as the entry window keeps them
                text += QLatin1Char('.') + QString::number(fraction).rightJustified(2, u'0');
                break;
            }
            made.values.push_back(*Currency::fromText(text));
            made.texts.push_back(std::move(text));
        }
        return made;
    }();
    return amounts;
}

void BM_AmountToWordsText(benchmark::State &state) {
    const std::vector<QString> &texts = TheAmounts().texts;
    for (auto _ : state) {
        for (const QString &text : texts) {
            QString words = AmountToWords(text);
            benchmark::DoNotOptimize(words);
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(texts.size()));
}
// One iteration is one pass over the whole set.
BENCHMARK(BM_AmountToWordsText)->Unit(benchmark::kMillisecond);

void BM_AmountToWordsCurrency(benchmark::State &state) {
    const std::vector<Currency> &values = TheAmounts().values;
    for (auto _ : state) {
        for (Currency value : values) {
            QString words = AmountToWords(value);
            benchmark::DoNotOptimize(words);
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(values.size()));
}
BENCHMARK(BM_AmountToWordsCurrency)->Unit(benchmark::kMillisecond);

void BM_FormatCurrency(benchmark::State &state) {
    const std::vector<Currency> &values = TheAmounts().values;
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    for (auto _ : state) {
        for (Currency value : values) {
            QString figures = FormatCurrency(value, locale);
            benchmark::DoNotOptimize(figures);
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(values.size()));
}
BENCHMARK(BM_FormatCurrency)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
