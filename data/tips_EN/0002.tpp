Try the example
“Open example slideshow” on the start panel loads a finished slideshow with pictures, captions and music.
Walk through all four steps with it – it is the quickest way to get to know Lumerix.
