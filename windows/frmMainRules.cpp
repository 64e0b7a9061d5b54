#include "windows/frmMainRules.h"

int ChecksLeftAfter(int left, qint64 used, int perSheet) {
    if (used <= 0) {
        return left;
    }
    // Counting down from `left` and wrapping from 0 to perSheet repeats with period perSheet once it wraps.
    const qint64 remaining = left - used;
    if (remaining > 0) {
        return static_cast<int>(remaining);
    }
    const qint64 cycle = ((remaining - 1) % perSheet + perSheet) % perSheet;
    return static_cast<int>(cycle) + 1;
}

qint64 AdditionalForms(int firstSheet, qint64 pending) {
    if (pending <= firstSheet) {
        return 0;
    }
    return (pending - firstSheet + 2) / 3;
}

QString PrintSummaryText(int firstSheet, qint64 firstCheckNo, qint64 pending) {
    QString text = QStringLiteral("Load your First Check Form with ") + QString::number(firstSheet) +
                   QStringLiteral(" blank checks beginning with Check No. ") + QString::number(firstCheckNo) +
                   QStringLiteral(" into the printer");
    const qint64 more = AdditionalForms(firstSheet, pending);
    if (more > 0) {
        text += QStringLiteral("\nAdd an additional ");
        if (more > 1) {
            text += QString::number(more) + QLatin1Char(' ');
        }
        text += QStringLiteral("Check Form");
        if (more > 1) {
            text += QLatin1Char('s');
        }
    }
    return text;
}
