Fünf Wege, Ihre Diashow zu zeigen
In Schritt 4 wählen Sie: Diashow für diesen PC, CD-ROM mit automatischem Start, Bildschirmschoner, Video für den DVD-Player oder Internetseite.
