// Shared main for window tests: the real application object under the offscreen platform.
#include "ui/error_handler.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    lintrel::LintrelApplication app(argc, argv);
    // User options go to a folder of the test run's own, never to the user's config.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
