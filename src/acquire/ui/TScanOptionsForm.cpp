#include "TScanOptionsForm.h"

#include "acquire/SaneTexts.h"
#include "acquire/TScanner.h"
#include "shell/Jobs.h"
#include "shell/TLanguage.h"
#include "shell/ui/TJobProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <functional>
#include <limits>
#include <memory>

namespace Lumerix {

/// The preview picture fitted into the widget, the scan area drawn over it; dragging a
/// rectangle chooses a new area, given as fractions of the whole picture.
class TScanPreview final : public QWidget {
public:
    explicit TScanPreview(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("ScanPreview"));
        setMinimumSize(260, 320);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void SetPicture(const QImage& picture) {
        Picture = picture;
        update();
    }
    void SetArea(const QRectF& fraction) {
        Area = fraction;
        update();
    }
    std::function<void(const QRectF&)> AreaChosen;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect frame = Frame();
        painter.fillRect(rect(), palette().window());
        painter.fillRect(frame, Qt::white);
        if (!Picture.isNull())
            painter.drawImage(frame, Picture);
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        if (Area.isValid()) {
            painter.setPen(QPen(QColor(0, 90, 200), 2, Qt::DashLine));
            painter.drawRect(ToWidget(Area));
        }
        if (Dragging) {
            painter.setPen(QPen(QColor(200, 40, 40), 1, Qt::DashLine));
            painter.drawRect(QRect(DragStart, DragEnd).normalized());
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        Dragging = true;
        DragStart = DragEnd = Clamp(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!Dragging)
            return;
        DragEnd = Clamp(event->position().toPoint());
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (!Dragging || event->button() != Qt::LeftButton)
            return;
        Dragging = false;
        const QRect chosen = QRect(DragStart, Clamp(event->position().toPoint())).normalized();
        update();
        const QRect frame = Frame();
        if (chosen.width() < 4 || chosen.height() < 4 || frame.isEmpty() || !AreaChosen)
            return;
        AreaChosen(QRectF(double(chosen.left() - frame.left()) / frame.width(),
                          double(chosen.top() - frame.top()) / frame.height(),
                          double(chosen.width()) / frame.width(),
                          double(chosen.height()) / frame.height()));
    }

private:
    // The picture's place: its aspect kept, or a square before the first preview.
    QRect Frame() const {
        const QSize shape = Picture.isNull() ? QSize(1, 1) : Picture.size();
        const QSize fitted = shape.scaled(size() - QSize(8, 8), Qt::KeepAspectRatio);
        return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                     fitted);
    }
    QRect ToWidget(const QRectF& fraction) const {
        const QRect frame = Frame();
        return QRectF(frame.left() + fraction.left() * frame.width(),
                      frame.top() + fraction.top() * frame.height(),
                      fraction.width() * frame.width(), fraction.height() * frame.height())
            .toRect();
    }
    QPoint Clamp(QPoint point) const {
        const QRect frame = Frame();
        return QPoint(qBound(frame.left(), point.x(), frame.right()),
                      qBound(frame.top(), point.y(), frame.bottom()));
    }

    QImage Picture;
    QRectF Area;
    bool Dragging = false;
    QPoint DragStart;
    QPoint DragEnd;
};

namespace {

// Options a user looks for first; the rest follow in the device's order. The preview mode
// belongs to the preview button, not to an editor.
const char* const MainOptions[] = {"source", "mode", "depth", "resolution"};
const char* const AreaOptions[] = {"tl-x", "tl-y", "br-x", "br-y"};

bool IsAreaOption(const QString& name) {
    for (const char* area : AreaOptions) {
        if (name == QLatin1String(area))
            return true;
    }
    return false;
}

QString Label(const TScanOption& option, const TLanguage& language) {
    const QString title =
        option.Title.isEmpty() ? option.Name : SaneTexts::Translate(option.Title, language.Code());
    return title + u':';
}

} // namespace

TScanOptionsForm::TScanOptionsForm(const QString& caption, const TLanguage& language,
                                   TScanner& scanner, QWidget* parent)
    : QDialog(parent), Language(language), Scanner(scanner) {
    setObjectName(QStringLiteral("ScanOptionsForm"));
    setWindowTitle(caption + QStringLiteral(" – ") + scanner.Name());
    Progress = new TJobProgress(this);

    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns, 1);

    auto* scroll = OptionScroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(420);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    OptionPanel = new QWidget(scroll);
    OptionPanel->setObjectName(QStringLiteral("OptionPanel"));
    OptionLayout = new QVBoxLayout(OptionPanel);
    scroll->setWidget(OptionPanel);
    // The panel only ever scrolls up and down: focusing a new editor after a rebuild would
    // otherwise slide it sideways and cut off the labels.
    connect(scroll->horizontalScrollBar(), &QScrollBar::valueChanged, scroll, [scroll](int value) {
        if (value != 0)
            scroll->horizontalScrollBar()->setValue(0);
    });
    auto* left = new QVBoxLayout;
    left->addWidget(scroll, 1);
    AdvancedBox = new QCheckBox(Language.Pick(QStringLiteral("Erweiterte Optionen zeigen"),
                                              QStringLiteral("Show advanced options")),
                                this);
    AdvancedBox->setObjectName(QStringLiteral("AdvancedBox"));
    left->addWidget(AdvancedBox);
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    PreviewView = new TScanPreview(this);
    PreviewView->AreaChosen = [this](const QRectF& fraction) {
        AreaChosen(fraction);
    };
    right->addWidget(PreviewView, 1);
    PreviewButton =
        new QPushButton(Language.Pick(QStringLiteral("Vorschau"), QStringLiteral("Preview")), this);
    PreviewButton->setObjectName(QStringLiteral("PreviewButton"));
    right->addWidget(PreviewButton);
    columns->addLayout(right, 1);

    auto* bottom = new QHBoxLayout;
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->hide();
    ScanButton =
        new QPushButton(Language.Pick(QStringLiteral("Einlesen"), QStringLiteral("Scan")), this);
    ScanButton->setObjectName(QStringLiteral("ScanButton"));
    ScanButton->setDefault(true);
    CancelButton =
        new QPushButton(Language.Pick(QStringLiteral("Abbrechen"), QStringLiteral("Cancel")), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    bottom->addWidget(StatusLabel, 1);
    bottom->addWidget(ProgressBar, 1);
    bottom->addWidget(ScanButton);
    bottom->addWidget(CancelButton);
    layout->addLayout(bottom);

    connect(AdvancedBox, &QCheckBox::toggled, this, &TScanOptionsForm::Rebuild);
    connect(PreviewButton, &QPushButton::clicked, this, &TScanOptionsForm::StartPreview);
    connect(ScanButton, &QPushButton::clicked, this, &TScanOptionsForm::StartScan);
    connect(CancelButton, &QPushButton::clicked, this, &TScanOptionsForm::reject);
    connect(Progress, &TJobProgress::PercentChanged, ProgressBar, &QProgressBar::setValue);
    connect(Progress, &TJobProgress::StatusChanged, StatusLabel, &QLabel::setText);

    Rebuild();
    resize(820, 560);
}

TScanOptionsForm::~TScanOptionsForm() {
    if (Running) {
        Progress->Cancel();
        Job.waitForFinished();
    }
    // QDialog's destructor hides the window, and the focused editor's "editing finished"
    // would then call into this form after its members are gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

void TScanOptionsForm::Rebuild() {
    // The scan thread owns the device's options until it has finished.
    if (Running)
        return;
    RebuildPending = false;
    // The new editors keep the place the user scrolled to.
    const int scrolled = OptionScroll->verticalScrollBar()->value();
    QTimer::singleShot(0, this,
                       [this, scrolled] { OptionScroll->verticalScrollBar()->setValue(scrolled); });
    // Focus stays on the same option's new editor, so tabbing through the options works.
    QString focused;
    if (QWidget* widget = focusWidget(); widget && OptionPanel->isAncestorOf(widget)) {
        while (widget && !widget->objectName().startsWith(u"Option_"))
            widget = widget->parentWidget();
        if (widget)
            focused = widget->objectName();
    }
    // Take the old editors out before their owners go.
    while (QLayoutItem* item = OptionLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    const bool advanced = AdvancedBox->isChecked();
    auto shown = [advanced](const TScanOption& option) {
        return option.Editable() && option.Count == 1 && (advanced || !option.Advanced);
    };

    auto* main = new QGroupBox(Language.Pick(QStringLiteral("Scannen"), QStringLiteral("Scanning")),
                               OptionPanel);
    auto* mainForm = new QFormLayout(main);
    mainForm->setRowWrapPolicy(QFormLayout::WrapLongRows);
    for (const char* name : MainOptions) {
        const TScanOption* option = Scanner.Option(QLatin1String(name));
        if (option && shown(*option))
            mainForm->addRow(Label(*option, Language), Editor(*option));
    }
    if (mainForm->rowCount() > 0)
        OptionLayout->addWidget(main);
    else
        delete main;

    auto* area = new QGroupBox(
        Language.Pick(QStringLiteral("Scanbereich"), QStringLiteral("Scan area")), OptionPanel);
    auto* areaForm = new QFormLayout(area);
    areaForm->setRowWrapPolicy(QFormLayout::WrapLongRows);
    for (const char* name : AreaOptions) {
        const TScanOption* option = Scanner.Option(QLatin1String(name));
        if (option && shown(*option))
            areaForm->addRow(Label(*option, Language), Editor(*option));
    }
    if (areaForm->rowCount() > 0)
        OptionLayout->addWidget(area);
    else
        delete area;

    // Every further option under its device group's heading.
    QGroupBox* group = nullptr;
    QFormLayout* groupForm = nullptr;
    QString groupTitle;
    for (const TScanOption& option : Scanner.Options()) {
        if (!shown(option) || IsAreaOption(option.Name) || option.Name == u"preview" ||
            std::any_of(std::begin(MainOptions), std::end(MainOptions),
                        [&](const char* name) { return option.Name == QLatin1String(name); }))
            continue;
        if (!group || option.Group != groupTitle) {
            groupTitle = option.Group;
            group = new QGroupBox(groupTitle.isEmpty()
                                      ? Language.Pick(QStringLiteral("Weitere Optionen"),
                                                      QStringLiteral("Further options"))
                                      : SaneTexts::Translate(groupTitle, Language.Code()),
                                  OptionPanel);
            groupForm = new QFormLayout(group);
            groupForm->setRowWrapPolicy(QFormLayout::WrapLongRows);
            OptionLayout->addWidget(group);
        }
        groupForm->addRow(Label(option, Language), Editor(option));
    }
    OptionLayout->addStretch(1);
    // Once the new editors are shown.
    QTimer::singleShot(0, this, [this, focused] {
        if (focused.isEmpty())
            return;
        for (QWidget* editor : OptionPanel->findChildren<QWidget*>(focused)) {
            if (editor->isVisible())
                editor->setFocus();
        }
    });
    PreviewButton->setVisible(Scanner.HasPreview());
    UpdateArea();
}

QWidget* TScanOptionsForm::Editor(const TScanOption& option) {
    QWidget* editor = nullptr;
    const QString name = option.Name;
    const bool fixed = option.Type == TScanOption::TType::Fixed;
    if (option.Type == TScanOption::TType::Bool) {
        auto* box = new QCheckBox(OptionPanel);
        box->setChecked(option.Value.toBool());
        connect(box, &QCheckBox::toggled, this, [this, name](bool on) { Set(name, on); });
        editor = box;
    } else if (option.Constraint == TScanOption::TConstraint::List) {
        auto* combo = new QComboBox(OptionPanel);
        for (const QVariant& choice : option.Choices) {
            QString text = choice.toString();
            if (option.Type == TScanOption::TType::String)
                text = SaneTexts::Translate(text, Language.Code());
            else if (!option.Unit.isEmpty())
                text += u' ' + option.Unit;
            combo->addItem(text, choice);
        }
        for (int i = 0; i < option.Choices.size(); ++i) {
            if (fixed ? qAbs(option.Choices[i].toDouble() - option.Value.toDouble()) < 1e-4
                      : option.Choices[i] == option.Value)
                combo->setCurrentIndex(i);
        }
        connect(combo, &QComboBox::activated, this,
                [this, name, combo](int index) { Set(name, combo->itemData(index)); });
        editor = combo;
    } else if (option.Type == TScanOption::TType::String) {
        auto* line = new QLineEdit(option.Value.toString(), OptionPanel);
        connect(line, &QLineEdit::editingFinished, this,
                [this, name, line] { Set(name, line->text()); });
        editor = line;
    } else if (fixed) {
        auto* spin = new QDoubleSpinBox(OptionPanel);
        const bool range = option.Constraint == TScanOption::TConstraint::Range;
        spin->setDecimals(option.Quant >= 1 || option.Unit == u"dpi" ? 0 : 2);
        spin->setRange(range ? option.Minimum : -32768, range ? option.Maximum : 32767);
        if (range && option.Quant > 0)
            spin->setSingleStep(option.Quant);
        spin->setValue(option.Value.toDouble());
        if (!option.Unit.isEmpty())
            spin->setSuffix(u' ' + option.Unit);
        connect(spin, &QDoubleSpinBox::editingFinished, this,
                [this, name, spin] { Set(name, spin->value()); });
        editor = spin;
    } else {
        auto* spin = new QSpinBox(OptionPanel);
        const bool range = option.Constraint == TScanOption::TConstraint::Range;
        spin->setRange(range ? int(option.Minimum) : std::numeric_limits<int>::min(),
                       range ? int(option.Maximum) : std::numeric_limits<int>::max());
        if (range && option.Quant >= 1)
            spin->setSingleStep(int(option.Quant));
        spin->setValue(option.Value.toInt());
        if (!option.Unit.isEmpty())
            spin->setSuffix(u' ' + option.Unit);
        connect(spin, &QSpinBox::editingFinished, this,
                [this, name, spin] { Set(name, spin->value()); });
        editor = spin;
    }
    // Editors narrow down with the panel instead of widening it: a spin box over the whole
    // integer range or a combo of long choices would not fit beside its label.
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
    } else if (!qobject_cast<QCheckBox*>(editor)) {
        editor->setMinimumWidth(80);
    }
    editor->setObjectName(QStringLiteral("Option_") + name);
    editor->setToolTip(SaneTexts::Translate(option.Description, Language.Code()));
    return editor;
}

void TScanOptionsForm::Set(const QString& name, const QVariant& value) {
    if (Running)
        return;
    const TScanOption* option = Scanner.Option(name);
    if (!option)
        return;
    if (option->Value == value && !RebuildPending)
        return;
    if (Scanner.SetOption(name, value) != ScanSuccess)
        StatusLabel->setText(ScanCodeText(Scanner.LastCode()));
    else
        StatusLabel->clear();
    // The editor that called is still on the stack; rebuild once it has returned.
    if (!RebuildPending) {
        RebuildPending = true;
        QMetaObject::invokeMethod(this, &TScanOptionsForm::Rebuild, Qt::QueuedConnection);
    }
}

void TScanOptionsForm::AreaChosen(const QRectF& fraction) {
    const TScanOption* left = Scanner.Option(QStringLiteral("tl-x"));
    const TScanOption* top = Scanner.Option(QStringLiteral("tl-y"));
    if (Running || !left || !top || !Scanner.HasPreview())
        return;
    const double width = left->Maximum - left->Minimum;
    const double height = top->Maximum - top->Minimum;
    const double x0 = left->Minimum;
    const double y0 = top->Minimum;
    Scanner.Apply({{QStringLiteral("tl-x"), x0 + fraction.left() * width},
                   {QStringLiteral("tl-y"), y0 + fraction.top() * height},
                   {QStringLiteral("br-x"), x0 + fraction.right() * width},
                   {QStringLiteral("br-y"), y0 + fraction.bottom() * height}});
    Rebuild();
}

void TScanOptionsForm::UpdateArea() {
    const TScanOption* corners[4];
    for (int i = 0; i < 4; ++i) {
        corners[i] = Scanner.Option(QLatin1String(AreaOptions[i]));
        if (!corners[i] || corners[i]->Constraint != TScanOption::TConstraint::Range ||
            corners[i]->Maximum <= corners[i]->Minimum) {
            PreviewView->SetArea({});
            return;
        }
    }
    auto fraction = [&](int i) {
        return (corners[i]->Value.toDouble() - corners[i]->Minimum) /
               (corners[i]->Maximum - corners[i]->Minimum);
    };
    PreviewView->SetArea(
        QRectF(QPointF(fraction(0), fraction(1)), QPointF(fraction(2), fraction(3))).normalized());
}

void TScanOptionsForm::StartScan() {
    Run(false);
}

void TScanOptionsForm::StartPreview() {
    Run(true);
}

void TScanOptionsForm::SetBusy(bool busy) {
    Running = busy;
    OptionPanel->setEnabled(!busy);
    AdvancedBox->setEnabled(!busy);
    PreviewButton->setEnabled(!busy);
    ScanButton->setEnabled(!busy);
    ProgressBar->setVisible(busy);
    ProgressBar->setValue(0);
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void TScanOptionsForm::Run(bool preview) {
    if (Running)
        return;
    // An editor still being typed in counts.
    if (QWidget* focused = focusWidget())
        focused->clearFocus();
    SetBusy(true);
    Progress->Reset();
    StatusLabel->setText(preview ? Language.Pick(QStringLiteral("Vorschau wird eingelesen …"),
                                                 QStringLiteral("Scanning the preview …"))
                                 : Language.Pick(QStringLiteral("Bild wird eingelesen …"),
                                                 QStringLiteral("Scanning the picture …")));
    auto result = std::make_shared<QImage>();
    TScanner* scanner = &Scanner;
    TJobProgress* progress = Progress;
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, result, preview] {
        watcher->deleteLater();
        Finished(preview, *result, Scanner.LastCode());
    });
    Job = QtConcurrent::run(Jobs::Pool(), [scanner, progress, result, preview] {
        *result = preview ? scanner->Preview(*progress) : scanner->Acquire({}, *progress);
    });
    watcher->setFuture(Job);
}

void TScanOptionsForm::Finished(bool preview, const QImage& image, int code) {
    SetBusy(false);
    Rebuild();
    if (ScanCancelled(code)) {
        StatusLabel->setText(
            Language.Pick(QStringLiteral("Abgebrochen"), QStringLiteral("Cancelled")));
        return;
    }
    if (preview) {
        if (code == ScanSuccess) {
            PreviewView->SetPicture(image);
            StatusLabel->clear();
        } else {
            StatusLabel->setText(ScanCodeText(code));
        }
        return;
    }
    ResultCode = code;
    Scanned = image;
    emit ScanFinished();
    accept();
}

void TScanOptionsForm::reject() {
    // Cancel stops a running scan first; the dialog stays until the device has stopped.
    if (Running) {
        Progress->Cancel();
        Scanner.Cancel();
        return;
    }
    QDialog::reject();
}

} // namespace Lumerix
