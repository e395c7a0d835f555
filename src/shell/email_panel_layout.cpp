// The widgets and layouts of the email panel.
//
// Rows keep their design offsets and field sizes; only the text area grows with the window.
#include "shell/email_panel.h"

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
constexpr QSize kCommandSize(121, 20);

QPushButton *fixedButton(QWidget *parent, const char *name, const QString &caption, QSize size)
{
    auto *button = named(new QPushButton(caption, parent), name);
    button->setFixedSize(size);
    button->setFocusPolicy(Qt::StrongFocus);
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

QLineEdit *numberField(QWidget *parent, const char *name, bool readOnly)
{
    auto *field = named(new QLineEdit(QStringLiteral("0"), parent), name);
    field->setFixedSize(kNumberFieldSize);
    field->setReadOnly(readOnly);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setTextMargins(0, 0, 0, 0);
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

    // Rows below the text area: left-anchored, at the design's row offsets; labels take
    // their natural width so no font clips them.
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

QHBoxLayout *EmailPanel::buildStatisticsRow(QWidget *bottom)
{
    const struct
    {
        const char *caption;
        const char *field;
        QLineEdit *EmailPanel::*member;
    } stats[] = {
        {"Characters:", "edtChars", &EmailPanel::edtChars},
        {" Words:", "edtWords1", &EmailPanel::edtWords1},
        {"Sentences:", "edtSenten1", &EmailPanel::edtSenten1},
        {"Lines:", "edtLines", &EmailPanel::edtLines},
        {"Paragraphs:", "edtParag1", &EmailPanel::edtParag1},
        {"Longest Line:", "edtLong", &EmailPanel::edtLong},
    };
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    for (const auto &s : stats) {
        if (row->count() > 0)
            row->addSpacing(10);
        row->addWidget(new QLabel(QString::fromLatin1(s.caption)));
        row->addSpacing(4);
        this->*s.member = numberField(bottom, s.field, true);
        row->addWidget(this->*s.member);
    }
    row->addStretch();
    return row;
}

QHBoxLayout *EmailPanel::buildFormatRow(QWidget *bottom)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(new QLabel(QStringLiteral("Maximum Line Length:")));
    row->addSpacing(4);
    edtMaxLine = numberField(bottom, "edtMaxLine", false);
    edtMaxLine->setText(QStringLiteral("60"));
    row->addWidget(edtMaxLine);
    row->addSpacing(8);
    bsSkinButton5 = fixedButton(bottom, "bsSkinButton5", QStringLiteral("Format"), {97, 20});
    row->addWidget(bsSkinButton5);
    row->addStretch();
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
