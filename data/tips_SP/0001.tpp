¡Bienvenido a Lumerix!
Su presentación en cuatro pasos: elegir las imágenes, elegir la música, ajustar la configuración, crear e iniciar la presentación.
Basta con recorrer las cuatro pestañas de izquierda a derecha.
