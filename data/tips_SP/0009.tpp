Música para la presentación
En el paso 2, añada archivos MP3 o WAV. Deben ser estéreo a 44,1 kHz; la música de un CD casi siempre lo es.
Arrastre las pistas en el orden deseado y escúchelas antes con los botones de reproducir, pausa y parar.
