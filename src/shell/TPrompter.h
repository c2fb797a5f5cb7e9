#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

/// How logic talks to the user: the four kinds of message box and the file and folder
/// choosers. The windows answer with dialogs, the command-line tool on the terminal, the
/// tests from a script.
class TPrompter {
public:
    virtual ~TPrompter() = default;

    virtual void Information(const QString& text) = 0;
    virtual void Error(const QString& text) = 0;
    /// A Yes/No question; true for Yes.
    virtual bool Confirm(const QString& text) = 0;
    /// The plain box captioned "Error" that reports imaging failures.
    virtual void PlainError(const QString& text) = 0;

    /// An existing folder chosen by the user, or an empty text when cancelled.
    virtual QString ChooseFolder(const QString& title, const QString& startFolder) = 0;
    /// Existing files chosen by the user (`filter` as "Pictures (*.jpg *.jpeg)"); empty when
    /// cancelled.
    virtual QStringList ChooseFiles(const QString& title, const QString& startFolder,
                                    const QString& filter, bool multiple) = 0;
};

} // namespace Lumerix
