Bilder verschönern
„Helligkeit / Kontrast / Farbe“ und „Farbkorrektur Rot/Grün/Blau“ zeigen Original und Vorschau nebeneinander.
Erst „Speichern“ ändert das Bild in der Diashow.
