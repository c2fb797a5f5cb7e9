Música de un CD de audio
Introduzca un CD de audio e inicie la importación del CD en el paso 2.
Las pistas importadas aparecen enseguida en la lista de música de su presentación.
