// The person's forms as they are read when needed: 100 form files in the Forms folder, each parsed and
// checked, against the 20 ms a list of forms may take to appear.
#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"
#include "platform/testing/TempFolder.h"

#include <benchmark/benchmark.h>

namespace {

void BM_LoadHundredFormFiles(benchmark::State &state) {
    TempFolder data;
    const QString folder = FormsFolder(data.path());
    // The wallet-size form has the most items of the built-ins (27 over three checks).
    CheckForm form = *BuiltInForm(kFormWalletSize);
    for (int n = 1; n <= 100; ++n) {
        form.Name = QStringLiteral("Form %1").arg(n);
        if (!SaveForm(folder, form)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    for (auto _ : state) {
        const LoadedForms loaded = LoadForms(folder);
        if (loaded.Forms.size() != BuiltInForms().size() + 100 || !loaded.Faults.isEmpty()) {
            state.SkipWithError("load failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_LoadHundredFormFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
