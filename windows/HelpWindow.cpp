#include "windows/HelpWindow.h"

#include "windows/Controls.h"
#include "windows/Twips.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

const QString HelpWindow::ContentsPage = QStringLiteral("qrc:/help/index.html");

HelpWindow::HelpWindow() {
    InitWindowResources();
}

HelpWindow::~HelpWindow() {
    delete window_.data();
}

void HelpWindow::ShowHelp(const QString &helpFile, int command) {
    Q_UNUSED(helpFile);
    if (command == CommandQuit) {
        if (window_) {
            window_->hide();
        }
        return;
    }
    if (!window_) {
        window_ = new QWidget;
        window_->setObjectName(QStringLiteral("HelpWindow"));
        window_->setWindowTitle(QStringLiteral("Quillane Help"));
        auto *layout = new QVBoxLayout(window_);
        auto *buttons = new QHBoxLayout;
        auto *contents = new QPushButton(QStringLiteral("&Contents"), window_);
        auto *back = new QPushButton(QStringLiteral("&Back"), window_);
        contents->setObjectName(QStringLiteral("cmdContents"));
        back->setObjectName(QStringLiteral("cmdBack"));
        buttons->addWidget(contents);
        buttons->addWidget(back);
        buttons->addStretch();
        layout->addLayout(buttons);
        browser_ = new QTextBrowser(window_);
        browser_->setObjectName(QStringLiteral("helpBrowser"));
        browser_->setOpenExternalLinks(true);
        layout->addWidget(browser_);
        QTextBrowser *browser = browser_;
        QObject::connect(contents, &QPushButton::clicked, browser,
                         [browser] { browser->setSource(QUrl(ContentsPage)); });
        QObject::connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
        QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        back->setEnabled(false);
        window_->resize(TwipsToPixels(8400), TwipsToPixels(7800));
        UseWindowKeys(window_);
    }
    browser_->setSource(QUrl(ContentsPage));
    window_->show();
    window_->raise();
    window_->activateWindow();
}
