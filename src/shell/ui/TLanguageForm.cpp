#include "TLanguageForm.h"

#include "shell/TLanguage.h"
#include "shell/TPrompter.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace Lumerix {

TLanguageForm::TLanguageForm(TPrompter& prompter, const QString& flagFolder, QWidget* parent)
    : QDialog(parent), Prompter(prompter) {
    setWindowTitle(QStringLiteral("Language"));
    setObjectName(QStringLiteral("LanguageForm"));

    auto* flags = new QHBoxLayout;
    static const QString names[] = {QStringLiteral("Deutsch"), QStringLiteral("English"),
                                    QStringLiteral("Français"), QStringLiteral("Italiano"),
                                    QStringLiteral("Español")};
    int index = 0;
    for (const QString& code : TLanguage::Codes()) {
        auto* button = new QToolButton(this);
        button->setObjectName(code + QStringLiteral("Image"));
        button->setIcon(QIcon(QDir(flagFolder).filePath(QStringLiteral("flag_%1.png").arg(code))));
        button->setIconSize(QSize(96, 64));
        button->setText(names[index++]);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QToolButton::clicked, this, [this, code] { Choose(code); });
        flags->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please select your language:"), this));
    layout->addLayout(flags);
}

void TLanguageForm::Choose(const QString& code) {
    Chosen = code;
    accept();
}

bool TLanguageForm::MayClose() {
    if (!Chosen.isEmpty())
        return true;
    Prompter.Information(QStringLiteral("Please select your language!"));
    return false;
}

void TLanguageForm::reject() {
    if (MayClose())
        QDialog::reject();
}

void TLanguageForm::closeEvent(QCloseEvent* event) {
    if (MayClose())
        event->accept();
    else
        event->ignore();
}

} // namespace Lumerix
