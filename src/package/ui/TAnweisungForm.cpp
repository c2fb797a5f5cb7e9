#include "TAnweisungForm.h"

#include "shell/Execute.h"
#include "shell/TRunState.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace Lumerix {

TAnweisungForm::TAnweisungForm(const TRunState& state, QWidget* parent)
    : QDialog(parent), State(state) {
    setObjectName(QStringLiteral("AnweisungForm"));
    MakeLabel = new QLabel(this);
    MakeLabel->setObjectName(QStringLiteral("MakeLabel"));
    QFont heading = MakeLabel->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    MakeLabel->setFont(heading);
    MakeSubLabel = new QLabel(this);
    MakeSubLabel->setObjectName(QStringLiteral("MakeSubLabel"));
    MakeSubLabel->setWordWrap(true);
    MakeSubLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    IconImage = new QLabel(this);
    IconImage->setObjectName(QStringLiteral("IconImage"));
    IconImage->setPixmap(style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(48, 48));
    IconLabel = new QLabel(this);
    IconLabel->setObjectName(QStringLiteral("IconLabel"));
    NeroBitBtn = new QPushButton(this);
    NeroBitBtn->setObjectName(QStringLiteral("NeroBitBtn"));
    OKBitBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    OKBitBtn->setDefault(true);

    auto* icon = new QHBoxLayout;
    icon->addWidget(IconImage);
    icon->addWidget(IconLabel);
    icon->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NeroBitBtn);
    buttons->addStretch();
    buttons->addWidget(OKBitBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel);
    layout->addWidget(MakeSubLabel, 1);
    layout->addLayout(icon);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(NeroBitBtn, &QPushButton::clicked, this, [this] {
        Execute::OpenDocument(State.KitDir + State.Language().HelpFolder() +
                              QStringLiteral("vcd.html"));
    });
}

void TAnweisungForm::Tell(const QString& title, const QString& explanation, bool showIcon,
                          bool showGuide) {
    setWindowTitle(State.Text(4626));
    MakeLabel->setText(title);
    MakeSubLabel->setText(explanation);
    IconLabel->setText(State.Text(4619));
    IconImage->setVisible(showIcon);
    IconLabel->setVisible(showIcon);
    NeroBitBtn->setText(State.Text(4600));
    NeroBitBtn->setVisible(showGuide);
    exec();
}

} // namespace Lumerix
