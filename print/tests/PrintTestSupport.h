#pragma once

#include "platform/Platform.h"
#include "platform/QtFiles.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/RecordingPrinter.h"
#include "print/PrintRun.h"
#include "register/Register.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

// One pending check as its register record.
inline QByteArray RecordBytes(const QString &payTo, const QString &amount, const QString &memo) {
    RegisterRecord record;
    record.CheckNo = QStringLiteral("1001");
    record.CheckDate = QStringLiteral("12/07/2026");
    record.PayTo = payTo;
    record.Amount = amount;
    record.Memo = memo;
    record.Status = kStatusPrinted;
    return EncodeRecord(record);
}

// The platform of a print run in a temporary program folder, with a recording printer behind the
// printer dialog and message boxes that answer from a script.
struct PrintFixture : TestPlatform {

    PrinterLog log;
    // Applied to each printer the dialog hands out.
    std::function<void(RecordingPrinter &)> configure;

    PrintFixture() {
        app.Path = dir.path();
        printerDialog.makePrinter = [this] {
            auto printer = std::make_unique<RecordingPrinter>(log);
            if (configure) {
                configure(*printer);
            }
            return std::unique_ptr<Printer>(std::move(printer));
        };
    }

    QString RegisterPath() const { return dir.filePath(QStringLiteral("TempRegister.txt")); }

    void WriteFile(const QString &path, const QByteArray &bytes) const {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
    }
    void WriteRegister(const QByteArray &bytes) const { WriteFile(RegisterPath(), bytes); }
    QByteArray ReadRegister() const {
        QFile file(RegisterPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Pending checks with payees "Payee 1", "Payee 2", ... and amounts 1, 2, ...
    void WriteChecks(int count) const {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i) {
            bytes +=
                RecordBytes(QStringLiteral("Payee %1").arg(i), QString::number(i), QStringLiteral("Memo %1").arg(i));
        }
        WriteRegister(bytes);
    }

    PrintResult Run(const QString &style = QStringLiteral("Deluxe 3-On-A-Page"), int checksOnFirstSheet = 3) {
        PrintRequest request;
        request.CheckStyle = style;
        request.AcctNo = QStringLiteral("123-456789");
        request.ChecksOnFirstSheet = checksOnFirstSheet;
        return PrintPendingChecks(platform, request);
    }
};
