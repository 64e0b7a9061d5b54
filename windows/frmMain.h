#pragma once

#include "platform/Forms.h"

class Program;

// The check entry window.
class frmMain : public Form {
    Q_OBJECT

public:
    explicit frmMain(Program &program);

private:
    Program &program_;
};
