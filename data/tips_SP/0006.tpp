Girar, reflejar, deshacer
¿Una foto vertical aparece tumbada? Con un clic gire la imagen seleccionada 90° o 180°, o refléjela.
El botón Deshacer revierte los últimos cambios, siempre que todavía no haya seleccionado otra imagen.
