#pragma once

#include "platform/Platform.h"
#include "print/PrintRun.h"

#include <QString>

// Shows the pending checks as the print run would print them on the named printer (empty: the
// system's default), its offsets included, each sheet with the check forms' outlines drawn faintly.
// Prints nothing and changes nothing: the preview's drawing runs the print run on the preview's own
// printer, answering its questions quietly. Print: the person asked to print from the preview.
PrintPreview::Answer PreviewPendingChecks(Platform &platform, const PrintRequest &request, const QString &printerName);
