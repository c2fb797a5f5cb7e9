#include "PrintCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "printing/PrintSize.h"
#include "printing/TAlbumReport.h"
#include "shell/TRunState.h"

#include <QGuiApplication>

#include <set>

namespace Lumerix {

namespace {

using namespace CliSupport;

constexpr const char* PrintUsage =
    "print SHOW --pdf FILE [--size 9x13|10x15|13x18|CM] [--captions] [--pictures 1,3,5]";

TCliError UsageError() {
    return TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(PrintUsage))};
}

void Print(TCliContext& context) {
    QString pdf;
    QString pictureList;
    TAlbumOptions options;
    QStringList positional;
    const QStringList& arguments = context.Arguments;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--captions") {
            options.Captions = true;
        } else if (argument == u"--pdf" || argument == u"--size" || argument == u"--pictures") {
            if (i + 1 >= arguments.size())
                throw UsageError();
            const QString value = arguments[++i];
            if (argument == u"--pdf") {
                pdf = value;
            } else if (argument == u"--pictures") {
                pictureList = value;
            } else {
                const std::optional<int> size = PrintSize::ValueOfArgument(value);
                if (!size)
                    throw TCliError{QStringLiteral("not a print size: \"%1\" (9x13, 10x15, 13x18 "
                                                   "or a width in centimetres)")
                                        .arg(value)};
                options.SizeValue = *size;
            }
        } else if (argument.startsWith(u"--")) {
            throw UsageError();
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 1 || pdf.isEmpty())
        throw UsageError();
    if (qGuiApp == nullptr)
        throw TCliError{QStringLiteral("pages cannot be drawn without a GUI application")};

    TSlideshow show(context.State, context.Prompter);
    TCliContext named{context.State, context.Prompter, positional};
    OpenNamed(named, show);
    if (show.Pictures().IsEmpty())
        throw TCliError{context.State.Text(10010)};

    // Chosen pictures print in list order, as the selection window writes them.
    QStringList lines = show.Pictures().Entries();
    if (!pictureList.isEmpty()) {
        std::set<int> rows;
        for (const QString& number : pictureList.split(u',', Qt::SkipEmptyParts))
            rows.insert(PictureIndex(show, number.trimmed()));
        if (rows.empty())
            throw TCliError{QStringLiteral("no picture numbers in \"%1\"").arg(pictureList)};
        QStringList chosen;
        for (const int row : rows)
            chosen.append(lines[row]);
        lines = chosen;
    }

    QStringList pictures;
    for (int row = 0; row < show.Pictures().Count(); ++row)
        pictures.append(show.Pictures().Parsed(row).FileName);
    const QString showDir = show.ShowDir();
    TTerminalProgress progress;
    QString error;
    bool written = false;
    int pages = 0;
    try {
        const std::optional<TAlbumReport> report = TAlbumReport::Prepare(
            showDir, context.State.ShowTitle, lines, pictures, options, progress);
        if (report) {
            pages = report->PageCount();
            written = report->WritePdf(pdf, &error);
        }
    } catch (const TImagingError& failure) {
        error = failure.Text();
    }
    TAlbumReport::DeletePrintCopies(showDir, pictures);
    if (!written)
        throw TCliError{error};
    PrintLine(pdf);
    PrintLine(QStringLiteral("pages=%1").arg(pages));
}

} // namespace

QList<TCommandLine::TCommand> PrintCommands() {
    return {
        {QStringLiteral("print"),
         QStringLiteral("SHOW --pdf FILE [--size 9x13|10x15|13x18|CM] [--captions] "
                        "[--pictures 1,3,5]"),
         QStringLiteral("write the slideshow's pictures as an album of A4 pages into a PDF file"),
         Print},
    };
}

} // namespace Lumerix
