Avanzar usted mismo
Con la visualización a pantalla completa, en el paso 3 también puede elegir avanzar de una imagen a otra con las teclas de flecha.
Así decide usted cuándo aparece la imagen siguiente: ideal para una charla.
