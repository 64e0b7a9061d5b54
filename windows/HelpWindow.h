#pragma once

#include "platform/Services.h"

#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

// The program's help: a small window browsing the guide bundled with the program. The help file
// path of the call is kept for the window's title bar only; the guide is always the bundled one.
// Where a page says <!--quillane:forms-->, it lists the check forms as the Forms folder holds them
// when the page is shown: the built-ins and the person's own.
class HelpWindow final : public HelpViewer {
public:
    // formsFolder: where the person's forms are; empty: the built-in forms alone.
    explicit HelpWindow(QString formsFolder = QString());
    ~HelpWindow() override;

    // Command 15 (and any other) opens the guide at its contents page; command 2 closes the window.
    void ShowHelp(const QString &helpFile, int command) override;

    // The window, once it has been shown.
    QWidget *window() const { return window_; }
    QTextBrowser *browser() const { return browser_; }

    // The guide's contents page.
    static const QString ContentsPage;
    static constexpr int CommandQuit = 2;
    // What stands in a page for the list of forms.
    static const QString FormsMarker;

private:
    QString formsFolder_;
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
};
