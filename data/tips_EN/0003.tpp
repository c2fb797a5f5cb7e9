Adding pictures
In step 1, open a folder of JPEG pictures. “>” adds the selected pictures, “>>” adds them all.
You can also drag pictures with the mouse to exactly where you want them in the slideshow.
Lumerix works with copies – your original pictures stay untouched.
