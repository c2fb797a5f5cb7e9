Fotos im Internet
Die Ausgabe als Internetseite erstellt eine Bildergalerie mit Übersichtsseite und einer eigenen Seite für jedes Bild.
Mit „2. Internetseite hochladen“ übertragen Sie die Galerie per FTP auf Ihren Webspace.
