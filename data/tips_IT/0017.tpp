Le sue foto su Internet
L’uscita come pagina Internet crea una galleria con una pagina panoramica e una pagina per ogni immagine.
Con il pulsante di caricamento trasferisce poi la galleria via FTP sul suo spazio web.
