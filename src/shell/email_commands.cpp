// The editor's email commands: Email-aware Format, Reflow, and format=flowed copy and save.
#include "shell/email_commands.h"

#include "formatter/email_wrap.h"
#include "formatter/flowed.h"
#include "formatter/line_wrap.h"
#include "ui/clipboard.h"
#include "ui/error_handler.h"

#include <QAction>
#include <QPushButton>

namespace lintrel {

namespace {

std::string utf8(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

EmailCommands::EmailCommands(EmailEditor editor, QWidget *parent)
    : QObject(parent), editor_(std::move(editor))
{
    copyFlowed_ = new QAction(QStringLiteral("Copy as format=flowed"), this);
    copyFlowed_->setObjectName(QStringLiteral("actCopyFlowed"));
    connect(copyFlowed_, &QAction::triggered, this, [this] {
        editor_.clipboard->setText(flowedText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    });

    saveFlowed_ = new QAction(QStringLiteral("Save as format=flowed..."), this);
    saveFlowed_->setObjectName(QStringLiteral("actSaveFlowed"));
    connect(saveFlowed_, &QAction::triggered, this,
            [this] { runGuarded([this] { editor_.saveAs(flowedText()); }); });

    reflow_ = new QPushButton(QStringLiteral("Reflow"), parent);
    reflow_->setObjectName(QStringLiteral("btnReflow"));
    connect(reflow_, &QPushButton::clicked, this,
            [this] { runGuarded([this] { reflowClick(); }); });
}

QString EmailCommands::format(const QString &text, int maxLength)
{
    QString after;
    const bool email = editor_.emailAware();
    if (email) {
        const EmailWrapOptions options{maxLength, &charMeasure(editor_.measure()), false, "\n"};
        after = fromUtf8(emailFormat(utf8(text), options));
    } else {
        const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
        after = QString::fromStdU16String(wrapText(std::u16string_view(units, size_t(text.size())),
                                                   maxLength, u"\n", editor_.measure()));
    }
    remember(email ? Made::EmailFormat : Made::Format, text, after, maxLength);
    return after;
}

void EmailCommands::noteFormat(const QString &before, const QString &after, int maxLength)
{
    remember(Made::Format, before, after, maxLength);
}

void EmailCommands::reflowClick()
{
    const int maxLength = editor_.maxLength();
    if (maxLength < 1)
        return;
    const QString text = editor_.text();
    const EmailWrapOptions options{maxLength, &charMeasure(editor_.measure()), false, "\n"};
    const QString after = fromUtf8(emailReflow(utf8(text), options));
    remember(Made::Reflow, text, after, maxLength);
    if (after != text)
        editor_.replace(after);
}

void EmailCommands::remember(Made made, const QString &before, const QString &after, int maxLength)
{
    made_ = made;
    before_ = before;
    after_ = after;
    madeWith_ = maxLength;
}

QString EmailCommands::flowedText() const
{
    const QString text = editor_.text();
    const std::string current = utf8(text);
    std::string flowed;
    const EmailWrapOptions options{madeWith_, &charMeasure(editor_.measure()), true, "\n"};
    if (made_ == Made::Nothing || text != after_)
        flowed = flowedFromWrap(current, current, "\n");
    else if (made_ == Made::Format)
        flowed = flowedFromWrap(utf8(before_), current, "\n");
    else if (made_ == Made::EmailFormat)
        flowed = emailFormat(utf8(before_), options);
    else
        flowed = emailReflow(utf8(before_), options);
    return fromUtf8(flowed);
}

} // namespace lintrel
