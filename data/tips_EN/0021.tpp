Turning the tips back on
Ticked the box that hides the tips? You can switch them back on at any time in step 3.
