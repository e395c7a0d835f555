// The main window's news: the start-up check with its notice, and the news button.
#include "shell/frm_main.h"

#include <QTimer>

namespace lintrel {

void TfrmMain::Timer1Timer()
{
    Timer1->stop();
    CheckForUpdates(true);
}

void TfrmMain::btnNewsClick() {}

void TfrmMain::ShowNewsNotice(const QString &) {}

} // namespace lintrel
