Mejorar las imágenes
Las ventanas de brillo / contraste / color y de corrección rojo/verde/azul muestran el original y una vista previa una al lado de la otra.
La imagen de la presentación solo cambia al guardar.
