#pragma once

#include "platform/AppObject.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/MessageBoxes.h"
#include "platform/PrintPreview.h"
#include "platform/Printer.h"
#include "platform/PrinterList.h"
#include "platform/Progress.h"
#include "platform/SaveFileDialog.h"
#include "platform/Services.h"

#include <type_traits>

// Every platform service the program uses, handed to the windows and routines that need them.
struct Platform {
    AppObject &App;
    Files &files;
    MessageBoxes &messages;
    PrinterDialog &printerDialog;
    UrlOpener &urls;
    HelpViewer &help;
    Clock &clock;
    Ender &ender;
    Forms &forms;
    Progress &progress;
    SaveFileDialog &saveDialog;
    PrinterList &printers;
    PrintPreview &preview;

    // The same services with one swapped for another of its kind: platform.With(quietBoxes).
    template <typename Service> Platform With(Service &other) const {
        return {pick(App, other),    pick(files, other),    pick(messages, other),   pick(printerDialog, other),
                pick(urls, other),   pick(help, other),     pick(clock, other),      pick(ender, other),
                pick(forms, other),  pick(progress, other), pick(saveDialog, other), pick(printers, other),
                pick(preview, other)};
    }

private:
    template <typename Mine, typename Service> static Mine &pick(Mine &mine, Service &other) {
        if constexpr (std::is_base_of_v<Mine, Service>) {
            return other;
        } else {
            return mine;
        }
    }
};
