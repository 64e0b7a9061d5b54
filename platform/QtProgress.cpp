#include "platform/QtProgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>

namespace {

// How often a stage of many steps lets the windows paint and answer, in milliseconds.
constexpr qint64 kUpdateEvery = 40;

// A progress dialog that Escape and the close control cannot take away while its stage cannot be
// stopped.
class StageDialog final : public QProgressDialog {
public:
    StageDialog(QWidget *parent, bool cancellable) : QProgressDialog(parent), cancellable_(cancellable) {}

protected:
    void reject() override {
        if (cancellable_) {
            cancel();
        }
    }
    void closeEvent(QCloseEvent *event) override {
        if (cancellable_) {
            QProgressDialog::closeEvent(event);
        } else {
            event->ignore();
        }
    }

private:
    bool cancellable_;
};

} // namespace

QtProgress::QtProgress(int showAfterMs) : showAfterMs_(showAfterMs) {}

QtProgress::~QtProgress() {
    Close();
}

QProgressDialog *QtProgress::dialog() const {
    return dialog_.data();
}

void QtProgress::Open(const QString &title, const QString &text, int total, bool cancellable) {
    Close();
    auto *dialog = new StageDialog(QApplication::activeWindow(), cancellable);
    dialog->setObjectName(QStringLiteral("Progress"));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setWindowTitle(title);
    dialog->setLabelText(text);
    auto *bar = new QProgressBar(dialog);
    bar->setFormat(QStringLiteral("%v of %m"));
    bar->setTextVisible(true);
    dialog->setBar(bar);
    if (cancellable) {
        // The dialog's own button keeps the one Escape shortcut that goes with it (a second button
        // would add a second, and two Escape shortcuts cancel each other out).
        dialog->setCancelButtonText(QStringLiteral("&Cancel"));
        if (auto *cancel = dialog->findChild<QPushButton *>()) {
            cancel->setObjectName(QStringLiteral("cmdCancel"));
        }
    } else {
        dialog->setCancelButton(nullptr);
    }
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setMinimumDuration(showAfterMs_);
    dialog->setRange(0, std::max(total, 1));
    dialog->setValue(0);
    dialog_ = dialog;
    cancelled_ = false;
    sinceUpdate_.start();
}

bool QtProgress::Advance(int done) {
    if (!dialog_) {
        return true;
    }
    // Painting and taking input for every step would cost more than the steps; until the dialog
    // shows, each step only lets it judge whether to show.
    if (!dialog_->isVisible() || done >= dialog_->maximum() || sinceUpdate_.elapsed() >= kUpdateEvery) {
        // Once shown, the modal dialog takes the events here; the other windows are blocked, so
        // nothing else runs inside the job. Before that no event is taken at all.
        dialog_->setValue(std::min(done, dialog_->maximum()));
        sinceUpdate_.restart();
    }
    cancelled_ = cancelled_ || (dialog_ && dialog_->wasCanceled());
    return !cancelled_;
}

void QtProgress::Close() {
    if (dialog_) {
        delete dialog_.data();
    }
}
