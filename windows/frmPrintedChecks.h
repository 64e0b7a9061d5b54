#pragma once

#include "journal/CheckJournal.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <QLocale>
#include <QStyledItemDelegate>

class MessageBoxes;
class QLabel;
class QPushButton;
class QTableView;

// The printed forms of a run and the mark of each, one row per form; only the mark is edited. The
// rows are drawn from the checks as the view asks, so a run of any length costs a few bytes a form.
class PrintedChecksModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ColCheckNo, ColPayee, ColAmount, ColSheet, ColSlot, ColMark, ColumnCount };

    explicit PrintedChecksModel(const QList<JournalCheck> &checks, QObject *parent = nullptr);

    const QList<PrintMark> &marks() const { return marks_; }
    void setMark(int row, PrintMark mark);
    // True when any form is marked other than printed well.
    bool anyMarked() const;
    qint64 checkNo(int row) const { return checks_.at(row).checkNo; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // The mark column takes a PrintMark's number or its text.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QList<JournalCheck> checks_;
    QList<PrintMark> marks_;
    QLocale locale_;
};

// Edits a mark with a drop-down list that hands each change to the model at once, so a Return that
// closes the dialog never loses the last choice.
class PrintMarkDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

// "Printed Checks": after a run, the forms it printed (check number, payee, amount, sheet and
// slot), each marked printed well (the default), spoiled (print again) or void. Return accepts.
// Closing the window with marks set asks whether they stand; untouched, it means all printed well.
// On the list, P, S and V mark the current form; F2 or a double click opens its drop-down list.
class frmPrintedChecks : public QDialog {
    Q_OBJECT

public:
    frmPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent = nullptr);

    // The marks the person confirmed; all printed well when the marks were discarded.
    QList<PrintMark> Marks() const { return confirmed_; }
    PrintedChecksModel &Model() const { return *model_; }

    // OK: asks to confirm any spoiled or void form, then closes with those marks.
    void cmdOK_Click();
    // Escape and the close box: asks whether set marks stand (Yes), are dropped (No) or the list
    // stays open (Cancel).
    void reject() override;

    QLabel *lblPrintedChecks = nullptr;
    QTableView *grdPrintedChecks = nullptr;
    QPushButton *cmdOK = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MessageBoxes &messages_;
    PrintedChecksModel *model_;
    QList<PrintMark> confirmed_;
};

// Shows the dialog modally over `parent` and gives the marks.
QList<PrintMark> ReviewPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent);
