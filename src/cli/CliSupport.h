#pragma once

#include "TCommandLine.h"

#include <QString>
#include <QStringList>

namespace Lumerix {

class TSlideshow;

/// Small pieces every command of lumerix-cli uses.
namespace CliSupport {

/// One line on standard output.
void PrintLine(const QString& line);

/// Throws the usage text unless the command got `least` to `most` arguments (`most` < 0: any).
void NeedArguments(const TCliContext& context, qsizetype least, qsizetype most, const char* usage);

/// Opens the slideshow named by the command's first argument, refusing anything else.
void OpenNamed(TCliContext& context, TSlideshow& show);

/// A picture number from 1 to the list's length, as the user counts them; the list index.
int PictureIndex(const TSlideshow& show, const QString& text);

/// Throws unless every path names an existing file.
void CheckFiles(const QStringList& files);

} // namespace CliSupport

} // namespace Lumerix
