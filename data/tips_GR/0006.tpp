Drehen, spiegeln, rückgängig
Liegt ein Hochformat-Bild quer? Drehen Sie das markierte Bild um 90° oder 180° oder spiegeln Sie es mit einem Klick.
Der Rückgängig-Knopf nimmt die letzten Änderungen zurück – solange Sie noch kein anderes Bild ausgewählt haben.
