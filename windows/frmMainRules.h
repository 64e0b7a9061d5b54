#pragma once

#include "register/Amount.h"
#include "register/EntryRules.h"

#include <QString>
#include <QtGlobal>

// Rules of the check entry window that need no widgets.

// The largest next check number the checkbook setup keeps.
constexpr qint64 kLastCheckNo = 999999999;

// Blank checks left on the sheet in the printer after `used` more checks, starting from `left`
// (1 to 3): counts down by one per check and starts a full sheet of 3 when a sheet is used up.
int ChecksLeftAfter(int left, qint64 used, int perSheet = 3);

// Further forms of three checks needed when `pending` checks start on a sheet with `firstSheet`
// blank checks.
qint64 AdditionalForms(int firstSheet, qint64 pending);

// The print-summary text: the first form to load and, when the checks do not fit on it, the
// number of further forms.
QString PrintSummaryText(int firstSheet, qint64 firstCheckNo, qint64 pending);
