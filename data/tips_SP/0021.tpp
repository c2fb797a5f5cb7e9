Volver a activar los consejos
¿Marcó la casilla que oculta los consejos? Puede volver a activarlos en cualquier momento en el paso 3.
