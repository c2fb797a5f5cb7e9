Textos y orden de las imágenes
Seleccione una imagen y escriba su texto (hasta 58 caracteres, sin «|» ni «>»).
Para cambiar el orden, arrastre una imagen con el ratón a su nueva posición.
