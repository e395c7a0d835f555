// The Format options beside Format: screen columns for Longest Line and Format, remembered.
#include "support/window_harness.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

class FormatOptions : public ::testing::Test
{
protected:
    // The user's options live in a folder of this test's own.
    void SetUp() override
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    }

    void open()
    {
        h = std::make_unique<WindowHarness>();
        h->open();
        button = h->child<QToolButton>("btnFormatOptions");
        columns = button->menu()->actions().value(0);
        ASSERT_NE(columns, nullptr);
    }
    QString longest() { return h->child<QLineEdit>("edtLong")->text(); }
    QVariant stored() const
    {
        return QSettings(config.filePath(QStringLiteral("lintrel/lintrel.ini")),
                         QSettings::IniFormat)
            .value(QStringLiteral("Format/MeasureInScreenColumns"));
    }

    QTemporaryDir config;
    std::unique_ptr<WindowHarness> h;
    QToolButton *button = nullptr;
    QAction *columns = nullptr;
};

} // namespace

TEST_F(FormatOptions, SitsRightOfFormatInItsRow)
{
    open();
    const auto *format = h->child<QPushButton>("bsSkinButton5");
    EXPECT_GE(button->x(), format->x() + format->width());
    EXPECT_LT(button->y(), format->y() + format->height());
    EXPECT_GT(button->y() + button->height(), format->y());
    EXPECT_EQ(columns->text(), QStringLiteral("Measure in screen columns"));
    EXPECT_TRUE(columns->isCheckable());
}

TEST_F(FormatOptions, ScreenColumnsAreOffUntilChosenAndTheChoiceIsRemembered)
{
    open();
    EXPECT_FALSE(columns->isChecked());
    auto *mem = h->child<QPlainTextEdit>("memEmail");
    const QString japanese = QStringLiteral("\u65E5\u672C\u8A9E");
    mem->setPlainText(japanese);
    EXPECT_EQ(longest(), "3");
    auto *maxLine = h->child<QLineEdit>("edtMaxLine");
    maxLine->setText(QStringLiteral("4"));
    QTest::mouseClick(h->child<QPushButton>("bsSkinButton5"), Qt::LeftButton);
    EXPECT_EQ(mem->toPlainText(), japanese); // three characters fit in four

    columns->trigger();
    EXPECT_EQ(longest(), "6"); // the statistics follow at once
    EXPECT_EQ(stored(), QVariant(true));
    QTest::mouseClick(h->child<QPushButton>("bsSkinButton5"), Qt::LeftButton);
    EXPECT_EQ(mem->toPlainText(), QStringLiteral("\u65E5\u672C\n\u8A9E"));

    open(); // a later run starts with the stored choice
    EXPECT_TRUE(columns->isChecked());
    h->child<QPlainTextEdit>("memEmail")->setPlainText(japanese);
    EXPECT_EQ(longest(), "6");
    columns->trigger();
    EXPECT_EQ(longest(), "3");
    open();
    EXPECT_FALSE(columns->isChecked());
    EXPECT_EQ(stored(), QVariant(false));
}
