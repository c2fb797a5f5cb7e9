When is my work saved?
Captions and a new order are saved as soon as you add or remove a picture, or when you create a slideshow in step 4.
So before you quit, create the slideshow once, for example for this PC.
