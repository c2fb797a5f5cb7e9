Willkommen bei Lumerix!
In vier Schritten zur eigenen Diashow: Bilder auswählen, Musik auswählen, Einstellungen festlegen, Diashow erzeugen und starten.
Arbeiten Sie die vier Reiter einfach von links nach rechts ab.
