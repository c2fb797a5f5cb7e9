#include "TNoDriverForm.h"

#include "shell/Execute.h"
#include "shell/TRunState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

TNoDriverForm::TNoDriverForm(const TRunState& state, QWidget* parent)
    : QDialog(parent), State(state) {
    setObjectName(QStringLiteral("NoDriverForm"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    Label1->setFont(heading);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    MissingLabel = new QLabel(this);
    MissingLabel->setObjectName(QStringLiteral("MissingLabel"));
    for (QLabel* label : {Label2, Label3, MissingLabel})
        label->setWordWrap(true);
    DownloadButton = new QPushButton(this);
    DownloadButton->setObjectName(QStringLiteral("DownloadButton"));
    AboartButton = new QPushButton(this);
    AboartButton->setObjectName(QStringLiteral("AboartButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(DownloadButton);
    buttons->addWidget(AboartButton);
    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {Label1, Label2, MissingLabel, Label3})
        layout->addWidget(label);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(DownloadButton, &QPushButton::clicked, this, [this] {
        Execute::OpenDocument(State.KitDir + State.Language().HelpFolder() +
                              QStringLiteral("cdrip.html"));
        accept();
    });
    connect(AboartButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TNoDriverForm::Explain(CdRipper::TMissing missing) {
    setWindowTitle(State.Text(3705));
    Label1->setText(State.Text(3700));
    Label2->setText(State.Text(3701));
    Label3->setText(State.Text(3702));
    DownloadButton->setText(State.Text(3703));
    AboartButton->setText(State.Text(3704));
    const TLanguage& language = State.Language();
    MissingLabel->setText(
        missing == CdRipper::TMissing::Program
            ? language.Pick(
                  QStringLiteral("Es fehlt das Programm „cdparanoia“, das Audio-CDs liest."),
                  QStringLiteral("The program “cdparanoia”, which reads audio CDs, is "
                                 "not installed."))
            : language.Pick(QStringLiteral("Es wurde kein CD- oder DVD-Laufwerk gefunden."),
                            QStringLiteral("No CD or DVD drive was found.")));
}

} // namespace Lumerix
