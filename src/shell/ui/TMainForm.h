#pragma once

#include <QMainWindow>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabWidget;

#include <memory>

namespace Lumerix {

class TMusicPage;
class TNewForm;
class TOpenForm;
class TPackageFlow;
class TPicturePage;
class TPrompter;
class TSettingsPage;
class TRunState;
class TScanDriver;
class TSlideshow;
class TTipForm;

/// The main window: the start panel, the four-step page set behind it, the menus.
class TMainForm final : public QMainWindow {
    Q_OBJECT
public:
    TMainForm(TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);
    ~TMainForm() override;

    /// Lays out the workspace and fills the window from the run state. False when the
    /// workspace could not be prepared and the user gave up; the window must not be shown then.
    bool Prepare();

    /// Shows the tip window unless the user switched tips off.
    void ShowTips();

    QTabWidget* Pages() const { return PageControl1; }
    TSlideshow& Slideshow() { return *Show; }
    TPicturePage* PicturePage() const { return PicturePage1; }
    TSettingsPage* SettingsPage() const { return SettingsPage1; }
    TMusicPage* MusicPage() const { return MusicPage1; }

    // The start panel's and the "Diashow" menu's commands.
    void NewShow();
    void OpenShow();
    void OpenExample();
    void DeleteShow();
    // The "Scannen / Digitalkamera" menu's commands.
    /// True when a source was chosen and stored.
    bool ChooseScanSource();
    void StartScan();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    QWidget* BuildStartPanel();
    QWidget* BuildPage(int heading);
    void SetCaptions();
    void ChooseLanguage(const QString& code, const QString& restartMessage);
    void WorkspaceChosen(int index);
    void ApplyWorkspace();
    void FillWorkspaceChooser();
    void ShowPages();
    void PageChosen(int page);
    void OpenNamed(const QString& name);

    TRunState& State;
    TPrompter& Prompter;
    bool SkipCloseSteps = false;
    std::unique_ptr<TSlideshow> Show;

    QStackedWidget* Stack = nullptr;
    QWidget* StartPanel = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QLabel* ProgramImage = nullptr;
    QLabel* MakeImage = nullptr;
    QPushButton* BeispielBitBtn = nullptr;
    QPushButton* NewBitBtn = nullptr;
    QPushButton* Open1BitBtn = nullptr;
    QPushButton* Delete1BitBtn = nullptr;
    QList<QLabel*> PageHeadings;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QPushButton* PathButton = nullptr;
    QMenu* Diashow1 = nullptr;
    QMenu* ScannenDigitalkamera1 = nullptr;
    QMenu* Hilfe1 = nullptr;
    QMenu* Language1 = nullptr;
    QList<QAction*> MenuEntries; // in the order of their message numbers 525..531
    QList<QAction*> LanguageEntries;
    TTipForm* TipForm = nullptr;
    TPicturePage* PicturePage1 = nullptr;
    TSettingsPage* SettingsPage1 = nullptr;
    TMusicPage* MusicPage1 = nullptr;
    int ShownPage = 0;
    TNewForm* NewForm = nullptr;
    TOpenForm* OpenForm = nullptr;
    TPackageFlow* PackageFlow = nullptr;
    std::unique_ptr<TScanDriver> ScanDriver; // made at first use, from the stored source
};

} // namespace Lumerix
