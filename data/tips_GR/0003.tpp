Bilder hinzufügen
Öffnen Sie in Schritt 1 einen Ordner mit JPEG-Bildern. „>“ übernimmt die markierten Bilder, „>>“ alle.
Sie können Bilder auch mit der Maus an die gewünschte Stelle der Diashow ziehen.
Lumerix arbeitet mit Kopien – Ihre Originale bleiben unverändert.
