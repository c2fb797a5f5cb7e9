Diashow im Fernsehen
Die Ausgabe für den DVD-Player erzeugt ein Video für eine VCD oder SVCD, in PAL oder NTSC, auf Wunsch mit Überblendeffekten.
Die Musik wird automatisch auf die Länge der Diashow zugeschnitten. Eine Brennanleitung finden Sie in der Hilfe.
