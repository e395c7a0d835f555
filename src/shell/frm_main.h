// The main window.
#pragma once

#include <QMainWindow>

namespace lintrel {

class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
};

} // namespace lintrel
