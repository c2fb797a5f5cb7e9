Provi l’esempio
Nella schermata iniziale apra la presentazione di esempio: contiene già immagini, didascalie e musica.
Percorra con essa tutti e quattro i passi: è il modo più rapido per conoscere Lumerix.
