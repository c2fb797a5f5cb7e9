Five ways to show your slideshow
In step 4, choose: a slideshow for this PC, a CD-ROM that starts by itself, a screensaver, a video for DVD players, or a web page.
