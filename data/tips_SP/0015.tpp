La presentación en CD-ROM
Lumerix prepara una carpeta con el Slideshow-Player que usted graba como CD de datos. Al introducir el disco, la presentación puede iniciarse sola.
Marque todas las presentaciones que deban ir en el CD; pueden ser varias.
