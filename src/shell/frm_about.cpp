// The About window: brand name, version, copyright and the brand's about text.
#include "shell/frm_about.h"

#include "ui/widgets.h"
#include "util/app_version.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lintrel {

namespace {

template <class W> W *placed(W *widget, const char *name, QPoint at)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->move(at);
    return widget;
}

} // namespace

TfrmAbout::TfrmAbout(const AboutTexts &texts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(368, 211);
    setModal(true);

    lblProductName = placed(new QLabel(this), "lblProductName", {9, 7});
    QFont bold = lblProductName->font();
    bold.setBold(true);
    lblProductName->setFont(bold);
    lblProductVersion = placed(new QLabel(this), "lblProductVersion", {9, 32});
    lblCopyright1 = placed(new QLabel(this), "lblCopyright1", {9, 58});
    memAbout = placed(new QPlainTextEdit(this), "memAbout", {8, 88});
    memAbout->resize(348, 71);
    memAbout->setReadOnly(true);
    editAbout = placed(new QPushButton(QStringLiteral("Ok"), this), "editAbout", {129, 171});
    editAbout->resize(87, 21);
    editAbout->setDefault(true);
    editAbout->setFocus();
    connect(editAbout, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate(texts);
    centreOnScreen(this);
}

void TfrmAbout::FormCreate(const AboutTexts &texts)
{
    setWindowTitle(QStringLiteral("About ") + texts.applicationName + QStringLiteral("..."));
    lblProductName->setText(texts.applicationName);
    lblProductVersion->setText(QStringLiteral("Product Version: ") +
                               QString::fromLatin1(kAppVersion.data(), kAppVersion.size()));
    lblCopyright1->setText(QStringLiteral("Copyright (c) ") + texts.copyrightYears +
                           QLatin1Char(' ') + texts.copyrightCompany);
    memAbout->setPlainText(texts.aboutText);
    for (QLabel *label : {lblProductName, lblProductVersion, lblCopyright1})
        label->setFixedWidth(350);
}

} // namespace lintrel
