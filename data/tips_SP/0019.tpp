Imprimir un álbum de fotos
El botón de impresión del paso 1 imprime todas las imágenes o las seleccionadas como álbum en páginas A4.
Elija 9 x 13, 10 x 15, 13 x 18 cm o un ancho propio, con los textos si lo desea.
