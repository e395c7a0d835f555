// The main window.
#include "shell/frm_main.h"

namespace lintrel {

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Lintrel"));
}

} // namespace lintrel
