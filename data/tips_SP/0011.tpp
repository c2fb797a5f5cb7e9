¿Cuánto tiempo se ve cada imagen?
En el paso 3, indique los segundos por imagen (solo segundos enteros).
Ejemplo: 36 imágenes de 5 segundos suman 3 minutos; así ajusta fácilmente la presentación a la duración de su música.
