Musik zur Diashow
In Schritt 2 fügen Sie MP3- oder WAV-Dateien hinzu. Sie müssen in Stereo mit 44,1 kHz vorliegen – bei Musik von CD ist das fast immer so.
Ziehen Sie die Titel mit der Maus in die gewünschte Reihenfolge und hören Sie mit Wiedergabe, Pause und Stopp vorab hinein.
