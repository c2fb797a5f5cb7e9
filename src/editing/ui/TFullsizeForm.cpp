#include "TFullsizeForm.h"

#include "EditJob.h"
#include "TImageView.h"
#include "TLeadEffectsForm.h"
#include "TPainterEffectsF.h"
#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "printing/ui/TPrintMenu.h"
#include "shell/Execute.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/JobBox.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

QPushButton* ColumnButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumHeight(30);
    button->setAutoDefault(false); // Return does not run an edit
    return button;
}

QToolButton* TurnButton(const char* name, const QString& symbol, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(symbol);
    button->setMinimumSize(36, 30);
    return button;
}

} // namespace

TFullsizeForm::TFullsizeForm(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                             QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      State(state), Slideshow(slideshow), Prompter(prompter) {
    setObjectName(QStringLiteral("FullsizeForm"));
    BuildControls();
    LEADImage1->SetMarking(&Mark);
}

void TFullsizeForm::BuildControls() {
    EinpassenBitBtn = ColumnButton("EinpassenBitBtn", this);
    OriginalBitBtn = ColumnButton("OriginalBitBtn", this);
    LinksSpeedButton = TurnButton("LinksSpeedButton", QStringLiteral("↺"), this);
    RechtsSpeedButton = TurnButton("RechtsSpeedButton", QStringLiteral("↻"), this);
    DrehenSpeedButton = TurnButton("DrehenSpeedButton", QStringLiteral("180°"), this);
    HorizontalSpeedButton = TurnButton("HorizontalSpeedButton", QStringLiteral("⇆"), this);
    VertikalSpeedButton = TurnButton("VertikalSpeedButton", QStringLiteral("⇅"), this);
    FarbeBitBtn = ColumnButton("FarbeBitBtn", this);
    RGBBitBtn = ColumnButton("RGBBitBtn", this);
    ZuschneidenBitBtn = ColumnButton("ZuschneidenBitBtn", this);
    SchaerfeBitBtn = ColumnButton("SchaerfeBitBtn", this);
    EffekteBitBtn = ColumnButton("EffekteBitBtn", this);
    UndoBitBtn = ColumnButton("UndoBitBtn", this);
    PrintBitBtn = ColumnButton("PrintBitBtn", this);
    HilfeBitBtn = ColumnButton("HilfeBitBtn", this);
    CloseBitBtn = ColumnButton("CloseBitBtn", this);
    LEADImage1 = new TImageView(this);
    LEADImage1->setObjectName(QStringLiteral("LEADImage1"));
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto* turns = new QHBoxLayout;
    turns->setSpacing(2);
    for (QToolButton* button : {LinksSpeedButton, RechtsSpeedButton, DrehenSpeedButton,
                                HorizontalSpeedButton, VertikalSpeedButton})
        turns->addWidget(button);

    auto* column = new QVBoxLayout;
    column->addWidget(EinpassenBitBtn);
    column->addWidget(OriginalBitBtn);
    column->addSpacing(8);
    column->addLayout(turns);
    column->addSpacing(8);
    for (QPushButton* button :
         {FarbeBitBtn, RGBBitBtn, ZuschneidenBitBtn, SchaerfeBitBtn, EffekteBitBtn, UndoBitBtn})
        column->addWidget(button);
    column->addSpacing(8);
    column->addWidget(PrintBitBtn);
    column->addWidget(HilfeBitBtn);
    column->addStretch();
    column->addWidget(CloseBitBtn);

    auto* columns = new QHBoxLayout;
    columns->addLayout(column);
    columns->addWidget(LEADImage1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addLayout(columns, 1);
    layout->addWidget(StatusBar);

    connect(EinpassenBitBtn, &QPushButton::clicked, this,
            [this] { LEADImage1->SetSizeMode(TImageView::TSizeMode::Fit); });
    connect(OriginalBitBtn, &QPushButton::clicked, this,
            [this] { LEADImage1->SetSizeMode(TImageView::TSizeMode::Normal); });
    // Each turn button does what its hint says, as the page's buttons do.
    const std::pair<QToolButton*, TTransform> transforms[] = {
        {LinksSpeedButton, TTransform::RotateLeft},
        {RechtsSpeedButton, TTransform::RotateRight},
        {DrehenSpeedButton, TTransform::Rotate180},
        {HorizontalSpeedButton, TTransform::MirrorLeftRight},
        {VertikalSpeedButton, TTransform::MirrorTopBottom},
    };
    for (const auto& [button, transform] : transforms) {
        connect(button, &QToolButton::clicked, this,
                [this, transform] { ApplyTransform(transform); });
    }
    connect(FarbeBitBtn, &QPushButton::clicked, this, [this] { OpenEffects(true); });
    connect(RGBBitBtn, &QPushButton::clicked, this, &TFullsizeForm::OpenRgb);
    connect(ZuschneidenBitBtn, &QPushButton::clicked, this, &TFullsizeForm::Crop);
    connect(SchaerfeBitBtn, &QPushButton::clicked, this, &TFullsizeForm::OpenSharpen);
    connect(EffekteBitBtn, &QPushButton::clicked, this, [this] { OpenEffects(false); });
    connect(UndoBitBtn, &QPushButton::clicked, this, &TFullsizeForm::UndoLast);
    connect(PrintBitBtn, &QPushButton::clicked, this, &TFullsizeForm::Print);
    connect(HilfeBitBtn, &QPushButton::clicked, this,
            [this] { Execute::OpenDocument(State.HelpFile()); });
    connect(CloseBitBtn, &QPushButton::clicked, this, &QDialog::accept);
    // The effects window works on the picture this window shows, so it closes with it.
    connect(this, &QDialog::finished, this, [this] {
        if (EffectsForm != nullptr)
            EffectsForm->hide();
    });

    connect(LEADImage1, &TImageView::Pressed, this, &TFullsizeForm::ViewPressed);
    connect(LEADImage1, &TImageView::Moved, this, &TFullsizeForm::ViewMoved);
    connect(LEADImage1, &TImageView::Released, this, &TFullsizeForm::ViewReleased);
}

void TFullsizeForm::SetCaptions() {
    setWindowTitle(State.Caption());
    EinpassenBitBtn->setText(State.Text(3000));
    OriginalBitBtn->setText(State.Text(3001));
    LinksSpeedButton->setToolTip(State.Text(603));
    RechtsSpeedButton->setToolTip(State.Text(604));
    DrehenSpeedButton->setToolTip(State.Text(605));
    HorizontalSpeedButton->setToolTip(State.Text(606));
    VertikalSpeedButton->setToolTip(State.Text(607));
    FarbeBitBtn->setText(State.Text(3002));
    RGBBitBtn->setText(State.Text(3003));
    ZuschneidenBitBtn->setText(State.Text(3004));
    SchaerfeBitBtn->setText(State.Text(3005));
    EffekteBitBtn->setText(State.Text(3006));
    UndoBitBtn->setText(State.Text(3007));
    PrintBitBtn->setText(State.Text(3008));
    HilfeBitBtn->setText(State.Text(3009));
    CloseBitBtn->setText(State.Text(3010));
}

void TFullsizeForm::Prepare(int index) {
    Row = index;
    SetCaptions();
    TakePicture();
}

void TFullsizeForm::Open(int index) {
    Prepare(index);
    // The whole screen even where no window manager honours the maximised state.
    if (const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : nullptr)
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
}

void TFullsizeForm::TakePicture() {
    QImage picture;
    const QString path = Slideshow.PicturePath(Row);
    if (!path.isEmpty()) {
        try {
            TRasterImage image;
            image.Load(path);
            picture = image.Bitmap();
        } catch (const TImagingError&) {
            // The view stays empty; presses on it then do nothing.
        }
    }
    Mark.SetPicture(picture);
    LEADImage1->PictureChanged();
    UndoBitBtn->setEnabled(State.UndoCount > 0);
}

void TFullsizeForm::ApplyTransform(TTransform transform) {
    if (Row < 0)
        return;
    const TEditTarget target = Slideshow.EditTarget(Row);
    if (target.Path.isEmpty())
        return;
    const TPictureEdit edit =
        JobBox::Run(this, QStringLiteral("TransformProgress"),
                    State.Language().Pick(QStringLiteral("Das Bild wird gedreht …"),
                                          QStringLiteral("Turning the picture …")),
                    State.Text(1802), [target, transform](TProgress& progress) {
                        return TSlideshow::TransformFile(target, transform, progress);
                    });
    // A failure is reported by the slideshow; the view shows the file either way.
    Slideshow.FinishEdit(Row, edit);
    TakePicture();
}

void TFullsizeForm::OpenEffects(bool brightnessMode) {
    if (Row < 0)
        return;
    if (EffectsForm == nullptr) {
        // A child of this window, so that it takes input while the editor is modal.
        EffectsForm = new TPainterEffectsF(State, Slideshow, Prompter, this);
        connect(EffectsForm, &TPainterEffectsF::Saved, this, [this](int) { TakePicture(); });
    }
    EffectsForm->Open(Row, brightnessMode);
    TakePicture();
}

void TFullsizeForm::OpenRgb() {
    if (Row < 0)
        return;
    TLeadEffectsForm form(State, Slideshow, Prompter, this);
    if (form.Prepare(TLeadEffectsForm::TMode::Rgb, Row))
        form.exec();
    TakePicture();
}

void TFullsizeForm::OpenSharpen() {
    if (Row < 0)
        return;
    TLeadEffectsForm form(State, Slideshow, Prompter, this);
    if (form.Prepare(TLeadEffectsForm::TMode::Sharpen, Row) && form.exec() == QDialog::Accepted)
        TakePicture();
}

void TFullsizeForm::Crop() {
    if (Row < 0)
        return;
    if (!Mark.HasMarking()) {
        Prompter.Information(State.Text(3011));
        return;
    }
    const std::optional<TRasterImage> cropped = Mark.Crop();
    const bool stored = cropped && PictureEdits::StoreInJob(
                                       this, QStringLiteral("CropProgress"), State, Slideshow,
                                       Prompter, Row, cropped->Bitmap(), 2,
                                       QStringLiteral("An error occured in your application, \n"));
    if (!stored) {
        LEADImage1->PictureChanged();
        return;
    }
    // The view shows what was written; the copy and the marking end without being combined
    // into it, since their place belongs to the uncropped picture.
    TakePicture();
    LEADImage1->SetSizeMode(TImageView::TSizeMode::Normal);
}

void TFullsizeForm::UndoLast() {
    if (Row < 0)
        return;
    setCursor(Qt::BusyCursor);
    Slideshow.Undo(Row);
    unsetCursor();
    Mark.Reset();
    LEADImage1->viewport()->setCursor(Qt::CrossCursor);
    LEADImage1->SetSizeMode(TImageView::TSizeMode::Normal);
    TakePicture();
}

void TFullsizeForm::Print() {
    ShowPrintMenu(State, Slideshow, Prompter, this, QCursor::pos());
}

void TFullsizeForm::ViewPressed(QPoint point, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !Mark.HasPicture())
        return;
    const bool floating = Mark.HasFloater();
    if (!Mark.Press(LEADImage1->ToPicture(point)))
        return;
    if (floating && !Mark.HasFloater())
        LEADImage1->PictureChanged(); // the copy was dropped into the picture
    else
        LEADImage1->viewport()->update();
    UpdateCursor(point);
}

void TFullsizeForm::ViewMoved(QPoint point) {
    if (Mark.Move(LEADImage1->ToPicture(point)))
        LEADImage1->viewport()->update();
    UpdateCursor(point);
}

void TFullsizeForm::ViewReleased(QPoint point, Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    if (Mark.Release(LEADImage1->ToPicture(point)))
        LEADImage1->viewport()->update();
    UpdateCursor(point);
}

void TFullsizeForm::UpdateCursor(QPoint point) {
    if (!Mark.HasPicture())
        return;
    if (const std::optional<Qt::CursorShape> shape = Mark.CursorAt(LEADImage1->ToPicture(point)))
        LEADImage1->viewport()->setCursor(*shape);
}

} // namespace Lumerix
