#include "THTMLForm.h"

#include "TFTPForm.h"
#include "shell/Colors.h"
#include "shell/Execute.h"
#include "shell/Jobs.h"
#include "shell/TLanguage.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/TJobProgress.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFrame>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <optional>

namespace Lumerix {

namespace {

QLineEdit* NumberEdit(const char* name, int digits, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(digits);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\s*\\d{0,%1}\\s*").arg(digits)), edit));
    edit->setMaximumWidth(80);
    return edit;
}

QCheckBox* Switch(const char* name, QWidget* parent) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* Button(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QFrame* Panel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Box);
    panel->setFixedSize(40, 24);
    panel->setAutoFillBackground(true);
    return panel;
}

// The field's trimmed text as a number, or nothing for an empty field.
std::optional<int> FieldValue(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

THTMLForm::THTMLForm(TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter),
      OpenPage([](const QString& page) { Execute::OpenDocument(page); }) {
    setObjectName(QStringLiteral("HTMLForm"));
    setModal(true);
    Progress = new TJobProgress(this);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HeadingLabel = new QLabel(this);
    QFont heading = HeadingLabel->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    HeadingLabel->setFont(heading);

    SettingsGroupBox = new QGroupBox(this);
    PicProRowLabel = new QLabel(SettingsGroupBox);
    SmallPicXLabel = new QLabel(SettingsGroupBox);
    LargePicXLabel = new QLabel(SettingsGroupBox);
    for (QLabel* label : {PicProRowLabel, SmallPicXLabel, LargePicXLabel})
        label->setWordWrap(true);
    PicProRowEdit = NumberEdit("PicProRowEdit", 2, SettingsGroupBox);
    SmallPicXEdit = NumberEdit("SmallPicXEdit", 4, SettingsGroupBox);
    LargePicXEdit = NumberEdit("LargePicXEdit", 4, SettingsGroupBox);
    TextVisibleCheckBox = Switch("TextVisibleCheckBox", SettingsGroupBox);
    FilenameVisibleCheckBox = Switch("FilenameVisibleCheckBox", SettingsGroupBox);
    ShapeVisibleCheckBox = Switch("ShapeVisibleCheckBox", SettingsGroupBox);
    auto* settingsGrid = new QGridLayout(SettingsGroupBox);
    settingsGrid->setColumnStretch(0, 1);
    settingsGrid->addWidget(PicProRowLabel, 0, 0);
    settingsGrid->addWidget(PicProRowEdit, 0, 1);
    settingsGrid->addWidget(SmallPicXLabel, 1, 0);
    settingsGrid->addWidget(SmallPicXEdit, 1, 1);
    settingsGrid->addWidget(LargePicXLabel, 2, 0);
    settingsGrid->addWidget(LargePicXEdit, 2, 1);
    settingsGrid->addWidget(TextVisibleCheckBox, 3, 0, 1, 2);
    settingsGrid->addWidget(FilenameVisibleCheckBox, 4, 0, 1, 2);
    settingsGrid->addWidget(ShapeVisibleCheckBox, 5, 0, 1, 2);
    StyleLabel = new QLabel(SettingsGroupBox);
    StyleComboBox = new QComboBox(SettingsGroupBox);
    StyleComboBox->setObjectName(QStringLiteral("StyleComboBox"));
    DetailsVisibleCheckBox = Switch("DetailsVisibleCheckBox", SettingsGroupBox);
    settingsGrid->addWidget(StyleLabel, 6, 0);
    settingsGrid->addWidget(StyleComboBox, 6, 1);
    settingsGrid->addWidget(DetailsVisibleCheckBox, 7, 0, 1, 2);

    ColorsGroupBox = new QGroupBox(this);
    BKGColorButton = Button("BKGColorButton", ColorsGroupBox);
    TextColorButton = Button("TextColorButton", ColorsGroupBox);
    BKGColorPanel = Panel("BKGColorPanel", ColorsGroupBox);
    TextColorPanel = Panel("TextColorPanel", ColorsGroupBox);
    auto* colours = new QGridLayout(ColorsGroupBox);
    colours->addWidget(BKGColorButton, 0, 0);
    colours->addWidget(BKGColorPanel, 0, 1);
    colours->addWidget(TextColorButton, 1, 0);
    colours->addWidget(TextColorPanel, 1, 1);
    colours->setColumnStretch(2, 1);

    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressLabel->hide();
    ProgressBar->hide();
    GenerateButton = Button("GenerateButton", this);
    GenerateButton->setDefault(true);
    UploadButton = Button("UploadButton", this);
    CloseButton = Button("CloseButton", this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GenerateButton);
    buttons->addWidget(UploadButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 8, 0, 0);
    right->addWidget(HeadingLabel);
    right->addWidget(SettingsGroupBox);
    right->addWidget(ColorsGroupBox);
    right->addStretch();
    right->addWidget(ProgressLabel);
    right->addWidget(ProgressBar);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(right, 1);

    connect(PicProRowEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        const std::optional<int> value = FieldValue(text);
        if (!value)
            return;
        if (*value == 0)
            PicProRowEdit->setText(QStringLiteral("1"));
        Values.PicProRow = std::max(*value, 1);
    });
    connect(SmallPicXEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const std::optional<int> value = FieldValue(text))
            Values.SmallPicX = QString::number(*value);
    });
    connect(LargePicXEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const std::optional<int> value = FieldValue(text))
            Values.LargePicX = QString::number(*value);
    });
    connect(TextVisibleCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { Values.TextVisible = on; });
    connect(FilenameVisibleCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { Values.FilenameVisible = on; });
    connect(ShapeVisibleCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { Values.ShapeVisible = on; });
    connect(StyleComboBox, &QComboBox::activated, this, [this](int index) {
        Values.Style =
            index == 1 ? TGallerySettings::TStyle::Modern : TGallerySettings::TStyle::Classic;
        DetailsVisibleCheckBox->setEnabled(index == 1);
    });
    connect(DetailsVisibleCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { Values.DetailsVisible = on; });
    connect(BKGColorButton, &QPushButton::clicked, this, [this] { ChooseColour(true); });
    connect(TextColorButton, &QPushButton::clicked, this, [this] { ChooseColour(false); });
    connect(GenerateButton, &QPushButton::clicked, this, &THTMLForm::Generate);
    connect(UploadButton, &QPushButton::clicked, this,
            [this] { Ftp->Open(Request.SidePicture, Request.SettingsFile, Request.OutputDir()); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Progress, &TJobProgress::PercentChanged, ProgressBar, &QProgressBar::setValue);

    Ftp = new TFTPForm(State, Prompter, this);
}

THTMLForm::~THTMLForm() {
    if (JobRunning) {
        Progress->Cancel();
        Job.waitForFinished();
    }
}

void THTMLForm::Start(const TGalleryRequest& request) {
    Prepare(request);
    exec();
}

void THTMLForm::Prepare(const TGalleryRequest& request) {
    Request = request;
    setWindowTitle(State.Text(3500));
    HeadingLabel->setText(State.Text(3500));
    SettingsGroupBox->setTitle(State.Text(3501));
    PicProRowLabel->setText(State.Text(3502));
    SmallPicXLabel->setText(State.Text(3503));
    LargePicXLabel->setText(State.Text(3504));
    TextVisibleCheckBox->setText(State.Text(3505));
    FilenameVisibleCheckBox->setText(State.Text(3506));
    ShapeVisibleCheckBox->setText(State.Text(3507));
    const TLanguage& language = State.Language();
    StyleLabel->setText(
        language.Pick(QStringLiteral("Stil der Seiten"), QStringLiteral("Page style")));
    StyleComboBox->clear();
    StyleComboBox->addItems({language.Pick(QStringLiteral("Klassisch"), QStringLiteral("Classic")),
                             language.Pick(QStringLiteral("Modern (Handy, Lightbox)"),
                                           QStringLiteral("Modern (phones, lightbox)"))});
    DetailsVisibleCheckBox->setText(language.Pick(QStringLiteral("Aufnahmedatum und Kamera zeigen"),
                                                  QStringLiteral("Show date taken and camera")));
    ColorsGroupBox->setTitle(State.Text(3508));
    BKGColorButton->setText(State.Text(3509));
    TextColorButton->setText(State.Text(3510));
    ProgressLabel->setText(State.Text(3511));
    GenerateButton->setText(State.Text(3512));
    UploadButton->setText(State.Text(3513));
    CloseButton->setText(State.Text(3514));
    Image1->setPixmap(QPixmap(Request.SidePicture));
    Values = TGallerySettings::Read(Request.SettingsFile, Request.DefaultsFile());
    FillFields();
}

void THTMLForm::FillFields() {
    PicProRowEdit->setText(QString::number(Values.PicProRow));
    SmallPicXEdit->setText(Values.SmallPicX);
    LargePicXEdit->setText(Values.LargePicX);
    TextVisibleCheckBox->setChecked(Values.TextVisible);
    FilenameVisibleCheckBox->setChecked(Values.FilenameVisible);
    ShapeVisibleCheckBox->setChecked(Values.ShapeVisible);
    const bool modern = Values.Style == TGallerySettings::TStyle::Modern;
    StyleComboBox->setCurrentIndex(modern ? 1 : 0);
    DetailsVisibleCheckBox->setChecked(Values.DetailsVisible);
    DetailsVisibleCheckBox->setEnabled(modern);
    PaintPanels();
}

void THTMLForm::PaintPanels() {
    for (auto [panel, colour] :
         {std::pair{BKGColorPanel, Values.BKGColor}, std::pair{TextColorPanel, Values.TextColor}}) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, Colors::ToQColor(colour));
        panel->setPalette(palette);
    }
}

void THTMLForm::ChooseColour(bool background) {
    qint64& value = background ? Values.BKGColor : Values.TextColor;
    const QColor chosen = QColorDialog::getColor(Colors::ToQColor(value), this);
    if (!chosen.isValid())
        return;
    value = Colors::FromQColor(chosen);
    PaintPanels();
}

void THTMLForm::Generate() {
    if (JobRunning)
        return;
    // The upload sends the output folder file by file; making it anew would empty it mid-way.
    // Another program's upload holds the folder's lock.
    QLockFile upload(TFtpUpload::LockPath(Request.OutputDir()));
    if (Ftp->Running() || !TFtpUpload::TryLockOutput(upload)) {
        Prompter.Error(State.Language().Pick(
            QStringLiteral("Die Galerie wird gerade hochgeladen. Warten Sie, bis der Upload "
                           "fertig ist, oder brechen Sie ihn ab."),
            QStringLiteral("The gallery is being uploaded. Wait until the upload has finished, "
                           "or stop it.")));
        return;
    }
    JobRunning = true;
    Progress->Reset();
    ProgressBar->setValue(0);
    ProgressLabel->show();
    ProgressBar->show();
    GenerateButton->setEnabled(false);
    UploadButton->setEnabled(false);
    setCursor(Qt::BusyCursor);

    TJobProgress* progress = Progress;
    auto* watcher = new QFutureWatcher<TGalleryResult>(this);
    connect(watcher, &QFutureWatcher<TGalleryResult>::finished, this, [this, watcher] {
        watcher->deleteLater();
        GenerationDone(watcher->result());
    });
    Job = QtConcurrent::run(Jobs::Pool(), [request = Request, settings = Values, progress] {
        TGalleryGenerator generator(request, settings);
        return generator.Generate(*progress);
    });
    watcher->setFuture(Job);
}

void THTMLForm::GenerationDone(const TGalleryResult& result) {
    JobRunning = false;
    unsetCursor();
    GenerateButton->setEnabled(true);
    UploadButton->setEnabled(true);
    ProgressLabel->hide();
    if (result.Ok) {
        Prompter.Information(TGalleryGenerator::SuccessMessage(Request.German()));
        OpenPage(result.OverviewPage);
    } else if (result.ImagingFailed) {
        Prompter.PlainError(result.Error);
    } else if (!result.Cancelled) {
        Prompter.Error(result.Error);
    }
    emit GenerationFinished(result.Ok);
}

void THTMLForm::done(int result) {
    // Closing while the gallery is made stops it; the upload window closes with this one.
    if (JobRunning) {
        Progress->Cancel();
        Job.waitForFinished();
    }
    Ftp->Stop();
    Ftp->hide();
    QDialog::done(result);
}

} // namespace Lumerix
