Music from an audio CD
Insert an audio CD and start the CD import in step 2.
The tracks you import appear straight away in your slideshow's music list.
