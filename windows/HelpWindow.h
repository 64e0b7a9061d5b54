#pragma once

#include "platform/Services.h"

#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

// The program's help: a small window browsing the guide bundled with the program. The help file
// path of the call is kept for the window's title bar only; the guide is always the bundled one.
class HelpWindow final : public HelpViewer {
public:
    HelpWindow();
    ~HelpWindow() override;

    // Command 15 (and any other) opens the guide at its contents page; command 2 closes the window.
    void ShowHelp(const QString &helpFile, int command) override;

    // The window, once it has been shown.
    QWidget *window() const { return window_; }
    QTextBrowser *browser() const { return browser_; }

    // The guide's contents page.
    static const QString ContentsPage;
    static constexpr int CommandQuit = 2;

private:
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
};
