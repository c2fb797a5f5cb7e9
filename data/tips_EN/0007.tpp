Make your pictures shine
The brightness / contrast / colour dialog and the red/green/blue colour correction show the original and a preview side by side.
Only “Save” changes the picture in your slideshow.
