// Shared main for window tests: the real application object under the offscreen platform.
#include "ui/error_handler.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    lintrel::LintrelApplication app(argc, argv);
    // Windows read the user's options: keep the tests' out of the real config folder.
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
