Music for your slideshow
In step 2, add MP3 or WAV files. They must be stereo at 44.1 kHz – music from a CD almost always is.
Drag the tracks into the order you want and listen to them first with play, pause and stop.
