Welcome to Lumerix!
Four steps to your own slideshow: choose pictures, choose music, adjust the settings, create and start the slideshow.
Simply work through the four tabs from left to right.
