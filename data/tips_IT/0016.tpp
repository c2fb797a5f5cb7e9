La presentazione in televisione
L’uscita per lettori DVD crea un video per VCD o SVCD, in PAL o NTSC, se vuole con effetti di transizione.
La musica viene tagliata automaticamente alla durata della presentazione. Le istruzioni per la masterizzazione si trovano nella guida.
