#pragma once

#include "platform/Progress.h"

#include <QList>
#include <QString>

#include <functional>

// Records every stage and step; the person "cancels" when a step reaches cancelAt.
class FakeProgress final : public Progress {
public:
    struct Stage {
        QString title;
        QString text;
        int total = 0;
        bool cancellable = false;
        QList<int> steps; // the values Advance was given
    };

    void Open(const QString &title, const QString &text, int total, bool cancellable) override;
    bool Advance(int done) override;
    void Close() override;

    // Advance answers false from the first step of a cancellable stage at or past this; 0: never.
    int cancelAt = 0;
    // Runs inside each Advance, e.g. to look at the windows while the job runs.
    std::function<void(int done)> onAdvance;
    QList<Stage> stages;
    bool open = false;
    int closes = 0;
};
