#pragma once

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The words of a PDF file with their boxes, as pdftotext -bbox reports them (poppler-utils).

// One word, in points from the top left of the sheet.
struct PdfWord {
    QString text;
    double xMin, yMin, xMax, yMax;
};
struct PdfPage {
    double width = 0, height = 0;
    QList<PdfWord> words;
};

// Runs a tool and returns its standard output; a failure is a test failure.
inline QString ToolOutput(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << qPrintable(program) << " failed: " << qPrintable(process.errorString())
                      << qPrintable(QString::fromUtf8(process.readAllStandardError()));
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString UnescapedXml(QString text) {
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

inline QList<PdfPage> ReadPdfWords(const QString &pdf) {
    const QString xhtml = ToolOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression element(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                       "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfPage> pages;
    for (auto it = element.globalMatch(xhtml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.hasCaptured(1)) {
            pages.append(PdfPage{m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (!pages.isEmpty()) {
            pages.last().words.append(PdfWord{UnescapedXml(m.captured(7)), m.captured(3).toDouble(),
                                              m.captured(4).toDouble(), m.captured(5).toDouble(),
                                              m.captured(6).toDouble()});
        }
    }
    return pages;
}
