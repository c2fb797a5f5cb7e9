Fotoalbum drucken
Der Drucken-Knopf in Schritt 1 druckt alle oder ausgewählte Bilder als Album auf A4-Seiten.
Wählen Sie 9 x 13, 10 x 15, 13 x 18 cm oder eine eigene Breite – auf Wunsch mit Bildtext.
