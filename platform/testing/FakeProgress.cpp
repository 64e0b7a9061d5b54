#include "platform/testing/FakeProgress.h"

void FakeProgress::Open(const QString &title, const QString &text, int total, bool cancellable) {
    stages.append(Stage{title, text, total, cancellable, {}});
    open = true;
}

bool FakeProgress::Advance(int done) {
    if (!stages.isEmpty()) {
        stages.last().steps.append(done);
    }
    if (onAdvance) {
        onAdvance(done);
    }
    const bool cancellable = !stages.isEmpty() && stages.last().cancellable;
    return !(cancellable && cancelAt > 0 && done >= cancelAt);
}

void FakeProgress::Close() {
    if (open) {
        ++closes;
    }
    open = false;
}
