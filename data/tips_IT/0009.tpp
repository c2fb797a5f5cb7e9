Musica per la presentazione
Al passo 2 aggiunga file MP3 o WAV. Devono essere stereo a 44,1 kHz: la musica da CD lo è quasi sempre.
Trascini i brani nell’ordine desiderato e li ascolti prima con i pulsanti di riproduzione, pausa e stop.
