Sus fotos en Internet
La salida como página web crea una galería con una página de vista general y una página propia para cada imagen.
Con el botón de subida, la galería se transfiere por FTP a su espacio web.
