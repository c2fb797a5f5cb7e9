#include "TTerminalPrompter.h"

#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace Lumerix {

namespace {

QString OneLine(QString text) {
    text.replace(u'\r', u' ');
    return text.simplified();
}

// Every line break as a new line: message texts hold bare carriage returns, which a terminal
// takes as "back to the start of the line", so only the last part of the text would show.
QString Lines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

void Print(FILE* stream, const QString& text) {
    std::fputs((text + u'\n').toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

void TTerminalPrompter::Information(const QString& text) {
    Print(stdout, Lines(text));
}

void TTerminalPrompter::Error(const QString& text) {
    Print(stderr, QStringLiteral("lumerix-cli: ") + Lines(text));
}

void TTerminalPrompter::PlainError(const QString& text) {
    Error(text);
}

bool TTerminalPrompter::Confirm(const QString& text) {
    if (AssumeYes)
        return true;
    if (!isatty(STDIN_FILENO)) {
        Print(stderr, Lines(text) + QStringLiteral(" [no: pass --yes to agree]"));
        return false;
    }
    std::fputs((Lines(text) + QStringLiteral(" [y/N] ")).toLocal8Bit().constData(), stderr);
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() &&
           (answer[0] == 'y' || answer[0] == 'Y' || answer[0] == 'j' || answer[0] == 'J');
}

QString TTerminalPrompter::ChooseFolder(const QString&, const QString&) {
    return {};
}

QStringList TTerminalPrompter::ChooseFiles(const QString&, const QString&, const QString&, bool) {
    return {};
}

TTerminalProgress::~TTerminalProgress() {
    if (Drawn)
        std::fputc('\n', stderr);
}

void TTerminalProgress::SetStatus(const QString& text) {
    Status = OneLine(text);
    Draw();
}

void TTerminalProgress::SetPercent(int percent) {
    Percent = percent;
    Draw();
}

void TTerminalProgress::Draw() {
    // A progress line redrawn in place only makes sense to a person watching a terminal.
    if (!isatty(fileno(stderr)))
        return;
    QString line = Status;
    if (Percent >= 0)
        line += QStringLiteral(" %1%").arg(Percent, 3);
    std::fputs(("\r\033[K" + line).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    Drawn = true;
}

} // namespace Lumerix
