Slideshow on CD-ROM
Lumerix puts together a folder with the Slideshow-Player that you burn as a data CD. When the disc is inserted, the slideshow can start by itself.
Tick every slideshow that should go on the CD – several are fine.
