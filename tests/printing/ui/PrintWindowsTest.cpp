#include "printing/TPrintFixture.h"

#include "document/ui/TPicturePage.h"
#include "printing/PrintList.h"
#include "printing/ui/TAlbumPreview.h"
#include "printing/ui/TPrintMenu.h"
#include "printing/ui/TPrintSelectForm.h"
#include "printing/ui/TPrintSizeForm.h"
#include "support/TMainFormTest.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Lumerix;
using namespace Lumerix::PrintTesting;

namespace {

// Answers the modal windows that open one after another: each step waits until a modal
// window it handles is active, acts on it and passes on to the next step.
class TModalScript : public QObject {
public:
    using TStep = std::function<bool(QWidget*)>;

    explicit TModalScript(QList<TStep> steps) : Steps(std::move(steps)) {
        connect(&Timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (Steps.isEmpty() || !modal || !modal->isVisible())
                return;
            if (Steps.first()(modal))
                Steps.removeFirst();
        });
        Timer.start(20);
    }
    bool Finished() const { return Steps.isEmpty(); }

private:
    QList<TStep> Steps;
    QTimer Timer;
};

template <typename T> TModalScript::TStep On(std::function<void(T&)> act) {
    return [act](QWidget* modal) {
        auto* window = qobject_cast<T*>(modal);
        if (!window)
            return false;
        act(*window);
        return true;
    };
}

void Click(QWidget& window, const char* name) {
    if (auto* button = Find<QAbstractButton>(window, name))
        button->click();
}

class PrintWindows : public TPrintTest {
protected:
    void SetUp() override {
        TPrintTest::SetUp();
        Parent.resize(400, 300);
        Parent.show();
    }
    QWidget Parent;
};

TEST_F(PrintWindows, SizeWizardParsesTheWidthAndKeepsItsChoices) {
    TPrintSizeForm wizard(*State, Prompter, &Parent);
    EXPECT_EQ(wizard.windowTitle(), State->Text(6600));
    EXPECT_EQ(wizard.Format(), TPrintFormat::Format9x13);
    auto* width = Find<QLineEdit>(wizard, "WidthEdit");
    auto* custom = Find<QRadioButton>(wizard, "CustomRadioButton");
    ASSERT_TRUE(width && custom);
    wizard.show();
    EXPECT_FALSE(width->isVisible());
    custom->click();
    EXPECT_TRUE(width->isVisible());

    QTest::keyClicks(width, "20");
    EXPECT_EQ(wizard.SizeValue(), 762);
    EXPECT_TRUE(Prompter.Messages.isEmpty());
    // A number is checked once the user leaves the field, not while it is being typed.
    width->clear();
    QTest::keyClicks(width, "12x5");
    EXPECT_EQ(wizard.SizeValue(), 495);
    EXPECT_TRUE(Prompter.Messages.isEmpty()) << "no message while typing";
    emit width->editingFinished();
    EXPECT_EQ(Texts(TScriptedPrompter::TKind::Information), QStringList({State->Text(6611)}));
    Click(wizard, "OKBitBtn");
    EXPECT_TRUE(wizard.isVisible()) << "OK refuses the width, once told";
    EXPECT_EQ(Prompter.Messages.size(), 1);
    width->clear();
    QTest::keyClicks(width, "y");
    Click(wizard, "OKBitBtn");
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(Prompter.Messages.size(), 2) << "OK checks a width never left";
    Find<QRadioButton>(wizard, "Format13x18RadioButton")->click();
    EXPECT_EQ(wizard.SizeValue(), 686);
    EXPECT_FALSE(width->isVisible());
    wizard.hide();

    // OK stores the caption switch; a cancelled opening changes nothing.
    TModalScript ok({On<TPrintSizeForm>([](TPrintSizeForm& form) {
        Find<QCheckBox>(form, "CaptionCheckBox")->setChecked(true);
        Click(form, "OKBitBtn");
    })});
    std::optional<TAlbumOptions> options = wizard.Ask();
    ASSERT_TRUE(options);
    EXPECT_EQ(options->SizeValue, 686);
    EXPECT_TRUE(options->Captions);
    TModalScript cancel({On<TPrintSizeForm>([](TPrintSizeForm& form) {
        EXPECT_TRUE(Find<QCheckBox>(form, "CaptionCheckBox")->isChecked());
        Find<QCheckBox>(form, "CaptionCheckBox")->setChecked(false);
        Click(form, "CancelBitBtn");
    })});
    EXPECT_FALSE(wizard.Ask());
    EXPECT_TRUE(wizard.Captions());
    EXPECT_EQ(wizard.Format(), TPrintFormat::Format13x18);
}

TEST_F(PrintWindows, SelectionWithNothingTickedStaysOpen) {
    ASSERT_TRUE(AddPictures({{{64, 48}, Qt::red}, {{48, 64}, Qt::blue}, {{64, 48}, Qt::green}}));
    Show->SetCaption(2, "Wiese");
    TPrintSelectForm selection(*State, Prompter, Show->Pictures().Entries(), &Parent);
    EXPECT_EQ(selection.windowTitle(), State->Caption());
    bool stayedOpen = false;
    TModalScript script({On<TPrintSelectForm>([&](TPrintSelectForm& form) {
        Click(form, "PrintBitBtn");
        stayedOpen = form.isVisible();
        form.SetTicked(2, true);
        form.SetTicked(0, true);
        Click(form, "PrintBitBtn");
    })});
    ASSERT_EQ(selection.exec(), QDialog::Accepted);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Texts(TScriptedPrompter::TKind::Information), QStringList({State->Text(10011)}));
    const QStringList entries = Show->Pictures().Entries();
    EXPECT_EQ(PrintList::Read(PrintList::Path(*State)), QStringList({entries[0], entries[2]}));
}

TEST_F(PrintWindows, MenuOnAnEmptySlideshowSaysSo) {
    TModalScript none({});
    QTimer::singleShot(50, [this] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), 2);
        EXPECT_EQ(actions[0]->text(), State->Text(612));
        EXPECT_EQ(actions[1]->text(), State->Text(613));
        menu->setActiveAction(actions[0]);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    ShowPrintMenu(*State, *Show, Prompter, &Parent, Parent.mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(Texts(TScriptedPrompter::TKind::Information), QStringList({State->Text(10010)}));
}

TEST_F(PrintWindows, SelectedPicturesGoThroughWizardSelectionAndPreviewToPdf) {
    if (TAlbumPreview::PrinterAvailable())
        GTEST_SKIP() << "a printer is set up; the preview would print there";
    ASSERT_TRUE(
        AddPictures({{{1600, 1200}, Qt::red}, {{1200, 1600}, Qt::blue}, {{800, 600}, Qt::green}}));
    QTemporaryDir scratch;
    const QString pdf = scratch.filePath("album.pdf");
    int previewPages = 0;
    bool copiesWhilePreviewing = false;
    TModalScript script({
        On<TPrintSizeForm>([](TPrintSizeForm& form) {
            Find<QRadioButton>(form, "Format10x15RadioButton")->click();
            Click(form, "OKBitBtn");
        }),
        On<TPrintSelectForm>([](TPrintSelectForm& form) {
            form.SetTicked(1, true);
            form.SetTicked(2, true);
            Click(form, "PrintBitBtn");
        }),
        On<TAlbumPreview>([&](TAlbumPreview& preview) {
            EXPECT_TRUE(preview.PrintsToPdf());
            previewPages = preview.PreviewPageCount();
            copiesWhilePreviewing =
                QDir(Show->ShowDir()).entryList({"_PRINT_*"}, QDir::Files).size() == 2;
            EXPECT_TRUE(preview.PrintToPdf(pdf));
        }),
    });
    PrintAlbum(*State, *Show, Prompter, &Parent, true);
    EXPECT_TRUE(script.Finished());
    // The two messages say there is no printer and that printing writes a PDF file.
    const QStringList infos = Texts(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(infos.size(), 2);
    EXPECT_TRUE(infos[1].contains("PDF"));
    EXPECT_EQ(previewPages, 2); // 428 + 30 below the title, then 571 + 30
    EXPECT_TRUE(copiesWhilePreviewing);
    EXPECT_EQ(PdfPageCount(pdf), 2);
    QTemporaryDir pages;
    EXPECT_TRUE(Near(PdfPage(pdf, 1, pages.path()).pixelColor(60, 110), Qt::blue));
    // Everything made for the print is gone once the preview has closed.
    EXPECT_TRUE(QDir(Show->ShowDir()).entryList({"_PRINT_*"}, QDir::Files).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(PrintList::Path(*State)));
    EXPECT_EQ(FileNames().size(), 3);
}

TEST_F(PrintWindows, CancellingTheWizardOrSelectionPrintsNothing) {
    ASSERT_TRUE(AddPictures({{{64, 48}, Qt::red}}));
    TModalScript wizardCancelled(
        {On<TPrintSizeForm>([](TPrintSizeForm& form) { Click(form, "CancelBitBtn"); })});
    PrintAlbum(*State, *Show, Prompter, &Parent, false);
    EXPECT_TRUE(wizardCancelled.Finished());

    TModalScript selectionCancelled(
        {On<TPrintSizeForm>([](TPrintSizeForm& form) { Click(form, "OKBitBtn"); }),
         On<TPrintSelectForm>([](TPrintSelectForm& form) { Click(form, "CancelBitBtn"); })});
    PrintAlbum(*State, *Show, Prompter, &Parent, true);
    EXPECT_TRUE(selectionCancelled.Finished());
    EXPECT_TRUE(QDir(Show->ShowDir()).entryList({"_PRINT_*"}, QDir::Files).isEmpty());
    EXPECT_TRUE(Texts(TScriptedPrompter::TKind::PlainError).isEmpty());
}

class PrintButton : public TMainFormTest {};

TEST_F(PrintButton, OpensTheMenuAndTheWizardForTheOpenSlideshow) {
    TPicturePage* page = Form->PicturePage();
    QSignalSpy opened(page, &TPicturePage::ShowOpened);
    Form->OpenExample();
    ASSERT_TRUE(opened.count() > 0 || opened.wait(10000));
    page->SelectRow(0);
    auto* button = Find<QPushButton>(*page, "PrintBitBtn");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());

    QStringList menuTexts;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            menuTexts.append(action->text());
        menu->setActiveAction(menu->actions().value(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    bool wizardShown = false;
    TModalScript script({On<TPrintSizeForm>([&](TPrintSizeForm& form) {
        wizardShown = true;
        Click(form, "CancelBitBtn");
    })});
    button->click();
    EXPECT_EQ(menuTexts, QStringList({State->Text(612), State->Text(613)}));
    EXPECT_TRUE(wizardShown);
}

} // namespace
