Quando viene salvato il lavoro?
Le didascalie e il nuovo ordine vengono salvati non appena aggiunge o toglie un’immagine, oppure quando crea una presentazione al passo 4.
Prima di uscire crei quindi una volta la presentazione, per esempio per questo PC.
