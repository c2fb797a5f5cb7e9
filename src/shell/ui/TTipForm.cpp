#include "TTipForm.h"

#include "shell/TRunState.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

TTipForm::TTipForm(const TRunState& state, QWidget* parent)
    : QDialog(parent), State(state), Tips(state.TipDir()) {
    setObjectName(QStringLiteral("TipForm"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    CheckBox1 = new QCheckBox(this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CloseBitBtn = new QPushButton(this);
    CloseBitBtn->setObjectName(QStringLiteral("CloseBitBtn"));
    NextTipBitBtn = new QPushButton(this);
    NextTipBitBtn->setObjectName(QStringLiteral("NextTipBitBtn"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox1);
    buttons->addStretch();
    buttons->addWidget(NextTipBitBtn);
    buttons->addWidget(CloseBitBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    resize(460, 260);

    connect(NextTipBitBtn, &QPushButton::clicked, this, &TTipForm::ShowNextTip);
    connect(CloseBitBtn, &QPushButton::clicked, this, &TTipForm::CloseTips);
    SetCaptions();
}

void TTipForm::SetCaptions() {
    setWindowTitle(State.Text(4803));
    CheckBox1->setText(State.Text(4800));
    CloseBitBtn->setText(State.Text(4801));
    NextTipBitBtn->setText(State.Text(4802));
}

void TTipForm::showEvent(QShowEvent* event) {
    Tips.Restart();
    NextTipBitBtn->setEnabled(true);
    ShowNextTip();
    QDialog::showEvent(event);
}

void TTipForm::ShowNextTip() {
    if (const auto tip = Tips.Next())
        Memo1->setPlainText(tip->join(u'\n'));
    else
        NextTipBitBtn->setEnabled(false);
}

void TTipForm::CloseTips() {
    if (CheckBox1->isChecked())
        State.SetTipsWanted(false);
    close();
}

} // namespace Lumerix
