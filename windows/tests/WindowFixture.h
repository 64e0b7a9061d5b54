#pragma once

#include "checkbook/CheckbookSettings.h"
#include "platform/testing/FakePlatform.h"
#include "windows/Program.h"
#include "windows/Twips.h"
#include "windows/frmMain.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// The three windows on the test doubles and a real file layer (with failure injection) in a
// temporary program folder.
class WindowFixture : public ::testing::Test, protected TestPlatform {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = std::make_unique<Program>(platform);
    }

    void TearDown() override {
        program.reset();
        flushDeletes();
    }

    // What Main does once the guard has let the program start.
    void start() {
        forms.Show(program->Splash());
        forms.Load(program->Main());
        forms.Load(program->Startup());
    }

    // start(), then Continue on the splash window.
    frmStartup *startAndContinue() {
        start();
        program->Splash()->cmdContinue->click();
        flushDeletes();
        frmStartup *startup = program->Startup();
        EXPECT_TRUE(QTest::qWaitForWindowActive(startup));
        return startup;
    }

    // Ends the program and starts a fresh one on the same folder and doubles.
    void restart() {
        program->EndProgram();
        flushDeletes();
        program = std::make_unique<Program>(platform);
        ender.ends = 0;
        messages.shown.clear();
        urls.opened.clear();
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QString path(const QString &name) const { return dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes) {
        QDir(dir.path()).mkpath(QFileInfo(path(name)).path());
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray readFile(const QString &name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray settingsBytes(const QStringList &values) {
        QByteArray bytes;
        for (const QString &value : values) {
            bytes += '"' + value.toLatin1() + "\"\r\n";
        }
        return bytes;
    }

    std::unique_ptr<Program> program;
};

// One control of a window as laid out in twips: its name, caption and tooltip, and its rectangle.
struct ControlLayout {
    const char *name;
    QString caption;
    QString toolTip;
    int left, top, width, height;
};

// The control's rectangle is the twips one at the screen's DPI; a caption that does not fit may widen it.
inline void ExpectPlaced(const QWidget *control, const ControlLayout &layout) {
    SCOPED_TRACE(layout.name);
    const QRect r = control->geometry();
    EXPECT_EQ(r.x(), TwipsToPixels(layout.left));
    EXPECT_EQ(r.y(), TwipsToPixels(layout.top));
    EXPECT_GE(r.width(), TwipsToPixels(layout.width));
    EXPECT_EQ(r.height(), TwipsToPixels(layout.height));
    EXPECT_EQ(control->toolTip(), layout.toolTip);
}

// Where a control puts ink: a label's text or the opaque part of its picture, else its whole box.
inline QRect InkRect(const QWidget *control) {
    const QRect box = control->geometry();
    const auto *label = qobject_cast<const QLabel *>(control);
    if (!label) {
        return box;
    }
    if (!label->pixmap().isNull()) {
        const QImage image = label->pixmap().toImage();
        QRect opaque;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) > 0) {
                    opaque |= QRect(x, y, 1, 1);
                }
            }
        }
        const qreal ratio = image.devicePixelRatio();
        return QRect(box.topLeft() + opaque.topLeft() / ratio, opaque.size() / ratio);
    }
    if (label->wordWrap()) {
        return QRect(box.x(), box.y(), box.width(), label->heightForWidth(box.width()));
    }
    return QRect(box.x(), box.y(), label->fontMetrics().horizontalAdvance(label->text()),
                 label->fontMetrics().height());
}

// Every caption fits its box, every control lies inside its panel, and no two controls draw over
// each other.
inline void ExpectReadable(const QWidget *panel) {
    SCOPED_TRACE(panel->objectName().toStdString());
    QList<const QWidget *> controls;
    for (const QObject *child : panel->children()) {
        if (child->isWidgetType()) {
            controls.append(static_cast<const QWidget *>(child));
        }
    }
    for (const QWidget *control : controls) {
        const std::string name = control->objectName().toStdString();
        const QRect box = control->geometry();
        EXPECT_TRUE(panel->rect().contains(box)) << name;
        if (const auto *label = qobject_cast<const QLabel *>(control); label && label->pixmap().isNull()) {
            const QRect ink = InkRect(label);
            EXPECT_LE(ink.width(), box.width()) << name;
            EXPECT_LE(ink.height(), box.height()) << name;
        }
        if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
            QString text = button->text();
            text.remove(QLatin1Char('&'));
            int needed = button->fontMetrics().horizontalAdvance(text);
            if (qobject_cast<const QRadioButton *>(button)) {
                needed += button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button) +
                          button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
            } else {
                needed += 6;
            }
            EXPECT_LE(needed, box.width()) << name;
            EXPECT_LE(button->fontMetrics().height(), box.height()) << name;
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(InkRect(controls[i]).intersects(InkRect(controls[j])))
                << controls[i]->objectName().toStdString() << " and " << controls[j]->objectName().toStdString();
        }
    }
}
