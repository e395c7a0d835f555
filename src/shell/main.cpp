// Process entry: the application object, the main window, the message loop.
#include "shell/frm_main.h"
#include "ui/error_handler.h"

int main(int argc, char **argv)
{
    lintrel::LintrelApplication app(argc, argv);
    lintrel::TfrmMain frmMain;
    frmMain.show();
    return app.exec();
}
