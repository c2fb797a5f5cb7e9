Das Beispiel ausprobieren
„Beispiel Diashow öffnen“ im Startfenster lädt eine fertige Diashow mit Bildern, Bildtexten und Musik.
Spielen Sie damit alle vier Schritte durch – so lernen Sie Lumerix am schnellsten kennen.
