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
};
