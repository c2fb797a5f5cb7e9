Diashow auf CD-ROM
Lumerix stellt einen Ordner mit dem Diashow-Player zusammen, den Sie als Daten-CD brennen. Beim Einlegen kann die Diashow von selbst starten.
Kreuzen Sie alle Diashows an, die auf die CD sollen – auch mehrere.
