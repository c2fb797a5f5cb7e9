Full picture editing
A click on the preview picture opens the large picture editor: cropping, sharpening, softening and more than 50 effect filters such as “Mosaic”, “Fisheye” or “Emboss”.
To crop, draw a frame with the mouse and click the crop button.
