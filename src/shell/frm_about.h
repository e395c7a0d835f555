// The About window: brand name, version, copyright and the brand's about text.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lintrel {

struct AboutTexts
{
    QString applicationName;
    QString copyrightYears;
    QString copyrightCompany;
    QString aboutText;
};

class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(const AboutTexts &texts, QWidget *parent = nullptr);

private:
    void FormCreate(const AboutTexts &texts);

    QLabel *lblProductName = nullptr;
    QLabel *lblProductVersion = nullptr;
    QLabel *lblCopyright1 = nullptr;
    QPlainTextEdit *memAbout = nullptr;
    QPushButton *editAbout = nullptr;
};

} // namespace lintrel
