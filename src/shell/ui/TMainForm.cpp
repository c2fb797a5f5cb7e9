#include "TMainForm.h"

#include "TTipForm.h"
#include "acquire/TScanDriver.h"
#include "acquire/ui/TScanOptionsForm.h"
#include "acquire/ui/TScanSourceForm.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "document/ui/TMusicPage.h"
#include "document/ui/TNewForm.h"
#include "document/ui/TOpenForm.h"
#include "document/ui/TPicturePage.h"
#include "document/ui/TSettingsPage.h"
#include "package/ui/TPackageFlow.h"
#include "shell/Execute.h"
#include "shell/TLanguage.h"
#include "shell/TPreferences.h"
#include "shell/TProgress.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/TStartup.h"
#include "shell/TWorkspace.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

struct TLanguageEntry {
    const char* Name;
    const char* Caption;
    const char* Code;
    const char* RestartMessage;
};

// The language menu speaks every language, so its texts are built in.
const TLanguageEntry LanguageMenu[] = {
    {"Deutsch1", "Deutsch", "GERMAN",
     "Starten Sie die Software nun neu!\r\rPlease restart the software!"},
    {"English1", "English", "ENGLISH", "Please restart the software!"},
    {"France1", "François", "FRANCE",
     "Veuillez remettre en marche le software!\r\rPlease restart the software!"},
    {"Italian1", "Italiano", "ITALIAN",
     "Ricominciare prego il software!\r\rPlease restart the software!"},
    {"Spain1", "Español", "SPAIN",
     "Recomenzar por favor el software!\r\rPlease restart the software!"},
};

QPushButton* StartButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(260, 44);
    return button;
}

} // namespace

TMainForm::TMainForm(TRunState& state, TPrompter& prompter, QWidget* parent)
    : QMainWindow(parent), State(state), Prompter(prompter),
      Show(std::make_unique<TSlideshow>(state, prompter)) {
    setObjectName(QStringLiteral("MainForm"));
    BuildMenus();

    Stack = new QStackedWidget(this);
    StartPanel = BuildStartPanel();
    Stack->addWidget(StartPanel);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (int page = 0; page < 4; ++page) {
        QWidget* sheet = BuildPage(page);
        sheet->setObjectName(QStringLiteral("TabSheet%1").arg(page + 1));
        PageControl1->addTab(sheet, QString());
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageChosen);
    Stack->addWidget(PageControl1);
    setCentralWidget(Stack);

    TipForm = new TTipForm(State, this);
    NewForm = new TNewForm(State, this);
    PackageFlow = new TPackageFlow(State, Prompter, *Show, this);
    OpenForm = new TOpenForm(State, Prompter, this);

    connect(BeispielBitBtn, &QPushButton::clicked, this, &TMainForm::OpenExample);
    connect(NewBitBtn, &QPushButton::clicked, this, &TMainForm::NewShow);
    connect(Open1BitBtn, &QPushButton::clicked, this, &TMainForm::OpenShow);
    connect(Delete1BitBtn, &QPushButton::clicked, this, &TMainForm::DeleteShow);
    connect(PicturePage1, &TPicturePage::ShowOpened, this, [this] {
        setWindowTitle(State.Caption());
        SettingsPage1->LoadFromState();
        MusicPage1->ShowChanged();
    });
    connect(SettingsPage1, &TSettingsPage::TipsWanted, this, &TMainForm::ShowTips);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus() {
    Diashow1 = menuBar()->addMenu(QString());
    Diashow1->setObjectName(QStringLiteral("Diashow1"));
    ScannenDigitalkamera1 = menuBar()->addMenu(QString());
    ScannenDigitalkamera1->setObjectName(QStringLiteral("ScannenDigitalkamera1"));
    Hilfe1 = menuBar()->addMenu(QString());
    Hilfe1->setObjectName(QStringLiteral("Hilfe1"));

    auto entry = [this](QMenu* menu, const char* name) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        MenuEntries.append(action);
        return action;
    };
    connect(entry(Diashow1, "OpenDiashow1"), &QAction::triggered, this, &TMainForm::OpenShow);
    connect(entry(Diashow1, "NewDiashow1"), &QAction::triggered, this, &TMainForm::NewShow);
    connect(entry(Diashow1, "DeleteDiashow1"), &QAction::triggered, this, &TMainForm::DeleteShow);
    Diashow1->addSeparator();
    QAction* quit = entry(Diashow1, "Programmbeenden1");
    connect(quit, &QAction::triggered, this, &QWidget::close);
    connect(entry(ScannenDigitalkamera1, "Treiberauswhlen1"), &QAction::triggered, this,
            &TMainForm::ChooseScanSource);
    connect(entry(ScannenDigitalkamera1, "Einlesenstarten1"), &QAction::triggered, this,
            &TMainForm::StartScan);
    QAction* help = entry(Hilfe1, "Hilfedatei1");
    connect(help, &QAction::triggered, this, [this] { Execute::OpenDocument(State.HelpFile()); });

    Language1 = menuBar()->addMenu(QStringLiteral("Language"));
    Language1->setObjectName(QStringLiteral("Language1"));
    auto* group = new QActionGroup(this);
    int tag = 1;
    for (const TLanguageEntry& language : LanguageMenu) {
        QAction* action = Language1->addAction(QString::fromUtf8(language.Caption));
        action->setObjectName(QString::fromLatin1(language.Name));
        action->setData(tag++);
        action->setCheckable(true);
        action->setChecked(State.Language().Code() == QLatin1String(language.Code));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, &language] {
            ChooseLanguage(QString::fromLatin1(language.Code),
                           QString::fromUtf8(language.RestartMessage));
        });
        LanguageEntries.append(action);
    }
}

QWidget* TMainForm::BuildStartPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("StartPanel"));
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);

    ProgramImage = new QLabel(panel);
    ProgramImage->setObjectName(QStringLiteral("ProgramImage"));
    BeispielBitBtn = StartButton("BeispielBitBtn", panel);
    NewBitBtn = StartButton("NewBitBtn", panel);
    Open1BitBtn = StartButton("Open1BitBtn", panel);
    Delete1BitBtn = StartButton("Delete1BitBtn", panel);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {BeispielBitBtn, NewBitBtn, Open1BitBtn, Delete1BitBtn})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(panel);
    layout->addStretch();
    layout->addWidget(ProgramImage);
    layout->addSpacing(40);
    layout->addLayout(buttons);
    layout->addStretch();
    return panel;
}

QWidget* TMainForm::BuildPage(int page) {
    auto* sheet = new QWidget(this);
    auto* layout = new QVBoxLayout(sheet);
    auto* heading = new QLabel(sheet);
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    heading->setFont(font);
    PageHeadings.append(heading);
    layout->addWidget(heading);

    if (page == 0) {
        PicturePage1 = new TPicturePage(State, *Show, Prompter, sheet);
        layout->addWidget(PicturePage1, 1);
        return sheet;
    }
    if (page == 1) {
        MusicPage1 = new TMusicPage(State, Prompter, sheet);
        layout->addWidget(MusicPage1, 1);
        return sheet;
    }
    if (page == 2) {
        SettingsPage1 = new TSettingsPage(State, Prompter, sheet);
        layout->addWidget(SettingsPage1);
        GroupBox1 = new QGroupBox(sheet);
        GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
        DriveComboBox1 = new QComboBox(GroupBox1);
        DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
        DriveComboBox1->setMinimumWidth(320);
        PathButton = new QPushButton(GroupBox1);
        PathButton->setObjectName(QStringLiteral("PathButton"));
        PathButton->hide();
        auto* row = new QHBoxLayout(GroupBox1);
        row->addWidget(DriveComboBox1);
        row->addWidget(PathButton);
        row->addStretch();
        layout->addWidget(GroupBox1);
        connect(DriveComboBox1, &QComboBox::activated, this, &TMainForm::WorkspaceChosen);
        connect(PathButton, &QPushButton::clicked, this, &TMainForm::ApplyWorkspace);
    }
    if (page == 3) {
        MakeImage = new QLabel(sheet);
        MakeImage->setObjectName(QStringLiteral("MakeImage"));
        layout->addWidget(MakeImage);
    }
    layout->addStretch();
    return sheet;
}

void TMainForm::SetCaptions() {
    const std::pair<QPushButton*, int> buttons[] = {
        {BeispielBitBtn, 518}, {NewBitBtn, 519}, {Open1BitBtn, 520}, {Delete1BitBtn, 521}};
    for (const auto& [button, number] : buttons)
        button->setText(State.Text(number));
    Diashow1->setTitle(State.Text(522));
    ScannenDigitalkamera1->setTitle(State.Text(523));
    Hilfe1->setTitle(State.Text(524));
    for (int i = 0; i < MenuEntries.size(); ++i)
        MenuEntries[i]->setText(State.Text(525 + i));
    for (int page = 0; page < 4; ++page) {
        PageControl1->setTabText(page, State.Text(585 + page));
        PageHeadings[page]->setText(State.Text(585 + page));
    }
    GroupBox1->setTitle(State.Text(1121));
    PathButton->setText(State.Text(1122));
    TipForm->SetCaptions();
    PicturePage1->SetCaptions();
    SettingsPage1->SetCaptions();
    MusicPage1->SetCaptions();
}

bool TMainForm::Prepare() {
    SetCaptions();
    PageControl1->setCurrentIndex(0);
    Diashow1->setEnabled(false);
    ScannenDigitalkamera1->setEnabled(false);

    const QPixmap picture(State.KitFile(QStringLiteral("recom/m_program.jpg")));
    ProgramImage->setPixmap(picture);
    MakeImage->setPixmap(picture);

    if (!TStartup::PrepareWorkspace(State, Prompter))
        return false;
    FillWorkspaceChooser();
    SettingsPage1->LoadFromState();
    setWindowTitle(State.Caption());
    resize(1024, 720);
    return true;
}

void TMainForm::FillWorkspaceChooser() {
    DriveComboBox1->clear();
    for (const QString& base : TWorkspace::CandidateBases(State))
        DriveComboBox1->addItem(base, base);
    DriveComboBox1->setCurrentIndex(DriveComboBox1->findData(State.WorkspaceBase()));
}

void TMainForm::WorkspaceChosen(int index) {
    PathButton->setVisible(DriveComboBox1->itemData(index).toString() != State.WorkspaceBase());
}

void TMainForm::ApplyWorkspace() {
    const QString base = DriveComboBox1->currentData().toString();
    if (!Prompter.Confirm(State.Text(10021))) {
        DriveComboBox1->setCurrentIndex(DriveComboBox1->findData(State.WorkspaceBase()));
        PathButton->hide();
        return;
    }
    Prompter.Information(State.Text(10022));
    State.SetWorkspaceBase(base);
    QString error;
    if (!TPreferences::Save(State, &error))
        Prompter.Error(error);
    close();
}

void TMainForm::ChooseLanguage(const QString& code, const QString& restartMessage) {
    QString error;
    if (!TPreferences::StoreLanguage(State.GeneratorIni(), code, &error)) {
        Prompter.Error(error);
        return;
    }
    QString message = restartMessage;
    message.replace(u'\r', u'\n');
    Prompter.Information(message);
    // The language takes effect at the next start; this run ends without its close steps.
    SkipCloseSteps = true;
    close();
}

void TMainForm::PageChosen(int page) {
    PathButton->hide();
    if (page != 0 && Show->Pictures().IsEmpty()) {
        // Every later step needs pictures.
        PageControl1->setCurrentIndex(0);
        PicturePage1->ClearStatus();
        Prompter.Information(State.Text(PicturePage1->SourceEntries().IsEmpty() ? 10031 : 10010));
        return;
    }
    // The music's order is fixed on disk when its page is left, and before any output.
    if ((ShownPage == 1 && page != 1) || page == 3)
        MusicPage1->Left();
    ShownPage = page;
    if (page == 1)
        MusicPage1->Entered();
    if (page == 3) {
        Show->CleanStrayThumbnails();
        PackageFlow->Run();
        PageControl1->setCurrentIndex(0);
    }
}

void TMainForm::ShowPages() {
    Stack->setCurrentWidget(PageControl1);
    Diashow1->setEnabled(true);
    ScannenDigitalkamera1->setEnabled(true);
    Hilfe1->setEnabled(true);
}

void TMainForm::OpenNamed(const QString& name) {
    ShowPages();
    PageControl1->setCurrentIndex(0);
    PicturePage1->OpenShow(name);
    ShowTips();
}

void TMainForm::NewShow() {
    const std::optional<QString> title = NewForm->Ask();
    if (!title)
        return;
    ShowPages();
    Show->NewShow(*title);
    PicturePage1->ShowChanged();
    MusicPage1->ShowChanged();
    SettingsPage1->LoadFromState();
    setWindowTitle(State.Caption());
    PageControl1->setCurrentIndex(0);
    ShowTips();
}

void TMainForm::OpenShow() {
    if (const std::optional<QString> name = OpenForm->Choose(TOpenForm::TMode::Open))
        OpenNamed(*name);
}

void TMainForm::OpenExample() {
    OpenNamed(QStringLiteral("Diashow_0001"));
}

void TMainForm::DeleteShow() {
    if (const std::optional<QString> name = OpenForm->Choose(TOpenForm::TMode::Delete)) {
        Show->DeleteShow(*name);
        PicturePage1->ShowChanged();
        MusicPage1->ShowChanged();
        SettingsPage1->LoadFromState();
        setWindowTitle(State.Caption());
    }
    PageControl1->setCurrentIndex(0);
}

bool TMainForm::ChooseScanSource() {
    if (!ScanDriver)
        ScanDriver = std::make_unique<TScanDriver>(ScanImport::StoredSource(State));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QList<TScanDeviceInfo> devices;
    const int listed = ScanDriver->ListSources(devices);
    QApplication::restoreOverrideCursor();
    if (listed != ScanSuccess) {
        Prompter.PlainError(ScanImport::FailureText(listed));
        return false;
    }
    TScanSourceForm chooser(State.Text(529), State.Language(), devices, this);
    const std::optional<QString> name = chooser.Choose(ScanDriver->SourceName());
    if (!name)
        return false;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const int selected = ScanDriver->Select(*name);
    QApplication::restoreOverrideCursor();
    if (selected != ScanSuccess) {
        Prompter.PlainError(ScanImport::FailureText(selected));
        return false;
    }
    QString error;
    if (!ScanImport::StoreSource(State, ScanDriver->SourceName(), &error))
        Prompter.Error(error);
    return true;
}

void TMainForm::StartScan() {
    if (PicturePage1->Busy())
        return;
    if (!ScanDriver)
        ScanDriver = std::make_unique<TScanDriver>(ScanImport::StoredSource(State));
    const QString before = ScanDriver->SourceName();
    TScanner scanner;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const int opened = ScanDriver->Begin(scanner);
    QApplication::restoreOverrideCursor();
    if (opened == ScanDeviceGone) {
        // The remembered device has gone: offer the ones SANE reaches now, then scan.
        scanner.Close();
        if (ChooseScanSource())
            StartScan();
        return;
    }
    if (opened != ScanSuccess) {
        Prompter.PlainError(ScanImport::FailureText(opened));
        return;
    }
    // Without a chosen source the first device was taken; it stays the chosen one.
    if (ScanDriver->SourceName() != before)
        ScanImport::StoreSource(State, ScanDriver->SourceName());

    TScanOptionsForm options(State.Text(530), State.Language(), scanner, this);
    const bool scanned = options.exec() == QDialog::Accepted;
    const int code = scanned ? options.Code() : ScanCancelledCode;
    if (ScanDriver->Finish(scanner, options.Picture(), code) != ScanSuccess) {
        if (!ScanCancelled(code))
            Prompter.PlainError(ScanImport::FailureText(ScanDriver->LastCode()));
        return;
    }
    QApplication::setOverrideCursor(Qt::BusyCursor);
    TSilentProgress progress;
    const int row =
        ScanImport::AddToSlideshow(State, *Show, Prompter, ScanDriver->Picture(), progress);
    QApplication::restoreOverrideCursor();
    if (row >= 0)
        PicturePage1->SelectRow(row);
}

void TMainForm::ShowTips() {
    if (State.TipsWanted())
        TipForm->show();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!SkipCloseSteps) {
        QString error;
        if (!TWorkspace::CloseDown(State, &error))
            Prompter.Error(error);
    }
    hide();
    event->accept();
}

} // namespace Lumerix
