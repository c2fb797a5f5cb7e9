Ihr eigener Bildschirmschoner
Wählen Sie in Schritt 4 den Bildschirmschoner und kreuzen Sie die gewünschten Diashows an.
So zeigt Ihr Bildschirm in jeder Pause Ihre schönsten Fotos.
