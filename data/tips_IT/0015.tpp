La presentazione su CD-ROM
Lumerix prepara una cartella con lo Slideshow-Player da masterizzare su un CD dati. Inserendo il disco, la presentazione può partire da sola.
Spunti tutte le presentazioni da mettere sul CD: possono essere anche più di una.
