// The keyboard in the real window: where the focus goes after clicks, undo and the clipboard
// keys after each command, the maximum-line-length field's keys.
#include "support/window_harness.h"
#include "ui/bell.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

class Keyboard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(h.window.get()));
        mem = h.child<QPlainTextEdit>("memEmail");
        maxLine = h.child<QLineEdit>("edtMaxLine");
        previousBeep = setBeepSink([this] { ++beeps; });
    }
    void TearDown() override { setBeepSink(previousBeep); }

    // Keys go where the user's keys would go: to the widget that has the focus.
    void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    WindowHarness h;
    QPlainTextEdit *mem = nullptr;
    QLineEdit *maxLine = nullptr;
    ErrorRecorder recorder;
    int beeps = 0;
    std::function<void()> previousBeep;
};

} // namespace

TEST_F(Keyboard, AfterEveryCommandTheUserGoesOnTypingInTheText)
{
    h.writeFile("in.txt", "imported");
    const QString start = QStringLiteral("alpha beta");
    const struct
    {
        const char *button;
        std::function<void()> prepare;
        QString afterCommand; // the text the command leaves
        QString afterTyping;  // ... once "X" is typed
        bool undoable;        // a further Ctrl+Z brings back the text before the command
    } rows[] = {
        {"btnSelect", {}, start, "X", false},
        {"btnClear", {}, "", "X", true},
        {"btnImport",
         [&] {
             h.dialogs.openChoices.push_back(FileDialogChoice{h.path("in.txt"), 0});
         },
         "imported", "importedX", true},
        {"btnCopy", {}, start, "alpha betaX", false},
        {"btnSave",
         [&] {
             h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("out.txt"), 0});
         },
         start, "alpha betaX", false},
        {"bsSkinButton5", [&] { maxLine->setText("6"); }, "alpha \nbeta", "alpha \nbetaX", true},
        {"btnMakeMoney", {}, start, "alpha betaX", false},
        {"btnHelp", {}, start, "alpha betaX", false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.button);
        mem->setPlainText(start);
        mem->moveCursor(QTextCursor::End);
        mem->setFocus();
        if (r.prepare)
            r.prepare();
        QTest::mouseClick(h.child<QPushButton>(r.button), Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), mem);
        EXPECT_EQ(mem->toPlainText(), r.afterCommand);

        type("X");
        EXPECT_EQ(mem->toPlainText(), r.afterTyping);
        press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(mem->toPlainText(), r.afterCommand);
        press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(mem->toPlainText(), r.undoable ? start : r.afterCommand);

        QGuiApplication::clipboard()->clear();
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), mem->toPlainText());
        press(Qt::Key_End, Qt::ControlModifier);
        press(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(mem->toPlainText(), QGuiApplication::clipboard()->text().repeated(2));
    }
    EXPECT_EQ(h.clipboard.text, start); // Copy to Clipboard put the whole text there
    EXPECT_TRUE(QFile::exists(h.path("out.txt")));
    EXPECT_TRUE(recorder.errors.isEmpty()) << recorder.errors.join('|').toStdString();
}

TEST_F(Keyboard, ButtonsAreReachedWithTabButAClickDoesNotFocusThem)
{
    const auto buttons = h.child<QWidget>("stsMain")->findChildren<QPushButton *>();
    ASSERT_GE(buttons.size(), 11);
    for (const QPushButton *button : buttons) {
        EXPECT_EQ(button->focusPolicy(), Qt::TabFocus) << button->objectName().toStdString();
    }
    // Nor does a click on a link under the text area take the keyboard.
    mem->setFocus();
    QTest::mouseClick(h.child<QLabel>("lblLink1URL"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::focusWidget(), mem);

    // From the line-length field, Tab goes on to Format.
    maxLine->setFocus();
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), h.child<QPushButton>("bsSkinButton5"));

    // Pressed from the keyboard, a command also hands the keyboard back to the text.
    press(Qt::Key_Space);
    EXPECT_EQ(QApplication::focusWidget(), mem);
}

TEST_F(Keyboard, MaxLineFieldTakesAMinusOnlyAsItsFirstCharacter)
{
    const struct
    {
        const char *before;
        int caret; // -1: the whole text selected
        const char *keys;
        const char *after;
        int beeps;
    } rows[] = {
        {"", 0, "1-2", "12", 1},    {"", 0, "-12", "-12", 0}, {"12", 0, "-", "-12", 0},
        {"-5", 0, "-3", "-5", 2},   {"-5", 1, "-", "-5", 1},  {"60", -1, "-7", "-7", 0},
        {"60", 2, "a.+ ", "60", 4},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.before);
        maxLine->setText(r.before);
        if (r.caret < 0)
            maxLine->selectAll();
        else
            maxLine->setCursorPosition(r.caret);
        beeps = 0;
        QTest::keyClicks(maxLine, r.keys);
        EXPECT_EQ(maxLine->text(), r.after);
        EXPECT_EQ(beeps, r.beeps);
    }
    // Enter is refused too; editing keys are not.
    beeps = 0;
    QTest::keyClick(maxLine, Qt::Key_Return);
    QTest::keyClick(maxLine, Qt::Key_Backspace);
    QTest::keyClick(maxLine, Qt::Key_Home);
    QTest::keyClick(maxLine, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(maxLine->text(), "6");
}
