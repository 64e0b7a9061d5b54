#pragma once

#include "forms/FormFile.h"

#include <QDialog>
#include <QPointF>
#include <QUndoStack>

struct Platform;
class FormCanvas;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;

// Check Forms: the list of forms (built-ins read-only, the person's own editable), a true-scale
// drawing of the chosen form with sample data, and its items moved by mouse, arrow keys (0.01 in,
// 0.10 in with Shift) or typed position, width and font size, with Undo and Redo. No item may enter a
// check's clear band or leave the page. Print Test Sheet prints the alignment test sheet of the form as
// drawn. Save writes the form's file whole; closing or choosing another form with unsaved changes asks
// Save / Discard / Cancel.
class frmForms : public QDialog {
    Q_OBJECT

public:
    // Opens on the form of that name, or the first.
    frmForms(Platform &platform, const QString &formName, QWidget *parent = nullptr);
    ~frmForms() override;

    void lstForms_Click();
    void lstItems_Click();
    void cmdCopy_Click();
    void cmdNew_Click();
    void cmdRename_Click();
    void cmdDelete_Click();
    void cmdSave_Click();
    void cmdTestSheet_Click();
    void cmdClose_Click();
    void txtField_Enter(QLineEdit *box);

    // The form as edited, saved or not, and the selected item (area, item; -1 for none).
    const CheckForm &Form() const { return form_; }
    int SelectedArea() const { return area_; }
    int SelectedItem() const { return item_; }
    bool IsDirty() const { return !undo_.isClean(); }
    // Where a point of the sheet, in inches, is drawn on picForm, in its pixels.
    QPointF PixelOf(QPointF inches) const;

    // Moves the selected item to (x, y) inches as one undoable step; refused with the reason in
    // lblStatus when the place is off the page or in a clear band.
    bool MoveSelected(double x, double y);
    // Selects the item of an area; the canvas and the fields follow.
    void SelectItem(int area, int item);

    QListWidget *lstForms;
    QPushButton *cmdCopy;
    QPushButton *cmdNew;
    QPushButton *cmdRename;
    QPushButton *cmdDelete;
    QLineEdit *txtName;
    QListWidget *lstItems;
    QLineEdit *txtX;
    QLineEdit *txtY;
    QLineEdit *txtWidth;
    QLineEdit *txtFontSize;
    QLabel *lblStatus;
    QScrollArea *scrForm;
    QWidget *picForm; // the drawing, a FormCanvas
    QPushButton *cmdUndo;
    QPushButton *cmdRedo;
    QPushButton *cmdTestSheet;
    QPushButton *cmdSave;
    QPushButton *cmdClose;

    void reject() override;

private:
    friend class ItemChange;
    void createControls();
    // Fills the list from the folder; reports the files that cannot be used, once each.
    void fillFormList(const QString &select);
    // Shows the form of the list's current row and forgets the edits of the one before.
    void showForm(const QString &name);
    void fillItemList();
    void showFields();
    // Replaces one item as an undoable step, when the form with it has no fault.
    bool changeItem(int area, int item, const FormItem &after, const QString &what);
    void applyItem(int area, int item, const FormItem &value);
    // Save / Discard / Cancel when there are edits; false on Cancel or a failed save.
    bool settleEdits();
    bool save();
    void message(const QString &text);
    bool editable() const { return !form_.BuiltIn; }
    QString freeName(const QString &base) const;

    FormCanvas *canvas_ = nullptr;
    Platform &platform_;
    FormCatalog catalog_;
    CheckForm form_;
    QList<QString> names_;
    int area_ = -1;
    int item_ = -1;
    QUndoStack undo_;
    bool filling_ = false;
};
