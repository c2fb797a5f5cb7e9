Komplette Bildbearbeitung
Ein Klick auf das Vorschaubild öffnet die große Bildbearbeitung: Zuschneiden, Schärfen, Weichzeichnen und mehr als 50 Effektfilter wie „Mosaic“, „Fisheye“ oder „Emboss“.
Zum Zuschneiden ziehen Sie mit der Maus einen Rahmen und klicken auf „Bild zuschneiden“.
