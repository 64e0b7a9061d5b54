#pragma once

#include "platform/Progress.h"

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

// The real progress window: an application-modal QProgressDialog over the program's active
// window. While it is up, Advance lets Qt paint and take the Cancel button at most every few
// hundredths of a second, so a run of many small steps costs little.
class QtProgress final : public Progress {
public:
    // The window appears once a stage has run `showAfterMs` and is not nearly done.
    explicit QtProgress(int showAfterMs = 400);
    ~QtProgress() override;

    void Open(const QString &title, const QString &text, int total, bool cancellable) override;
    bool Advance(int done) override;
    void Close() override;

    // The dialog of the open stage, nullptr when none is open.
    QProgressDialog *dialog() const;

private:
    int showAfterMs_;
    QPointer<QProgressDialog> dialog_;
    QElapsedTimer sinceUpdate_;
    bool cancelled_ = false;
};
