#include "TRipperForm.h"

#include "shell/Jobs.h"
#include "shell/ui/TJobProgress.h"

#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

namespace Lumerix {

TRipperForm::TRipperForm(bool german, QString folder, QWidget* parent)
    : QDialog(parent), German(german), Folder(std::move(folder)) {
    setObjectName(QStringLiteral("RipperForm"));
    setWindowTitle(Pick("Audio-CD einlesen", "Import audio CD"));
    Progress = new TJobProgress(this);
    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setWordWrap(true);
    TrackListBox = new QListWidget(this);
    TrackListBox->setObjectName(QStringLiteral("TrackListBox"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->hide();
    RipButton = new QPushButton(Pick("Einlesen", "Import"), this);
    RipButton->setObjectName(QStringLiteral("RipButton"));
    RipButton->setDefault(true);
    CancelButton = new QPushButton(Pick("Abbrechen", "Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ProgressBar, 1);
    buttons->addWidget(RipButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(InfoLabel);
    layout->addWidget(TrackListBox, 1);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(RipButton, &QPushButton::clicked, this, [this] { StartRip(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        if (Job.isRunning())
            Progress->Cancel();
        else
            reject();
    });
    connect(Progress, &TJobProgress::PercentChanged, ProgressBar, &QProgressBar::setValue);
    connect(Progress, &TJobProgress::StatusChanged, InfoLabel, &QLabel::setText);
}

TRipperForm::~TRipperForm() {
    Progress->Cancel();
    Job.waitForFinished();
}

QString TRipperForm::Pick(const char* german, const char* english) const {
    return QString::fromUtf8(German ? german : english);
}

bool TRipperForm::ReadDisc() {
    TrackListBox->clear();
    QString error;
    // Without the program nothing can be asked of the drive: say which program is missing.
    const bool missing = CdRipper::Check() == CdRipper::TMissing::Program;
    const QList<CdRipper::TTrack> tracks =
        missing ? QList<CdRipper::TTrack>() : CdRipper::ReadTracks(&error);
    for (const CdRipper::TTrack& track : tracks) {
        auto* item = new QListWidgetItem(
            Pick("Titel %1   (%2)", "Track %1   (%2)").arg(track.Number).arg(track.Length),
            TrackListBox);
        item->setData(Qt::UserRole, track.Number);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    if (tracks.isEmpty()) {
        const QString text =
            missing ? Pick("Das Programm „cdparanoia“, das Audio-CDs liest, ist nicht "
                           "installiert (Paket „cdparanoia“).",
                           "The program \"cdparanoia\", which reads audio CDs, is not "
                           "installed (package \"cdparanoia\").")
                    : Pick("Keine Audio-CD im Laufwerk: ", "No audio CD in the drive: ") + error;
        InfoLabel->setText(text);
        RipButton->setEnabled(false);
        if (Unattended)
            std::fprintf(stderr, "lumerix-ripper: %s\n", text.toLocal8Bit().constData());
        return false;
    }
    InfoLabel->setText(Pick("Wählen Sie die Titel, die in die Diashow übernommen werden:",
                            "Choose the tracks to import into the slideshow:"));
    return true;
}

void TRipperForm::StartRip(bool all) {
    QList<int> tracks;
    for (int row = 0; row < TrackListBox->count(); ++row) {
        const QListWidgetItem* item = TrackListBox->item(row);
        if (all || item->checkState() == Qt::Checked)
            tracks.append(item->data(Qt::UserRole).toInt());
    }
    if (tracks.isEmpty())
        return;
    RipButton->setEnabled(false);
    TrackListBox->setEnabled(false);
    ProgressBar->show();
    auto result = std::make_shared<std::pair<QStringList, QString>>();
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, result] {
        watcher->deleteLater();
        Finished(result->first, result->second);
    });
    const QString folder = Folder;
    TJobProgress* progress = Progress;
    Job = QtConcurrent::run(Jobs::Pool(), [tracks, folder, progress, result] {
        result->first = CdRipper::Rip(tracks, folder, *progress, &result->second);
    });
    watcher->setFuture(Job);
}

void TRipperForm::Finished(const QStringList& files, const QString& error) {
    Files = files;
    if (!error.isEmpty() && Unattended)
        std::fprintf(stderr, "lumerix-ripper: %s\n", error.toLocal8Bit().constData());
    else if (!error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
    accept();
}

} // namespace Lumerix
