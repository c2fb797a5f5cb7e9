#include "TNewForm.h"

#include "shell/TRunState.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

TNewForm::TNewForm(const TRunState& state, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NewForm"));
    setWindowTitle(state.Text(1803));
    auto* label = new QLabel(state.Text(1800), this);
    TitleEdit = new QLineEdit(this);
    TitleEdit->setObjectName(QStringLiteral("TitleEdit"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(state.Text(1801), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBitBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(state.Text(1802), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBitBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(TitleEdit);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

std::optional<QString> TNewForm::Ask() {
    TitleEdit->clear();
    TitleEdit->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return TitleEdit->text();
}

} // namespace Lumerix
