How long is each picture shown?
In step 3, set the seconds per picture (whole seconds only).
For example, 36 pictures at 5 seconds each make 3 minutes – an easy way to match the slideshow to the length of your music.
