Pruebe el ejemplo
En la pantalla de inicio, abra la presentación de ejemplo: ya contiene imágenes, textos y música.
Recorra con ella los cuatro pasos: es la forma más rápida de conocer Lumerix.
