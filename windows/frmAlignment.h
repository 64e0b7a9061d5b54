#pragma once

#include "alignment/AlignmentFile.h"
#include "forms/CheckForm.h"

#include <QDialog>
#include <QLocale>
#include <QString>

class Program;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The printer alignment window: offsets per printer and check style (a form, built-in or the
// person's), check protection per style, a drawing of one check showing where its items move, and the alignment test
// sheet. Modal; the settings are written only by Save (or Save when Close asks). Offsets are typed with the locale's
// decimal separator or a point.
class frmAlignment : public QDialog {
    Q_OBJECT

public:
    // Opens on the system's default printer and the given check style.
    frmAlignment(Program &program, const QString &checkStyle, QWidget *parent = nullptr);

    void cboPrinter_Click();
    void cboStyle_Click();
    void txtOffset_Change();
    void chkProtection_Click();
    void cmdSave_Click();
    void cmdTestSheet_Click();
    void cmdClose_Click();

    // The offset drawn: what each box holds, or the last valid value of a box that holds none.
    AlignmentOffset TypedOffset() const { return drawn_; }
    // The table as it stands with the valid edits, saved or not.
    const AlignmentTable &Table() const { return table_; }

    QLabel *lblPrinter;
    QComboBox *cboPrinter;
    QLabel *lblStyle;
    QComboBox *cboStyle;
    QLabel *lblHorizontal;
    QLineEdit *txtHorizontal;
    QLabel *lblHorizontalUnit;
    QLabel *lblVertical;
    QLineEdit *txtVertical;
    QLabel *lblVerticalUnit;
    QCheckBox *chkProtection;
    QLabel *lblHint;
    QLabel *lblStatus;
    QWidget *picCheck;
    QPushButton *cmdTestSheet;
    QPushButton *cmdSave;
    QPushButton *cmdClose;

    void reject() override;

private:
    void createControls(QWidget *client);
    void loadTable();
    // Shows the offsets and protection of the selected printer and style.
    void showSelection();
    // Takes the boxes into the table for the printer and style they were shown for; a box that does
    // not hold an offset is refused with a message naming it, and gets the focus.
    bool takeEdits();
    void paintCheck(QWidget &surface);
    // Marks a box that holds no offset, or clears the mark.
    void markBox(QLineEdit *box, const QString &error);
    void message(const QString &text);
    bool saveTable();
    // The form of the style shown.
    const CheckForm &shownForm() const;

    Program &program_;
    QString path_;
    AlignmentTable table_;
    AlignmentTable saved_;
    // The file holds exactly saved_ (false when it was damaged).
    bool fileSound_ = true;
    AlignmentOffset drawn_;
    QLocale locale_;
    // The printer and style the boxes were filled for.
    QString shownPrinter_;
    QString shownStyle_;
    // The forms the style list offers, in its order.
    QList<CheckForm> forms_;
    bool showing_ = false;
};
