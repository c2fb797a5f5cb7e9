Slideshow on TV
The DVD player output makes a video for a VCD or SVCD, in PAL or NTSC, with transitions if you like.
The music is trimmed to the length of the slideshow automatically. Burning instructions are in the help.
