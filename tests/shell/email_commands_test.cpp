// The email commands in the real window: the Format options, Reflow and format=flowed.
#include "support/window_harness.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QToolButton>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

class EmailCommandsInWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "lintrel", "lintrel").clear();
        open();
    }
    void open()
    {
        h.open();
        mem = h.child<QPlainTextEdit>("memEmail");
        auto *maxLine = h.child<QLineEdit>("edtMaxLine");
        maxLine->setText("20");
    }
    QAction *action(const char *name) { return h.child<QAction>(name); }
    void click(const char *button)
    {
        QTest::mouseClick(h.child<QPushButton>(button), Qt::LeftButton);
    }
    void undo() { QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier); }
    QString field(const char *name) { return h.child<QLineEdit>(name)->text(); }

    WindowHarness h;
    QPlainTextEdit *mem = nullptr;
    ErrorRecorder recorder;
};

const char *const kQuote = "> Thanks for the draft, I read it twice.";

} // namespace

TEST_F(EmailCommandsInWindow, FormatIsTheDescribedOneUntilTheOptionIsOn)
{
    auto *options = h.child<QToolButton>("btnFormatOptions");
    ASSERT_NE(options->menu(), nullptr);
    EXPECT_TRUE(options->menu()->actions().contains(action("actEmailAwareFormat")));
    EXPECT_FALSE(action("actEmailAwareFormat")->isChecked());

    mem->setPlainText(kQuote);
    click("bsSkinButton5");
    EXPECT_EQ(mem->toPlainText(), "> Thanks for the \ndraft, I read it \ntwice.");

    undo();
    action("actEmailAwareFormat")->trigger();
    QSignalSpy changes(mem, &QPlainTextEdit::textChanged);
    click("bsSkinButton5");
    EXPECT_EQ(mem->toPlainText(), "> Thanks for the \n> draft, I read it \n> twice.");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(field("edtLines"), "3");
    undo();
    EXPECT_EQ(mem->toPlainText(), kQuote);
    EXPECT_EQ(field("edtLines"), "1");

    // Remembered for the user: the next window starts with it on.
    h.window.reset();
    open();
    EXPECT_TRUE(action("actEmailAwareFormat")->isChecked());
    EXPECT_TRUE(recorder.errors.isEmpty());
}

TEST_F(EmailCommandsInWindow, ReflowIsOneUndoStepAndTheCountsFollow)
{
    mem->setPlainText("one two\nthree four five six\nseven\n\n-- \nAnn");
    QSignalSpy changes(mem, &QPlainTextEdit::textChanged);
    click("btnReflow");
    EXPECT_EQ(mem->toPlainText(), "one two three four \nfive six seven\n\n-- \nAnn");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(field("edtLines"), "5");
    click("btnReflow"); // twice = once
    EXPECT_EQ(changes.count(), 1);
    undo();
    EXPECT_EQ(mem->toPlainText(), "one two\nthree four five six\nseven\n\n-- \nAnn");
    EXPECT_EQ(field("edtLines"), "6");

    h.child<QLineEdit>("edtMaxLine")->setText("0");
    click("btnReflow");
    EXPECT_EQ(mem->toPlainText(), "one two\nthree four five six\nseven\n\n-- \nAnn");
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_TRUE(h.messages.shown[0].text.contains("at least 1"));
}

TEST_F(EmailCommandsInWindow, FlowedCopyAndSaveMarkTheBreaksFormatAndReflowMade)
{
    mem->setPlainText("> one two\n> three four five\nHi  ");
    action("actCopyFlowed")->trigger(); // nothing wrapped yet: every break is hard
    EXPECT_EQ(h.clipboard.text, "> one two\r\n> three four five\r\nHi");

    h.child<QLineEdit>("edtMaxLine")->setText("12");
    click("btnReflow");
    EXPECT_EQ(mem->toPlainText(), "> one two \n> three four \n> five\nHi");
    action("actCopyFlowed")->trigger();
    EXPECT_EQ(h.clipboard.text, "> one two \r\n> three four \r\n> five\r\nHi");
    click("btnCopy"); // the plain copy stays as it was
    EXPECT_EQ(h.clipboard.text, "> one two \r\n> three four \r\n> five\r\nHi");

    mem->setPlainText("The quick brown fox");
    h.child<QLineEdit>("edtMaxLine")->setText("10");
    click("bsSkinButton5"); // the described Format's cuts are soft too
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("flowed"), 0});
    action("actSaveFlowed")->trigger();
    QFile saved(h.path("flowed.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "The quick \r\nbrown fox");

    // After an edit the breaks are the user's: all hard.
    mem->setPlainText("The quick \nbrown fox!");
    action("actCopyFlowed")->trigger();
    EXPECT_EQ(h.clipboard.text, "The quick\r\nbrown fox!");
    EXPECT_TRUE(recorder.errors.isEmpty());
}
