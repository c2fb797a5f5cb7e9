Añadir imágenes
En el paso 1, abra una carpeta con imágenes JPEG. «>» añade las imágenes seleccionadas y «>>», todas.
También puede arrastrar las imágenes con el ratón al lugar deseado de la presentación.
Lumerix trabaja con copias: sus originales no se modifican.
