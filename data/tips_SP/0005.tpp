¿Cuándo se guarda el trabajo?
Los textos y un nuevo orden se guardan en cuanto añade o quita una imagen, o cuando crea una presentación en el paso 4.
Por eso, antes de salir, cree la presentación una vez, por ejemplo para este PC.
