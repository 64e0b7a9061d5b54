#pragma once

// Contract used by the other windows (the full class is built with the main menu window):
//
// class frmStartup : public Form {
// public:
//     QLineEdit *txtBankName, *txtAcctNo, *txtCheckNo;
//     QComboBox *cboChecks;       // editable, list "1", "2", "3"
//     QListWidget *lstCheckStyle; // "Deluxe 3-On-A-Page", "Deluxe Wallet-Size"
//     CheckbookSettings Settings() const;           // the five controls' text (style: selected entry or "")
//     void SetSettings(const CheckbookSettings &);  // writes the five controls
//     FileResult UpdateDraftMereInfo();             // saves the five controls; shows no message
// };
