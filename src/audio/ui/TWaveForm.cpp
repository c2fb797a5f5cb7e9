#include "TWaveForm.h"

#include "shell/TRunState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace Lumerix {

namespace {

QLabel* NamedLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

TWaveForm::TWaveForm(const TRunState& state, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WaveForm"));
    setWindowTitle(state.Text(5000));
    // No border icons: the window closes itself when the join ends.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(372, 147);

    auto* side = NamedLabel("Image1", this);
    const QPixmap picture(state.KitFile(QStringLiteral("recom/wizard.jpg")));
    if (!picture.isNull())
        side->setPixmap(picture.scaledToHeight(147 - 16, Qt::SmoothTransformation));
    Label2 = NamedLabel("Label2", this);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->setText(state.Text(5000));
    Label3 = NamedLabel("Label3", this);
    Label4 = NamedLabel("Label4", this);
    // A long path must not widen the fixed window; the label shows its start.
    for (QLabel* label : {Label3, Label4})
        label->setMinimumWidth(1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    Label1 = NamedLabel("Label1", this);
    Label1->setAlignment(Qt::AlignHCenter);

    auto* right = new QVBoxLayout;
    right->addWidget(Label2);
    right->addWidget(Label3);
    right->addWidget(Label4);
    right->addStretch();
    right->addWidget(ProgressBar1);
    right->addWidget(Label1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(side);
    layout->addLayout(right, 1);
}

void TWaveForm::Start() {
    Label1->clear();
    Label3->clear();
    Label4->clear();
    ProgressBar1->setValue(0);
    show();
}

void TWaveForm::SetFile(const QString& text) {
    Label3->setText(text);
}

void TWaveForm::SetPosition(int percent, const QString& position) {
    ProgressBar1->setValue(std::clamp(percent, 0, 100));
    Label1->setText(QString::number(percent) + u'%');
    Label4->setText(position);
}

} // namespace Lumerix
