Wie lange steht jedes Bild?
In Schritt 3 legen Sie die Sekunden pro Bild fest (nur ganze Sekunden).
Beispiel: 36 Bilder zu je 5 Sekunden ergeben 3 Minuten – so stimmen Sie die Diashow leicht auf die Länge Ihrer Musik ab.
