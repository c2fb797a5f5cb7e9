#include "TCheckAudioForm.h"

#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

// The fields of each panel in the window's order, with the object names of their values.
const QList<std::pair<QString, const char*>>& Mp3Fields() {
    static const QList<std::pair<QString, const char*>> fields = {
        {QStringLiteral("Valid MPEG:"), "ValidMPEGText"},
        {QStringLiteral("File size:"), "FileSizeText"},
        {QStringLiteral("First frame at:"), "FirstFrameAtText"},
        {QStringLiteral("Bit rate:"), "BitRateText"},
        {QStringLiteral("MPEG type:"), "MPEGTypeText"},
        {QStringLiteral("Duration:"), "DurationText"},
        {QStringLiteral("Sample rate:"), "SampleRateText"},
        {QStringLiteral("Channel mode:"), "ChannelModeText"},
        {QStringLiteral("Emphasis:"), "EmphasisText"},
        {QStringLiteral("Encoder:"), "EncoderText"},
        {QStringLiteral("CRC protection:"), "CRCProtectionText"},
        {QStringLiteral("Total frames:"), "TotalFramesText"},
        {QStringLiteral("Copyright:"), "CopyrightText"},
        {QStringLiteral("Original:"), "OriginalText"},
    };
    return fields;
}

const QList<std::pair<QString, const char*>>& WaveFields() {
    static const QList<std::pair<QString, const char*>> fields = {
        {QStringLiteral("Valid WAV:"), "ValidWAVEdit"},
        {QStringLiteral("File size:"), "FileSizeEdit"},
        {QStringLiteral("WAV Format:"), "WavFormatEdit"},
        {QStringLiteral("Bits per sample:"), "BitsPerSampleEdit"},
        {QStringLiteral("Sample rate:"), "SampleRateEdit"},
        {QStringLiteral("Channel mode:"), "ChannelModeEdit"},
        {QStringLiteral("Duration:"), "DurationWAVEdit"},
    };
    return fields;
}

} // namespace

TCheckAudioForm::TCheckAudioForm(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("CheckAudioForm"));
    setWindowTitle(QStringLiteral("Audio Info"));
    setFixedSize(546, 321);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(QPixmap(State.KitFile(QStringLiteral("recom/wizard.jpg"))));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = Label1->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    Label1->setFont(headingFont);

    MP3Panel = MakePanel("MP3Panel", Mp3Fields(), false);
    WavePanel = MakePanel("WavePanel", WaveFields(), true);
    // Shown until a file says otherwise.
    WaveEdits.value(QStringLiteral("Valid WAV:"))->setText(QStringLiteral("Yes"));

    CloseButton = new QPushButton(State.Text(6400), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);

    // Both panels share one place; only one is shown at a time. The button sits beside the
    // fields' lower end, so the fields get the full height.
    auto* panels = new QGridLayout;
    panels->addWidget(MP3Panel, 0, 0, Qt::AlignTop);
    panels->addWidget(WavePanel, 0, 0, Qt::AlignTop);
    auto* button = new QVBoxLayout;
    button->addStretch();
    button->addWidget(CloseButton);
    auto* body = new QHBoxLayout;
    body->addLayout(panels, 1);
    body->addLayout(button);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 8, 0, 0);
    right->addWidget(Label1);
    right->addLayout(body, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(right, 1);

    MP3Panel->hide();
    WavePanel->hide();
}

QWidget* TCheckAudioForm::MakePanel(const char* name,
                                    const QList<std::pair<QString, const char*>>& fields,
                                    bool edits) {
    auto* panel = new QWidget(this);
    panel->setObjectName(QLatin1String(name));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(edits ? 4 : 2);
    for (int row = 0; row < fields.size(); ++row) {
        const auto& [caption, valueName] = fields[row];
        grid->addWidget(new QLabel(caption, panel), row, 0);
        if (edits) {
            auto* edit = new QLineEdit(panel);
            edit->setObjectName(QLatin1String(valueName));
            edit->setReadOnly(true);
            grid->addWidget(edit, row, 1);
            WaveEdits.insert(caption, edit);
        } else {
            auto* text = new QLabel(panel);
            text->setObjectName(QLatin1String(valueName));
            text->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(text, row, 1);
            Mp3Texts.insert(caption, text);
        }
    }
    grid->setColumnStretch(1, 1);
    return panel;
}

void TCheckAudioForm::SetAudioFileName(const QString& path) {
    FileName = path;
    if (isVisible())
        Inspect();
}

const TAudioInfo& TCheckAudioForm::Inspect() {
    for (QLabel* text : std::as_const(Mp3Texts))
        text->clear();
    MP3Panel->hide();
    WavePanel->hide();

    Result = TAudioInspector::Inspect(FileName);
    Label1->setText(Result.Heading);
    if (Result.Kind == TAudioInfo::TKind::Mp3) {
        for (const TAudioInfo::TField& field : std::as_const(Result.Fields)) {
            if (QLabel* text = Mp3Texts.value(field.Caption))
                text->setText(field.Value);
        }
        MP3Panel->setVisible(!Result.Heading.isEmpty());
    } else if (Result.Kind == TAudioInfo::TKind::Wav && !Result.Fields.isEmpty()) {
        for (const TAudioInfo::TField& field : std::as_const(Result.Fields)) {
            if (QLineEdit* edit = WaveEdits.value(field.Caption))
                edit->setText(field.Value);
        }
        WavePanel->show();
    }
    if (!Result.Message.isEmpty())
        Prompter.Information(Result.Message);
    return Result;
}

void TCheckAudioForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Inspect();
}

} // namespace Lumerix
