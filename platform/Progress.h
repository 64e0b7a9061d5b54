#pragma once

#include <QString>

// A window that shows how far a long job has come ("done of total" on a bar) and lets the
// person stop it with Cancel.
class Progress {
public:
    virtual ~Progress() = default;
    // Starts a stage of `total` steps with its title and a line of text. A cancellable stage has
    // a Cancel button (Escape and the close control do the same); any other stage cannot be
    // stopped. The window may wait a moment before it appears, so that short jobs do not flash it.
    virtual void Open(const QString &title, const QString &text, int total, bool cancellable) = 0;
    // `done` steps of the stage are finished; the windows are kept painted. False once the person
    // has cancelled a cancellable stage.
    virtual bool Advance(int done) = 0;
    // Takes the window away.
    virtual void Close() = 0;
};
