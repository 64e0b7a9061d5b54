#include "windows/HelpWindow.h"

#include "forms/BuiltInForms.h"
#include "forms/FormFile.h"
#include "windows/Controls.h"
#include "windows/Twips.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

const QString HelpWindow::ContentsPage = QStringLiteral("qrc:/help/index.html");
const QString HelpWindow::FormsMarker = QStringLiteral("<!--quillane:forms-->");

namespace {

// The forms as a list: name, checks per sheet, built-in or the person's own.
QString formsList(const QString &formsFolder) {
    const QList<CheckForm> forms = formsFolder.isEmpty() ? BuiltInForms() : FormCatalog(formsFolder).Forms();
    QString html = QStringLiteral("<ul>");
    for (const CheckForm &form : forms) {
        const int checks = form.ChecksPerSheet();
        html += QStringLiteral("<li><i>%1</i>: %2 %3 to a sheet, %4</li>")
                    .arg(form.Name.toHtmlEscaped())
                    .arg(checks)
                    .arg(checks == 1 ? QStringLiteral("check") : QStringLiteral("checks"),
                         form.BuiltIn ? QStringLiteral("built-in") : QStringLiteral("your own"));
    }
    return html + QStringLiteral("</ul>");
}

// Shows the guide's pages with the list of forms filled in as each page is loaded.
class HelpBrowser final : public QTextBrowser {
public:
    HelpBrowser(QWidget *parent, const QString &formsFolder) : QTextBrowser(parent), formsFolder_(formsFolder) {}

    QVariant loadResource(int type, const QUrl &name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource) {
            return resource;
        }
        QString page = resource.typeId() == QMetaType::QByteArray ? QString::fromUtf8(resource.toByteArray())
                                                                  : resource.toString();
        if (!page.contains(HelpWindow::FormsMarker)) {
            return resource;
        }
        return page.replace(HelpWindow::FormsMarker, formsList(formsFolder_));
    }

private:
    QString formsFolder_;
};

} // namespace

HelpWindow::HelpWindow(QString formsFolder) : formsFolder_(std::move(formsFolder)) {
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
        browser_ = new HelpBrowser(window_, formsFolder_);
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
    // Pages are read again when shown: the forms may have changed since.
    browser_->setSource(QUrl(ContentsPage));
    browser_->reload();
    window_->show();
    window_->raise();
    window_->activateWindow();
}
