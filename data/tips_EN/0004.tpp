Captions and order
Select a picture and type its caption (up to 58 characters, without “|” and “>”).
To change the order, drag a picture with the mouse to its new place.
