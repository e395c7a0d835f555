// The widgets and layouts of the email panel.
//
// Captions, fields and buttons keep their design offsets where the font allows; only the text
// area grows with the window.
#include "shell/email_panel.h"

#include "ui/format_options.h"
#include "ui/placed_row.h"
#include "ui/widgets.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lintrel {

namespace {

constexpr int kEmailTopHeight = 53; // heading and prompt above the text area
constexpr int kEmailSideMargin = 16;
constexpr QSize kNumberFieldSize(49, 18); // the design size of every number field
constexpr int kCountDigits = 8;           // up to 99,999,999
constexpr int kLineLengthDigits = 10;     // any 32-bit value, minus sign included
constexpr QSize kCommandSize(121, 20);
// Least gaps in the rows under the text area: between a caption and its field, and before the
// next caption.
constexpr int kCaptionGap = 4;
constexpr int kGroupGap = 8;

QPushButton *fixedButton(QWidget *parent, const char *name, const QString &caption, QSize size)
{
    auto *button = named(new QPushButton(caption, parent), name);
    button->setFixedSize(size);
    button->setFocusPolicy(Qt::TabFocus); // a click leaves the keyboard in the text area
    return button;
}

QLabel *placedLabel(QWidget *parent, const QString &caption, QPoint at, bool bold = false)
{
    auto *label = new QLabel(caption, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->adjustSize();
    label->move(at);
    return label;
}

// A field as wide as the font needs for its longest number: eight digits for a count, any
// 32-bit value for the line length.
QLineEdit *numberField(QWidget *parent, const char *name, bool readOnly)
{
    auto *field =
        named(readOnly ? new NumberField(kCountDigits, false, kNumberFieldSize, parent)
                       : new NumberField(kLineLengthDigits, true, kNumberFieldSize, parent),
              name);
    field->setText(QStringLiteral("0"));
    field->setReadOnly(readOnly);
    if (readOnly)
        field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

} // namespace

void EmailPanel::buildWidgets()
{
    setObjectName(QStringLiteral("panEmail"));

    auto *top = new QWidget(this);
    top->setFixedHeight(kEmailTopHeight);
    placedLabel(top, QStringLiteral("Format your Email in Seconds"), {14, 8}, true);
    placedLabel(top, QStringLiteral("Enter your email contents:"), {15, 30});

    memEmail = named(new QPlainTextEdit(this), "memEmail");
    memEmail->setLineWrapMode(QPlainTextEdit::NoWrap);
    memEmail->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memEmail->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memEmail->setTabChangesFocus(false);

    // Rows below the text area, left-anchored: captions and fields at their design places
    // (offsets in the panel), moved right only where the font makes what is before them wider.
    auto *bottom = new QWidget(this);
    auto *rows = new QVBoxLayout(bottom);
    rows->setContentsMargins(kEmailSideMargin, 28, kEmailSideMargin, 14);
    rows->setSpacing(0);
    rows->addLayout(buildStatisticsRow(bottom));
    rows->addSpacing(13);
    rows->addLayout(buildFormatRow(bottom));
    rows->addSpacing(17);
    rows->addLayout(buildCommandRow(bottom));

    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(kEmailSideMargin, 0, kEmailSideMargin, 0);
    middle->addWidget(memEmail);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addLayout(middle, 1);
    layout->addWidget(bottom);
}

QLayout *EmailPanel::buildStatisticsRow(QWidget *bottom)
{
    const struct
    {
        const char *caption;
        int captionX;
        const char *field;
        int fieldX;
        QLineEdit *EmailPanel::*member;
    } stats[] = {
        {"Characters:", 16, "edtChars", 74, &EmailPanel::edtChars},
        {" Words:", 139, "edtWords1", 182, &EmailPanel::edtWords1},
        {"Sentences:", 247, "edtSenten1", 305, &EmailPanel::edtSenten1},
        {"Lines:", 367, "edtLines", 401, &EmailPanel::edtLines},
        {"Paragraphs:", 466, "edtParag1", 529, &EmailPanel::edtParag1},
        {"Longest Line:", 607, "edtLong", 678, &EmailPanel::edtLong},
    };
    auto *row = new PlacedRowLayout;
    for (const auto &s : stats) {
        row->addPlacedWidget(new QLabel(QString::fromLatin1(s.caption), bottom),
                             s.captionX - kEmailSideMargin, kGroupGap);
        this->*s.member = numberField(bottom, s.field, true);
        row->addPlacedWidget(this->*s.member, s.fieldX - kEmailSideMargin, kCaptionGap);
    }
    return row;
}

QLayout *EmailPanel::buildFormatRow(QWidget *bottom)
{
    auto *row = new PlacedRowLayout;
    row->addPlacedWidget(new QLabel(QStringLiteral("Maximum Line Length:"), bottom), 0, 0);
    edtMaxLine = numberField(bottom, "edtMaxLine", false);
    edtMaxLine->setText(QStringLiteral("60"));
    row->addPlacedWidget(edtMaxLine, 128 - kEmailSideMargin, kCaptionGap);
    bsSkinButton5 = fixedButton(bottom, "bsSkinButton5", QStringLiteral("Format"), {97, 20});
    row->addPlacedWidget(bsSkinButton5, 185 - kEmailSideMargin, kGroupGap);
    // The options sit right against Format, as one control.
    row->addPlacedWidget(btnFormatOptions = new FormatOptionsButton(bottom), 0, 0);
    return row;
}

QHBoxLayout *EmailPanel::buildCommandRow(QWidget *bottom)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    btnSelect = fixedButton(bottom, "btnSelect", QStringLiteral("Select All"), kCommandSize);
    btnClear = fixedButton(bottom, "btnClear", QStringLiteral("Clear"), kCommandSize);
    btnImport = fixedButton(bottom, "btnImport", QStringLiteral("Import From File"), kCommandSize);
    btnCopy = fixedButton(bottom, "btnCopy", QStringLiteral("Copy to Clipboard"), kCommandSize);
    btnSave = fixedButton(bottom, "btnSave", QStringLiteral("Save To File"), kCommandSize);
    for (auto *button : {btnSelect, btnClear, btnImport, btnCopy, btnSave})
        row->addWidget(button);
    row->addStretch();
    return row;
}

} // namespace lintrel
