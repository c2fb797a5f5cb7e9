Musik von einer Audio-CD
Legen Sie eine Audio-CD ein und starten Sie in Schritt 2 den CD-Import.
Die eingelesenen Titel erscheinen danach direkt in der Musikliste Ihrer Diashow.
