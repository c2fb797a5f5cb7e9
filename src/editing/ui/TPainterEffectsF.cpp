#include "TPainterEffectsF.h"

#include "EditJob.h"

#include "document/TSlideshow.h"
#include "editing/EffectCatalogue.h"
#include "imaging/TRasterImage.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/JobBox.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>

#include <array>

namespace Lumerix {

namespace {

constexpr int RowRole = Qt::UserRole;
constexpr QSize ClientSize(512, 463);

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent, int x, int y,
                  bool heading = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    if (heading) {
        label->setStyleSheet(QStringLiteral("color: navy; font-weight: bold;"));
    }
    label->adjustSize();
    return label;
}

QSlider* MakeTrackBar(const char* name, QWidget* parent, int y, int minimum, int maximum,
                      int tick) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(16, y, 481, 33);
    bar->setRange(minimum, maximum);
    bar->setTickInterval(tick);
    bar->setTickPosition(QSlider::TicksBothSides);
    bar->setCursor(Qt::PointingHandCursor);
    return bar;
}

QScrollBar* MakeScrollBar(const char* name, QWidget* parent, QRect geometry) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    return bar;
}

QLabel* MakeImage(const char* panelName, const char* name, QWidget* parent, int x) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(panelName));
    panel->setGeometry(x, 242, 232, 174);
    panel->setStyleSheet(QStringLiteral("background: black;"));
    auto* image = new QLabel(panel);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(0, 0, 232, 174);
    image->setScaledContents(true);
    return image;
}

} // namespace

TPainterEffectsF::TPainterEffectsF(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                                   QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      State(state), Slideshow(slideshow), Prompter(prompter) {
    setObjectName(QStringLiteral("PainterEffectsF"));
    setFixedSize(ClientSize);
    BuildControls();
    // Captions from the message texts replace the design captions.
    Label9->setText(State.Text(2000));
    Label1->setText(State.Text(2001));
    Label2->setText(State.Text(2002));
    Label6->setText(State.Text(2003));
    Label7->setText(State.Text(2004));
    SaveBitBtn->setText(State.Text(2005));
    AbortBitBtn->setText(State.Text(2006));
    Label8->setText(State.Text(2007));
    ZuruecksetzenButton->setText(State.Text(2011));
    for (QLabel* label : {Label9, Label1, Label2, Label6, Label7, Label8})
        label->adjustSize();
    RenewLabels();
}

void TPainterEffectsF::BuildControls() {
    Label6 = MakeLabel("Label6", QStringLiteral("Original"), this, 16, 224, true);
    Label7 = MakeLabel("Label7", QStringLiteral("Vorschau"), this, 264, 224, true);
    Image1 = MakeImage("Panel2", "Image1", this, 16);
    Image = MakeImage("Panel1", "Image", this, 264);

    HelligkeitPanel = new QWidget(this);
    HelligkeitPanel->setObjectName(QStringLiteral("HelligkeitPanel"));
    HelligkeitPanel->setGeometry(0, 0, 505, 217);
    HelligkeitPanel->hide();
    Label8 = MakeLabel("Label8", QStringLiteral("Helligkeit - Kontrast - Farbe"), HelligkeitPanel,
                       22, 3, true);
    HelligkeitLabel =
        MakeLabel("HelligkeitLabel", QStringLiteral("Helligkeit"), HelligkeitPanel, 22, 24);
    HelligkeitTrackBar = MakeTrackBar("HelligkeitTrackBar", HelligkeitPanel, 40, -255, 255, 51);
    KontrastLabel = MakeLabel("KontrastLabel", QStringLiteral("Kontrast"), HelligkeitPanel, 22, 80);
    KontrastTrackBar = MakeTrackBar("KontrastTrackBar", HelligkeitPanel, 96, -255, 255, 25);
    FarbeLabel = MakeLabel("FarbeLabel", QStringLiteral("Farbe"), HelligkeitPanel, 22, 136);
    FarbeTrackBar =
        MakeTrackBar("FarbeTrackBar", HelligkeitPanel, 152, 0, PictureEdits::ColourMaximum, 25);
    FarbeTrackBar->setValue(PictureEdits::ColourRest);
    ZuruecksetzenButton = new QPushButton(QStringLiteral("Zurücksetzen"), HelligkeitPanel);
    ZuruecksetzenButton->setObjectName(QStringLiteral("ZuruecksetzenButton"));
    ZuruecksetzenButton->setGeometry(200, 192, 105, 25);

    EffectPanel = new QWidget(this);
    EffectPanel->setObjectName(QStringLiteral("EffectPanel"));
    EffectPanel->setGeometry(0, 0, 505, 225);
    EffectPanel->hide();
    Label9 = MakeLabel("Label9", QStringLiteral("Effekte"), EffectPanel, 16, 9, true);
    ETree = new QTreeWidget(EffectPanel);
    ETree->setObjectName(QStringLiteral("ETree"));
    ETree->setGeometry(16, 31, 137, 186);
    ETree->setHeaderHidden(true);
    ETree->setIndentation(19);
    ETree->setStyleSheet(QStringLiteral("background: white;"));
    QHash<QString, QTreeWidgetItem*> tops;
    const QList<TEffectRow>& rows = EffectCatalogue::Rows();
    for (int i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = nullptr;
        if (rows[i].Parent.isEmpty()) {
            item = new QTreeWidgetItem(ETree, QStringList{rows[i].Name});
            tops.insert(rows[i].Name, item);
        } else {
            item = new QTreeWidgetItem(tops.value(rows[i].Parent), QStringList{rows[i].Name});
        }
        item->setData(0, RowRole, i);
    }
    Label1 = MakeLabel("Label1", QStringLiteral("weniger"), EffectPanel, 172, 29);
    Label2 = MakeLabel("Label2", QStringLiteral("mehr"), EffectPanel, 460, 29);
    EBar = MakeScrollBar("EBar", EffectPanel, {176, 48, 313, 16});
    EBar->setRange(0, 100);
    Label3 = MakeLabel("Label3", QStringLiteral("X"), EffectPanel, 372, 80);
    cxbar = MakeScrollBar("cxbar", EffectPanel, {373, 99, 118, 12});
    Label4 = MakeLabel("Label4", QStringLiteral("Y"), EffectPanel, 372, 120);
    cybar = MakeScrollBar("cybar", EffectPanel, {373, 140, 118, 13});
    Label5 = MakeLabel("Label5", QStringLiteral("Extra"), EffectPanel, 372, 167);
    extrabar = MakeScrollBar("extrabar", EffectPanel, {373, 183, 118, 12});
    extrabar->setRange(EffectCatalogue::ExtraMinimum, EffectCatalogue::ExtraMaximum);
    auto* automatic = new QWidget(EffectPanel);
    automatic->setObjectName(QStringLiteral("AutomaticPanel"));
    automatic->setGeometry(168, 96, 121, 41);

    auto* buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("ButtonPanel"));
    buttons->setGeometry(0, ClientSize.height() - 41, ClientSize.width(), 41);
    SaveBitBtn = new QPushButton(QStringLiteral("Speichern"), buttons);
    SaveBitBtn->setObjectName(QStringLiteral("SaveBitBtn"));
    SaveBitBtn->setGeometry(296, 8, 99, 25);
    AbortBitBtn = new QPushButton(QStringLiteral("Abbrechen"), buttons);
    AbortBitBtn->setObjectName(QStringLiteral("AbortBitBtn"));
    AbortBitBtn->setGeometry(400, 8, 97, 25);

    for (QSlider* bar : {HelligkeitTrackBar, KontrastTrackBar, FarbeTrackBar}) {
        connect(bar, &QSlider::valueChanged, this, [this, bar] { TrackBarChanged(bar); });
        // Dragging computes nothing; letting go computes the preview once.
        connect(bar, &QSlider::sliderReleased, this, [this, bar] { TrackBarChanged(bar); });
    }
    connect(ZuruecksetzenButton, &QPushButton::clicked, this,
            &TPainterEffectsF::ZuruecksetzenButtonClick);
    connect(ETree, &QTreeWidget::itemClicked, this, &TPainterEffectsF::EListClick);
    connect(ETree, &QTreeWidget::itemSelectionChanged, this, &TPainterEffectsF::UpdateSaveButton);
    for (QScrollBar* bar : {EBar, cxbar, cybar, extrabar})
        connect(bar, &QScrollBar::valueChanged, this, &TPainterEffectsF::EBarChange);
    connect(SaveBitBtn, &QPushButton::clicked, this, &TPainterEffectsF::SaveBitBtnClick);
    connect(AbortBitBtn, &QPushButton::clicked, this, [this] {
        QApplication::restoreOverrideCursor();
        close();
    });
}

bool TPainterEffectsF::Open(int index, bool brightnessMode) {
    const QString path = Slideshow.PicturePath(index);
    if (path.isEmpty())
        return false;
    try {
        Preview = PictureEdits::LoadPreviewCopy(path);
    } catch (const TImagingError& error) {
        Prompter.PlainError(error.Text());
        return false;
    }
    Index = index;
    Work = Preview;
    HelligkeitPanel->setVisible(brightnessMode);
    EffectPanel->setVisible(!brightnessMode);
    UpdateSaveButton();
    if (!isVisible()) {
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
    // The centre bars span the window's outer size and start in its middle.
    const QSize outer = frameGeometry().size().expandedTo(ClientSize);
    cxbar->setMaximum(outer.width());
    cybar->setMaximum(outer.height());
    cxbar->setValue(outer.width() / 2);
    cybar->setValue(outer.height() / 2);
    raise();
    activateWindow();
    FormActivate();
    return true;
}

bool TPainterEffectsF::BrightnessMode() const {
    return !HelligkeitPanel->isHidden();
}

bool TPainterEffectsF::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Every return to the window starts the adjustments afresh.
    if (event->type() == QEvent::WindowActivate && Index >= 0)
        FormActivate();
    return handled;
}

void TPainterEffectsF::FormActivate() {
    const QPixmap original = QPixmap::fromImage(Preview);
    Image1->setPixmap(original);
    Image->setPixmap(original);
    ResetTrackBars();
    LivePreview = true;
    UpdateAdjustmentPreview();
}

void TPainterEffectsF::ResetTrackBars() {
    const bool live = LivePreview;
    LivePreview = false; // the three moves below compute one preview, not three
    HelligkeitTrackBar->setValue(0);
    FarbeTrackBar->setValue(PictureEdits::ColourRest);
    KontrastTrackBar->setValue(0);
    LivePreview = live;
    BrightnessValue = 0;
    ColourValue = PictureEdits::ColourRest;
    ContrastValue = 0;
    RenewLabels();
}

void TPainterEffectsF::RenewLabels() {
    HelligkeitLabel->setText(State.Text(2008) + QStringLiteral(": ") +
                             QString::number(BrightnessValue));
    KontrastLabel->setText(State.Text(2009) + QStringLiteral(": ") +
                           QString::number(ContrastValue));
    FarbeLabel->setText(State.Text(2010) + QStringLiteral(": ") +
                        QString::number(ColourValue - PictureEdits::ColourRest));
    for (QLabel* label : {HelligkeitLabel, KontrastLabel, FarbeLabel})
        label->adjustSize();
}

void TPainterEffectsF::TrackBarChanged(QSlider* bar) {
    if (bar->isSliderDown()) {
        LivePreview = true;
        return;
    }
    UpdateAdjustmentPreview();
}

void TPainterEffectsF::UpdateAdjustmentPreview() {
    if (!LivePreview)
        return;
    BrightnessValue = HelligkeitTrackBar->value();
    ColourValue = FarbeTrackBar->value();
    ContrastValue = KontrastTrackBar->value();
    RenewLabels();
    Work = Preview;
    PictureEdits::ApplyAdjustments(Work, BrightnessValue, ColourValue, ContrastValue);
    ShowPreview();
}

void TPainterEffectsF::ZuruecksetzenButtonClick() {
    ResetTrackBars();
    LivePreview = true;
    UpdateAdjustmentPreview();
}

int TPainterEffectsF::SelectedRow() const {
    // The selected node, not the current one: the tree makes its first node current when it
    // gets the focus, without the user choosing anything.
    const QList<QTreeWidgetItem*> selected = ETree->selectedItems();
    if (selected.isEmpty())
        return -1;
    const QTreeWidgetItem* item = selected.first();
    const int row = item->data(0, RowRole).toInt();
    return EffectCatalogue::Rows().value(row).Runs() ? row : -1;
}

void TPainterEffectsF::EListClick() {
    UpdateSaveButton();
    const int row = SelectedRow();
    if (row < 0)
        return;
    const TEffectRow& effect = EffectCatalogue::Rows()[row];
    if (effect.SetsBar)
        SetAmountRange(effect.Maximum, effect.Minimum, effect.Position);
}

void TPainterEffectsF::SetAmountRange(int maximum, int minimum, int position) {
    EBar->setMinimum(minimum);
    EBar->setMaximum(maximum);
    EBar->setValue(position);
}

void TPainterEffectsF::EBarChange() {
    if (Index < 0)
        return;
    QImage bitmap = Preview;
    if (RunEffect(bitmap)) {
        Work = bitmap;
        ShowPreview();
    }
}

bool TPainterEffectsF::RunEffect(QImage& bitmap) {
    const int row = SelectedRow();
    if (row < 0)
        return false;
    const TEffectRow& effect = EffectCatalogue::Rows()[row];
    if (effect.Number == 42 && extrabar->value() < EffectCatalogue::PlasmaMinimumScale) {
        // Moving the bar runs the effect again through its change handler, with the new scale.
        extrabar->setValue(EffectCatalogue::PlasmaMinimumScale);
    }
    return EffectCatalogue::ApplyEffect(effect, bitmap, EBar->value(), cxbar->value(),
                                        cybar->value(), extrabar->value());
}

void TPainterEffectsF::UpdateSaveButton() {
    // In effect mode a save needs a node that runs something: without one the work bitmap
    // holds the small preview copy, which must never replace the picture.
    SaveBitBtn->setEnabled(BrightnessMode() || SelectedRow() >= 0);
}

void TPainterEffectsF::SaveBitBtnClick() {
    const bool brightness = BrightnessMode();
    const int row = SelectedRow();
    const int index = Index;
    const TEditTarget target = Slideshow.EditTarget(index);
    if (target.Path.isEmpty() || (!brightness && row < 0))
        return;
    // Everything the job needs is read here: the bars and the clipboard belong to the window
    // thread.
    TEffectRow effect{};
    QImage overlay;
    if (brightness) {
        LivePreview = false;
        BrightnessValue = HelligkeitTrackBar->value();
        ColourValue = FarbeTrackBar->value();
        ContrastValue = KontrastTrackBar->value();
        RenewLabels();
    } else {
        effect = EffectCatalogue::Rows()[row];
        if (effect.Number == 42 && extrabar->value() < EffectCatalogue::PlasmaMinimumScale)
            extrabar->setValue(EffectCatalogue::PlasmaMinimumScale);
        if (effect.Number == 52)
            overlay = EffectCatalogue::ClipboardBitmap();
    }
    const std::array<int, 7> values = {BrightnessValue,  ColourValue,    ContrastValue,
                                       EBar->value(),    cxbar->value(), cybar->value(),
                                       extrabar->value()};
    struct TSaved {
        TPictureEdit Edit;
        QImage Picture;
    };
    const TSaved saved = JobBox::Run(
        this, QStringLiteral("EffectsSaveProgress"), PictureEdits::SavingText(State),
        State.Text(2006), [brightness, effect, overlay, values, target](TProgress& progress) {
            TSaved saved;
            saved.Edit.Path = target.Path;
            try {
                QImage full = PictureEdits::LoadFullPicture(target.Path);
                progress.SetPercent(30);
                if (brightness) {
                    PictureEdits::ApplyAdjustments(full, values[0], values[1], values[2]);
                } else {
                    // "Blend" without a fitting clipboard picture stores the picture as it was.
                    EffectCatalogue::ApplyEffect(effect, full, values[3], values[4], values[5],
                                                 values[6], overlay);
                }
                progress.SetPercent(70);
                if (progress.Cancelled()) {
                    saved.Edit.Cancelled = true;
                    return saved;
                }
                const int factor = PictureEdits::EffectsQualityFactor();
                saved.Edit = TSlideshow::EditFile(
                    target, [&] { TRasterImage(full).Replace(target.Path, factor); });
                progress.SetPercent(100);
                saved.Picture = full;
            } catch (const TImagingError& error) {
                saved.Edit.PlainError = error.Text();
            }
            return saved;
        });
    if (!Slideshow.FinishEdit(index, saved.Edit)) {
        if (!saved.Edit.Cancelled)
            return;
        if (brightness)
            LivePreview = true; // the bars work on as before the save
        Prompter.Information(PictureEdits::CancelledText(State));
        return;
    }
    Work = saved.Picture;
    close();
    emit Saved(index);
}

void TPainterEffectsF::ShowPreview() {
    Image->setPixmap(QPixmap::fromImage(Work));
}

} // namespace Lumerix
