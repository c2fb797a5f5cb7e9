Bildtexte und Reihenfolge
Markieren Sie ein Bild und tippen Sie seinen Bildtext ein (bis zu 58 Zeichen, ohne „|“ und „>“).
Die Reihenfolge ändern Sie, indem Sie ein Bild mit der Maus an eine neue Stelle ziehen.
