Your own screensaver
In step 4, choose the screensaver and tick the slideshows you want.
Your screen then shows your best photos whenever you take a break.
