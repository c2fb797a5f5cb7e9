Scanner und Digitalkamera
Wählen Sie im Menü „Scannen / Digitalkamera“ zuerst „Treiber auswählen“.
„Einlesen starten“ holt das Bild dann direkt in die geöffnete Diashow.
