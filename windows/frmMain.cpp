#include "windows/frmMain.h"

#include "windows/Program.h"

frmMain::frmMain(Program &program) : Form(program.platform.forms), program_(program) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillane"));
}
