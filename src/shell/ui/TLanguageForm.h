#pragma once

#include <QDialog>
#include <QString>

namespace Lumerix {

class TPrompter;

/// The first-start language chooser: five flags, one click chooses.
class TLanguageForm final : public QDialog {
    Q_OBJECT
public:
    /// `flagFolder` holds flag_GERMAN.png and the others.
    TLanguageForm(TPrompter& prompter, const QString& flagFolder, QWidget* parent = nullptr);

    /// The chosen code, empty until a flag was clicked.
    const QString& ChosenCode() const { return Chosen; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Choose(const QString& code);
    bool MayClose();

    TPrompter& Prompter;
    QString Chosen;
};

} // namespace Lumerix
