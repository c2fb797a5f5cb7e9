#include "WizardFrame.h"

#include "shell/TRunState.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace Lumerix::WizardFrame {

QLabel* SidePicture(const TRunState& state, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(QPixmap(state.KitFile(QStringLiteral("recom/wizard.jpg"))));
    return picture;
}

QLabel* Heading(QWidget* parent) {
    auto* heading = new QLabel(parent);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setWordWrap(true);
    return heading;
}

void Arrange(QDialog& dialog, QLabel* side, QLabel* heading, QLayout* content,
             const QList<QWidget*>& leftButtons, const QList<QWidget*>& rightButtons) {
    auto* right = new QVBoxLayout;
    right->addWidget(heading);
    right->addSpacing(12);
    right->addLayout(content);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(side);
    top->addSpacing(16);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    for (QWidget* button : leftButtons)
        buttons->addWidget(button);
    buttons->addStretch();
    for (QWidget* button : rightButtons)
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

} // namespace Lumerix::WizardFrame
