#include "TPicturePage.h"

#include "TPictureDelegate.h"
#include "TPictureListView.h"
#include "document/TSlideshow.h"
#include "document/TThumbnailMaker.h"
#include "editing/ui/TFullsizeForm.h"
#include "editing/ui/TLeadEffectsForm.h"
#include "editing/ui/TPainterEffectsF.h"
#include "imaging/TRasterImage.h"
#include "printing/ui/TPrintMenu.h"
#include "shell/Execute.h"
#include "shell/Jobs.h"
#include "shell/Strings.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/TJobProgress.h"

#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace Lumerix {

namespace {

QToolButton* ArrowButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setMinimumSize(44, 36);
    return button;
}

QPushButton* EditButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The rows of a view's selection, in list order.
QList<int> SelectedRows(const QListView* view) {
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

constexpr QSize PreviewSize(320, 240);

// Runs an action, instead of the watched widget's own handling, on the events it picks.
class TEventAction final : public QObject {
public:
    TEventAction(std::function<bool(const QEvent*)> picks, std::function<void()> action,
                 QObject* parent)
        : QObject(parent), Picks(std::move(picks)), Action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (Picks(event)) {
            Action();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(const QEvent*)> Picks;
    std::function<void()> Action;
};

bool IsLeftClick(const QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

bool IsDeleteKey(const QEvent* event) {
    return event->type() == QEvent::KeyPress &&
           static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Delete;
}

} // namespace

TPicturePage::TPicturePage(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                           QWidget* parent)
    : QWidget(parent), State(state), Slideshow(slideshow), Prompter(prompter) {
    setObjectName(QStringLiteral("PicturePage"));
    Sources = new TPictureList(this);
    Progress = new TJobProgress(this);
    PreviewTimer = new QTimer(this);
    PreviewTimer->setInterval(200);
    connect(PreviewTimer, &QTimer::timeout, this, &TPicturePage::LoadPendingPreview);
    BuildControls();
    EnableEditing(false);
    RefreshCounter();
}

TPicturePage::~TPicturePage() {
    // The job works on the run state and the progress object: it must end before they go.
    Progress->Cancel();
    Job.waitForFinished();
}

void TPicturePage::BuildControls() {
    OpenBitBtn = EditButton("OpenBitBtn", this);
    // Pictures from a camera are best seen in the order they were taken.
    SourceOrderBox = new QComboBox(this);
    SourceOrderBox->setObjectName(QStringLiteral("SourceOrderBox"));
    SourceOrderBox->addItem(QString(), int(SourceFolder::TOrder::Name));
    SourceOrderBox->addItem(QString(), int(SourceFolder::TOrder::DateTaken));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    HintLabel = new QLabel(this);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    HintLabel->setWordWrap(true);
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));

    auto* delegate = new TPictureDelegate(this);
    SourceListView = new QListView(this);
    SourceListView->setObjectName(QStringLiteral("SourceListView"));
    SourceListView->setModel(Sources);
    SourceListView->setItemDelegate(delegate);
    SourceListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SourceListView->setDragEnabled(true);
    SourceListView->setDragDropMode(QAbstractItemView::DragOnly);
    SourceListView->setDefaultDropAction(Qt::CopyAction);
    SourceListView->setUniformItemSizes(true);
    SourceListView->setMinimumWidth(240);
    SourceListView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    PictureListView = new TPictureListView(this);
    PictureListView->setObjectName(QStringLiteral("PictureListView"));
    PictureListView->setModel(&Slideshow.Pictures());
    PictureListView->setItemDelegate(delegate);
    PictureListView->setMinimumWidth(280);
    PictureListView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    SpeedButton1 = ArrowButton("SpeedButton1", QStringLiteral(">"), this);
    SpeedButton2 = ArrowButton("SpeedButton2", QStringLiteral(">>"), this);
    SpeedButton3 = ArrowButton("SpeedButton3", QStringLiteral("<"), this);
    SpeedButton4 = ArrowButton("SpeedButton4", QStringLiteral("<<"), this);
    SpeedButton5 = ArrowButton("SpeedButton5", QStringLiteral("↻"), this);
    SpeedButton6 = ArrowButton("SpeedButton6", QStringLiteral("↺"), this);
    SpeedButton7 = ArrowButton("SpeedButton7", QStringLiteral("180°"), this);
    SpeedButton9 = ArrowButton("SpeedButton9", QStringLiteral("⇆"), this);
    SpeedButton10 = ArrowButton("SpeedButton10", QStringLiteral("⇅"), this);
    UndoBitBtn = EditButton("UndoBitBtn", this);
    FarbeBitBtn = EditButton("FarbeBitBtn", this);
    RGBBitBtn = EditButton("RGBBitBtn", this);
    BildbearbeitungBitBtn = EditButton("BildbearbeitungBitBtn", this);
    PrintBitBtn = EditButton("PrintBitBtn", this);
    HelpBitBtn = EditButton("HelpBitBtn", this);

    CaptionLabel = new QLabel(this);
    CaptionLabel->setObjectName(QStringLiteral("CaptionLabel"));
    TextEdit = new QLineEdit(this);
    TextEdit->setObjectName(QStringLiteral("TextEdit"));
    TextEdit->setMaxLength(MaxCaptionLength);

    LEADImage2 = new QLabel(this);
    LEADImage2->setObjectName(QStringLiteral("LEADImage2"));
    LEADImage2->setFixedSize(PreviewSize);
    LEADImage2->setAlignment(Qt::AlignCenter);
    LEADImage2->setStyleSheet(QStringLiteral("background: black;"));
    LEADImage2->hide();
    // A click on the preview opens the full-size editor, as its button does.
    LEADImage2->installEventFilter(new TEventAction(
        IsLeftClick, [this] { OpenFullEditor(); }, LEADImage2));

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->hide();
    CancelButton = EditButton("CancelButton", this);
    CancelButton->hide();
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));

    // Layout: source list | arrows | picture list | preview and edits.
    auto* left = new QVBoxLayout;
    auto* opening = new QHBoxLayout;
    opening->addWidget(OpenBitBtn, 1);
    opening->addWidget(SourceOrderBox);
    left->addLayout(opening);
    left->addWidget(Label1);
    left->addWidget(SourceListView, 1);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4})
        arrows->addWidget(button);
    arrows->addStretch();

    auto* middle = new QVBoxLayout;
    middle->addWidget(HintLabel);
    middle->addWidget(Label2);
    middle->addWidget(PictureListView, 1);
    middle->addWidget(CountLabel);
    auto* caption = new QHBoxLayout;
    caption->addWidget(CaptionLabel);
    caption->addWidget(TextEdit, 1);
    middle->addLayout(caption);

    auto* turns = new QHBoxLayout;
    for (QToolButton* button :
         {SpeedButton6, SpeedButton5, SpeedButton7, SpeedButton9, SpeedButton10})
        turns->addWidget(button);
    turns->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(LEADImage2);
    right->addLayout(turns);
    for (QPushButton* button :
         {UndoBitBtn, FarbeBitBtn, RGBBitBtn, BildbearbeitungBitBtn, PrintBitBtn, HelpBitBtn})
        right->addWidget(button);
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(arrows);
    columns->addLayout(middle, 4);
    columns->addLayout(right);

    auto* status = new QHBoxLayout;
    status->addWidget(ProgressBar, 1);
    status->addWidget(CancelButton);
    status->addWidget(StatusLabel, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(columns, 1);
    layout->addLayout(status);

    connect(OpenBitBtn, &QPushButton::clicked, this, &TPicturePage::ChooseSourceFolder);
    connect(SourceOrderBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!JobRunning && !State.SourceDir.isEmpty() && !Sources->IsEmpty())
            ListSourceFolder(State.SourceDir);
    });
    connect(SpeedButton1, &QToolButton::clicked, this, &TPicturePage::AddSelected);
    connect(SpeedButton2, &QToolButton::clicked, this, &TPicturePage::AddAll);
    connect(SpeedButton3, &QToolButton::clicked, this, &TPicturePage::RemoveSelected);
    connect(SpeedButton4, &QToolButton::clicked, this, &TPicturePage::RemoveAll);
    const std::pair<QToolButton*, TTransform> transforms[] = {
        {SpeedButton5, TTransform::RotateRight},      {SpeedButton6, TTransform::RotateLeft},
        {SpeedButton7, TTransform::Rotate180},        {SpeedButton9, TTransform::MirrorLeftRight},
        {SpeedButton10, TTransform::MirrorTopBottom},
    };
    for (const auto& [button, transform] : transforms) {
        connect(button, &QToolButton::clicked, this,
                [this, transform] { ApplyTransform(int(transform)); });
    }
    connect(UndoBitBtn, &QPushButton::clicked, this, &TPicturePage::UndoLast);
    connect(FarbeBitBtn, &QPushButton::clicked, this, &TPicturePage::OpenEffects);
    connect(RGBBitBtn, &QPushButton::clicked, this, &TPicturePage::OpenColourCorrection);
    connect(BildbearbeitungBitBtn, &QPushButton::clicked, this, &TPicturePage::OpenFullEditor);
    connect(PrintBitBtn, &QPushButton::clicked, this, &TPicturePage::OpenPrintMenu);
    connect(HelpBitBtn, &QPushButton::clicked, this,
            [this] { Execute::OpenDocument(State.HelpFile()); });
    connect(CancelButton, &QPushButton::clicked, Progress, &TJobProgress::Cancel);
    connect(Progress, &TJobProgress::PercentChanged, ProgressBar, &QProgressBar::setValue);
    connect(Progress, &TJobProgress::StatusChanged, StatusLabel, &QLabel::setText);
    connect(TextEdit, &QLineEdit::textEdited, this, &TPicturePage::CaptionEdited);

    connect(PictureListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TPicturePage::PictureSelected);
    connect(SourceListView, &QListView::clicked, this, &TPicturePage::SourceSelected);
    connect(SourceListView, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { AddSourceRows({index.row()}, -1); });
    connect(PictureListView, &TPictureListView::DeletePressed, this, &TPicturePage::RemoveSelected);
    // The Delete key in the source list removes as in the picture list.
    SourceListView->installEventFilter(new TEventAction(
        IsDeleteKey, [this] { RemoveSelected(); }, this));
    connect(PictureListView, &TPictureListView::MoveRequested, this, [this](int from, int to) {
        Slideshow.MovePicture(from, to);
        Reselect(to);
    });
    connect(PictureListView, &TPictureListView::DroppedFrom, this,
            [this](QWidget* source, int row) {
                if (source == SourceListView)
                    AddSourceRows(SelectedRows(SourceListView), row);
            });
}

void TPicturePage::SetCaptions() {
    OpenBitBtn->setText(State.Text(591));
    OpenBitBtn->setToolTip(State.Text(589));
    const bool german = State.Language().IsGerman();
    SourceOrderBox->setItemText(0,
                                german ? QStringLiteral("Nach Name") : QStringLiteral("By name"));
    SourceOrderBox->setItemText(1, german ? QStringLiteral("Nach Aufnahmedatum")
                                          : QStringLiteral("By date taken"));
    Label1->setText(State.Text(590));
    Label2->setText(State.Text(592));
    HintLabel->setText(State.Text(593));
    CaptionLabel->setText(State.Text(596));
    FarbeBitBtn->setText(State.Text(597));
    RGBBitBtn->setText(State.Text(598));
    BildbearbeitungBitBtn->setText(State.Text(599));
    UndoBitBtn->setText(State.Text(600));
    PrintBitBtn->setText(State.Text(601));
    HelpBitBtn->setText(State.Text(602));
    SpeedButton6->setToolTip(State.Text(603));
    SpeedButton5->setToolTip(State.Text(604));
    SpeedButton7->setToolTip(State.Text(605));
    SpeedButton9->setToolTip(State.Text(606));
    SpeedButton10->setToolTip(State.Text(607));
    SpeedButton1->setToolTip(State.Text(608));
    SpeedButton2->setToolTip(State.Text(609));
    SpeedButton3->setToolTip(State.Text(610));
    SpeedButton4->setToolTip(State.Text(611));
    CancelButton->setText(State.Text(1802));
    RefreshCounter();
}

void TPicturePage::ClearStatus() {
    StatusLabel->clear();
}

void TPicturePage::RunJob(std::function<void()> work, std::function<void()> done) {
    JobRunning = true;
    Progress->Reset();
    ProgressBar->setValue(0);
    ProgressBar->show();
    CancelButton->show();
    for (QWidget* control : std::initializer_list<QWidget*>{OpenBitBtn, SpeedButton1, SpeedButton2,
                                                            SpeedButton3, SpeedButton4})
        control->setEnabled(false);
    setCursor(Qt::BusyCursor);

    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, done] {
        watcher->deleteLater();
        ProgressBar->hide();
        CancelButton->hide();
        for (QWidget* control : std::initializer_list<QWidget*>{
                 OpenBitBtn, SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4})
            control->setEnabled(true);
        unsetCursor();
        JobRunning = false;
        done();
        emit JobFinished();
    });
    Job = QtConcurrent::run(Jobs::Pool(), std::move(work));
    watcher->setFuture(Job);
}

void TPicturePage::OpenShow(const QString& name) {
    const TRunState& state = State;
    TJobProgress* progress = Progress;
    auto failure = std::make_shared<QString>();
    RunJob([&state, name, progress,
            failure] { *failure = TSlideshow::MakeMissingThumbnails(state, name, *progress); },
           [this, name, failure] {
               Slideshow.OpenShow(name, *Progress);
               ShowChanged();
               emit ShowOpened();
               if (!failure->isEmpty())
                   Prompter.Error(*failure);
           });
}

void TPicturePage::ShowChanged() {
    HidePreview();
    Selected = -1;
    TextEdit->clear();
    EnableEditing(false);
    RefreshCounter();
}

void TPicturePage::SelectRow(int row) {
    RefreshCounter();
    Reselect(row);
}

void TPicturePage::ChooseSourceFolder() {
    for (;;) {
        const QStringList files =
            Prompter.ChooseFiles(State.Text(4200), State.SourceDir,
                                 QStringLiteral("Bilder, Pictures (*.jpg *.JPG *.Jpg *.png *.PNG "
                                                "*.webp *.WEBP *.tif *.TIF *.tiff *.TIFF *.heic "
                                                "*.HEIC *.heif *.HEIF *.bmp *.BMP)"),
                                 false);
        if (files.isEmpty())
            return;
        const QString folder = Strings::AddBackslash(QFileInfo(files.first()).absolutePath());
        const QString upper = folder.toUpper();
        if (upper.contains(State.WorkspaceDir.toUpper()) ||
            upper.contains(State.ProgramDir.toUpper())) {
            Prompter.Information(State.Text(10003));
            continue;
        }
        State.SourceDir = folder;
        ListSourceFolder(folder);
        return;
    }
}

void TPicturePage::ListSourceFolder(const QString& folder) {
    Sources->Clear();
    auto entries = std::make_shared<QStringList>();
    const TRunState& state = State;
    TJobProgress* progress = Progress;
    const auto order = SourceFolder::TOrder(SourceOrderBox->currentData().toInt());
    RunJob([&state, folder, progress, entries,
            order] { *entries = SourceFolder::List(state, folder, *progress, order); },
           [this, entries] {
               Sources->SetEntries(*entries);
               StatusLabel->clear();
           });
}

void TPicturePage::AddSourceRows(QList<int> rows, int insertRow) {
    if (JobRunning)
        return;
    QStringList paths;
    for (const int row : std::as_const(rows)) {
        if (row >= 0 && row < Sources->Count())
            paths.append(State.SourceDir + Sources->Parsed(row).FileName);
    }
    if (paths.isEmpty() || !Slideshow.BeginImport())
        return;
    auto imported = std::make_shared<QList<TImportedPicture>>();
    const TRunState& state = State;
    const QString folder = Slideshow.ShowDir();
    TJobProgress* progress = Progress;
    RunJob([&state, folder, paths, progress,
            imported] { *imported = TSlideshow::Import(state, folder, paths, *progress); },
           [this, imported, insertRow] {
               const int inserted = Slideshow.FinishImport(*imported, insertRow);
               RefreshCounter();
               if (insertRow >= 0 && inserted > 0) {
                   // Dropped pictures stay selected where they landed.
                   Reselect(insertRow);
               }
           });
}

void TPicturePage::AddSelected() {
    const QList<int> rows = SelectedRows(SourceListView);
    if (rows.isEmpty()) {
        Prompter.Information(State.Text(10004));
        return;
    }
    AddSourceRows(rows, -1);
}

void TPicturePage::AddAll() {
    if (Sources->IsEmpty()) {
        Prompter.Information(State.Text(10005));
        return;
    }
    QList<int> rows;
    for (int row = 0; row < Sources->Count(); ++row)
        rows.append(row);
    AddSourceRows(rows, -1);
}

void TPicturePage::RemoveSelected() {
    if (JobRunning)
        return;
    TextEdit->clear();
    EnableEditing(false);
    HidePreview();
    Slideshow.RemoveSelected(SelectedRows(PictureListView));
    Selected = -1;
    RefreshCounter();
}

void TPicturePage::RemoveAll() {
    if (JobRunning)
        return;
    if (Slideshow.RemoveAll()) {
        ShowChanged();
    }
}

void TPicturePage::PictureSelected() {
    const QList<int> rows = SelectedRows(PictureListView);
    const int current = PictureListView->currentIndex().row();
    const int row = rows.contains(current) ? current : rows.value(0, -1);
    if (row < 0) {
        Selected = -1;
        TextEdit->clear();
        EnableEditing(false);
        return;
    }
    if (row != Selected) {
        // The undo history belongs to one picture.
        Slideshow.DeleteUndoCopies();
        Selected = row;
    }
    SourceListView->clearSelection();
    const TPictureEntry entry = Slideshow.Pictures().Parsed(row);
    TextEdit->setText(entry.Caption);
    EnableEditing(true);
    StartPreview(Slideshow.PicturePath(row), false);
}

void TPicturePage::SourceSelected() {
    PictureListView->clearSelection();
    const QModelIndex index = SourceListView->currentIndex();
    if (index.isValid())
        StartPreview(State.SourceDir + Sources->Parsed(index.row()).FileName, false);
}

void TPicturePage::CaptionEdited(const QString& text) {
    if (Selected >= 0)
        Slideshow.SetCaption(Selected, text);
}

void TPicturePage::ApplyTransform(int transform) {
    const int row = Selected;
    const TEditTarget target = Slideshow.EditTarget(row);
    if (JobRunning || target.Path.isEmpty())
        return;
    // The picture, its undo history and its entry stay put until the edit is taken over.
    EnableEditing(false);
    PictureListView->setEnabled(false);
    auto edit = std::make_shared<TPictureEdit>();
    TJobProgress* progress = Progress;
    RunJob([target, transform, progress,
            edit] { *edit = TSlideshow::TransformFile(target, TTransform(transform), *progress); },
           [this, row, edit] {
               PictureListView->setEnabled(true);
               const bool changed = Slideshow.FinishEdit(row, *edit);
               if (edit->Cancelled)
                   StatusLabel->setText(State.Language().Pick(QStringLiteral("Abgebrochen"),
                                                              QStringLiteral("Cancelled")));
               Reselect(row);
               EnableEditing(true);
               if (changed)
                   StartPreview(Slideshow.PicturePath(row), true);
           });
}

void TPicturePage::UndoLast() {
    const int row = Selected;
    if (JobRunning || row < 0 || !Slideshow.Undo(row))
        return;
    Reselect(row);
    EnableEditing(true);
    StartPreview(Slideshow.PicturePath(row), true);
}

void TPicturePage::OpenEffects() {
    if (Selected < 0)
        return;
    if (EffectsForm == nullptr) {
        EffectsForm = new TPainterEffectsF(State, Slideshow, Prompter, this);
        connect(EffectsForm, &TPainterEffectsF::Saved, this, &TPicturePage::PictureEdited);
    }
    EffectsForm->Open(Selected, true);
}

void TPicturePage::OpenColourCorrection() {
    const int row = Selected;
    if (row < 0)
        return;
    TLeadEffectsForm form(State, Slideshow, Prompter, this);
    if (form.Prepare(TLeadEffectsForm::TMode::Rgb, row) && form.exec() == QDialog::Accepted)
        PictureEdited(row);
}

void TPicturePage::OpenFullEditor() {
    const int row = Selected;
    if (row < 0 || !BildbearbeitungBitBtn->isEnabled())
        return;
    // One editor for the whole run: its marking state outlasts a closing.
    auto* editor = findChild<TFullsizeForm*>();
    if (editor == nullptr)
        editor = new TFullsizeForm(State, Slideshow, Prompter, this);
    editor->Open(row);
    PictureEdited(row);
}

void TPicturePage::OpenPrintMenu() {
    ShowPrintMenu(State, Slideshow, Prompter, this, QCursor::pos());
}

void TPicturePage::PictureEdited(int row) {
    if (row < 0 || row >= Slideshow.Pictures().Count())
        row = Slideshow.Pictures().Count() - 1;
    Reselect(row);
    EnableEditing(row >= 0);
    if (row >= 0)
        StartPreview(Slideshow.PicturePath(row), true);
}

void TPicturePage::EnableEditing(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             SpeedButton5, SpeedButton6, SpeedButton7, SpeedButton9, SpeedButton10})
        control->setEnabled(enabled);
    for (QWidget* control : std::initializer_list<QWidget*>{FarbeBitBtn, RGBBitBtn,
                                                            BildbearbeitungBitBtn, PrintBitBtn})
        control->setEnabled(enabled);
    UndoBitBtn->setEnabled(enabled && State.UndoCount > 0);
    TextEdit->setEnabled(enabled);
    QPalette palette = CaptionLabel->palette();
    palette.setColor(QPalette::WindowText, enabled ? QColor(Qt::darkBlue) : QColor(Qt::gray));
    CaptionLabel->setPalette(palette);
}

void TPicturePage::RefreshCounter() {
    CountLabel->setText(Slideshow.PictureCounterText());
}

void TPicturePage::Reselect(int row) {
    if (row < 0 || row >= Slideshow.Pictures().Count())
        return;
    const QModelIndex index = Slideshow.Pictures().index(row);
    PictureListView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    PictureListView->scrollTo(index);
}

void TPicturePage::StartPreview(const QString& path, bool force) {
    if (path.isEmpty())
        return;
    if (!force && path == PreviewShown && LEADImage2->isVisible())
        return;
    if (force)
        PreviewShown.clear();
    PendingPreview = path;
    PreviewTimer->start();
}

void TPicturePage::LoadPendingPreview() {
    // While the user extends a selection the preview waits.
    if (QGuiApplication::queryKeyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        return;
    PreviewTimer->stop();
    const QString path = PendingPreview;
    const int generation = ++PreviewGeneration;
    const QSize size = LEADImage2->size();
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, path, generation] {
        watcher->deleteLater();
        if (generation == PreviewGeneration)
            ShowPreview(watcher->result(), path);
    });
    watcher->setFuture(QtConcurrent::run(Jobs::Pool(), [path, size] {
        try {
            TRasterImage image;
            image.LoadScaled(path, size);
            return image.Bitmap().scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        } catch (const TImagingError&) {
            return QImage();
        }
    }));
}

void TPicturePage::ShowPreview(const QImage& image, const QString& path) {
    LEADImage2->setPixmap(QPixmap::fromImage(image));
    LEADImage2->show();
    PreviewShown = path;
    emit PreviewLoaded();
}

void TPicturePage::HidePreview() {
    ++PreviewGeneration;
    PreviewTimer->stop();
    LEADImage2->clear();
    LEADImage2->hide();
    PreviewShown.clear();
}

} // namespace Lumerix
