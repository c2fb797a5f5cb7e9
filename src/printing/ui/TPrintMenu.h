#pragma once

#include <QPoint>

class QWidget;

namespace Lumerix {

class TRunState;
class TSlideshow;
class TPrompter;

/// The album print menu ("Alle Bilder …" / "Ausgewählte Bilder …") at `globalPos`; runs the
/// chosen print.
void ShowPrintMenu(TRunState& state, TSlideshow& slideshow, TPrompter& prompter, QWidget* parent,
                   QPoint globalPos);

/// Prints the slideshow's pictures as an album, all of them or (`selectedOnly`) those ticked in
/// the selection window: the size wizard, the selection, the print copies, then the preview.
/// The print copies and "Print.txt" are deleted when the preview closes.
void PrintAlbum(TRunState& state, TSlideshow& slideshow, TPrompter& prompter, QWidget* parent,
                bool selectedOnly);

} // namespace Lumerix
