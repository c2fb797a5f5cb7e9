#include "TDialogPrompter.h"

#include "shell/TLanguage.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace Lumerix {

namespace {

QString BoxTitle() {
    return QString::fromUtf16(ProductName);
}

} // namespace

void TDialogPrompter::Information(const QString& text) {
    QMessageBox::information(Parent, BoxTitle(), text);
}

void TDialogPrompter::Error(const QString& text) {
    QMessageBox::critical(Parent, BoxTitle(), text);
}

bool TDialogPrompter::Confirm(const QString& text) {
    return QMessageBox::question(Parent, BoxTitle(), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void TDialogPrompter::PlainError(const QString& text) {
    QMessageBox::warning(Parent, QStringLiteral("Error"), text);
}

QString TDialogPrompter::ChooseFolder(const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(Parent, title, startFolder);
}

QStringList TDialogPrompter::ChooseFiles(const QString& title, const QString& startFolder,
                                         const QString& filter, bool multiple) {
    if (multiple)
        return QFileDialog::getOpenFileNames(Parent, title, startFolder, filter);
    const QString file = QFileDialog::getOpenFileName(Parent, title, startFolder, filter);
    return file.isEmpty() ? QStringList{} : QStringList{file};
}

} // namespace Lumerix
