#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

const std::array<const char *, 3> kAmounts = {"1234.56", "19.99", "123456789.99"};

void BM_AmountToWordsText(benchmark::State &state) {
    std::array<QString, kAmounts.size()> amounts;
    for (size_t i = 0; i < kAmounts.size(); ++i) {
        amounts[i] = QString::fromLatin1(kAmounts[i]);
    }
    size_t next = 0;
    for (auto _ : state) {
        QString words = AmountToWords(amounts[next]);
        benchmark::DoNotOptimize(words);
        next = next + 1 == amounts.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AmountToWordsText);

void BM_AmountToWordsCurrency(benchmark::State &state) {
    std::array<Currency, kAmounts.size()> amounts;
    for (size_t i = 0; i < kAmounts.size(); ++i) {
        amounts[i] = Currency::fromText(QString::fromLatin1(kAmounts[i])).value();
    }
    size_t next = 0;
    for (auto _ : state) {
        QString words = AmountToWords(amounts[next]);
        benchmark::DoNotOptimize(words);
        next = next + 1 == amounts.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AmountToWordsCurrency);

} // namespace

BENCHMARK_MAIN();
