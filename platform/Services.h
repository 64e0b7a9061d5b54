#pragma once

#include <QString>

// Opens a URL in the person's default browser.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void OpenURL(const QString &url) = 0;
};

class QtUrlOpener final : public UrlOpener {
public:
    void OpenURL(const QString &url) override;
};

// Shows the program's help; `command` is the help command (15 = the contents).
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void ShowHelp(const QString &helpFile, int command) = 0;
};

// Ends the program (End): no window handler runs after it.
class Ender {
public:
    virtual ~Ender() = default;
    virtual void End() = 0;
    virtual bool Ended() const = 0;
};

// Leaves the event loop; the windows are destroyed as the program returns from main().
class QtEnder final : public Ender {
public:
    void End() override;
    bool Ended() const override { return ended_; }

private:
    bool ended_ = false;
};
