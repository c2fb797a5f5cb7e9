Cinco formas de mostrar su presentación
En el paso 4, elija: presentación para este PC, CD-ROM de inicio automático, salvapantallas, vídeo para reproductores de DVD o página web.
