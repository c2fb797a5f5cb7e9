Wann wird gespeichert?
Bildtexte und eine neue Reihenfolge werden gespeichert, sobald Sie ein Bild hinzufügen oder entfernen oder in Schritt 4 eine Diashow erzeugen.
Erzeugen Sie deshalb vor dem Beenden einmal eine Diashow, zum Beispiel für diesen PC.
